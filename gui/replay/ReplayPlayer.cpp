#include "gui/replay/ReplayPlayer.h"

#include <algorithm>

ReplayPlayer::ReplayPlayer(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(false);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReplayPlayer::tick);
}

bool ReplayPlayer::open(const QString &path, QString *why,
                        const std::function<void(int, int)> &progress)
{
    close();
    if (!m_reader.open(path, why))
        return false;
    if (m_reader.count() == 0) {
        *why = QStringLiteral("no sweep in it");
        return false;
    }
    m_path = path;
    m_sweeps.resize(m_reader.count());
    qint64 kept = 0;
    for (int k = 0; k < m_reader.count() && kept < kCacheBytes; ++k) {
        if (!m_reader.sweep(k, m_sweeps[k], false))
            break;
        kept += 2 * m_sweeps[k].distances.size() + qint64(sizeof(ScanRecording::Sweep)) + 64;
        if (progress && k % 100 == 0)
            progress(k, m_reader.count());
    }
    seek(0);
    return true;
}

void ReplayPlayer::close()
{
    pause();
    m_reader.close();
    m_sweeps.clear();
    m_current = ScanRecording::Sweep();
    m_index = -1;
    m_path.clear();
}

std::uint32_t ReplayPlayer::durationMs() const
{
    return count() > 0 ? m_reader.timeMs(count() - 1) - m_reader.timeMs(0) : 0;
}

bool ReplayPlayer::show(int k)
{
    if (k != m_index && !m_reader.sweep(k, m_current, true))
        return false;
    m_index = k;
    Q_EMIT frameChanged(k);
    return true;
}

Replay::Result ReplayPlayer::evaluate(const QVector<AreaRecord> &areas,
                                      const Replay::Options &options)
{
    return Replay::evaluate(
        count(),
        [this](int k, ScanRecording::Sweep &s) {
            if (k < m_sweeps.size() && !m_sweeps[k].distances.isEmpty()) {
                s = m_sweeps[k];
                return true;
            }
            return m_reader.sweep(k, s, false);
        },
        areas, options);
}

void ReplayPlayer::seek(int k)
{
    if (count() == 0)
        return;
    if (show(std::clamp(k, 0, count() - 1)))
        restartClock();
}

void ReplayPlayer::step(int delta)
{
    pause();
    seek(m_index + delta);
}

void ReplayPlayer::setSpeed(double speed)
{
    m_speed = std::clamp(speed, 0.25, 8.0);
    restartClock();
}

void ReplayPlayer::restartClock()
{
    m_clock.start();
    m_clockStartMs = m_index >= 0 ? timeMs(m_index) : 0;
}

void ReplayPlayer::play()
{
    if (count() == 0 || playing())
        return;
    // At the end, play starts again from the beginning.
    if (m_index >= count() - 1)
        seek(0);
    restartClock();
    m_timer.start(10);
    Q_EMIT playingChanged(true);
}

void ReplayPlayer::pause()
{
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    Q_EMIT playingChanged(false);
}

void ReplayPlayer::tick()
{
    // The sweep whose recorded time the replay clock has reached; sweeps the
    // screen could not keep up with are passed over, not queued.
    const double now = m_clockStartMs + m_clock.elapsed() * m_speed;
    int k = m_index;
    while (k + 1 < count() && timeMs(k + 1) <= now)
        ++k;
    // The clock runs on: shown late, the next sweep still comes on time.
    if (k != m_index)
        show(k);
    if (m_index >= count() - 1)
        pause();
}
