#pragma once

#include "core/sensor/Replay.h"
#include "core/sensor/ScanRecording.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A recording opened for replay: plays its sweeps in their recorded rhythm
// (faster or slower), steps and seeks, and evaluates a design over all of
// them. The distances of every sweep are kept in memory up to a limit, so
// that a design edit is evaluated again without reading the file.
class ReplayPlayer : public QObject
{
    Q_OBJECT
public:
    explicit ReplayPlayer(QObject *parent = nullptr);

    // progress(done, total) may be called while the sweeps are read.
    bool open(const QString &path, QString *why,
              const std::function<void(int, int)> &progress = nullptr);
    void close();
    bool isOpen() const { return m_reader.count() > 0; }
    QString path() const { return m_path; }
    bool damaged() const { return m_reader.damaged(); }

    int count() const { return m_reader.count(); }
    int index() const { return m_index; }
    bool playing() const { return m_timer.isActive(); }
    double speed() const { return m_speed; }
    std::uint32_t timeMs(int k) const { return m_reader.timeMs(k); }
    std::uint32_t durationMs() const;
    // The sweep shown, with its intensities.
    const ScanRecording::Sweep &current() const { return m_current; }

    Replay::Result evaluate(const QVector<AreaRecord> &areas, const Replay::Options &options);

    // Sweeps whose distances stay in memory (the rest are read when needed).
    static constexpr qint64 kCacheBytes = 256ll << 20;

public Q_SLOTS:
    void play();
    void pause();
    void seek(int k);
    void step(int delta);
    void setSpeed(double speed);

Q_SIGNALS:
    // The sweep at index is loaded in current().
    void frameChanged(int index);
    void playingChanged(bool playing);

private:
    void tick();
    void restartClock();
    // Loads sweep k and announces it; false when it does not decode.
    bool show(int k);

    ScanRecording::Reader m_reader;
    QString m_path;
    QVector<ScanRecording::Sweep> m_sweeps; // without intensities; empty beyond the cache
    ScanRecording::Sweep m_current;
    int m_index = -1;
    double m_speed = 1.0;
    QTimer m_timer;
    QElapsedTimer m_clock;
    std::uint32_t m_clockStartMs = 0; // recorded time when the clock started
};
