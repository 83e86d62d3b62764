#include "core/sensor/ScanRecorder.h"

#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"

#include <algorithm>

ScanRecorder::ScanRecorder(SERIAL_COMM *link, const ScanRecord *scan, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_scan(scan)
{
    connect(link, &SERIAL_COMM::ReceiveScanfData, this, &ScanRecorder::onScan);
    connect(link, &SERIAL_COMM::ReceiveIntensityData, this, &ScanRecorder::onIntensity);
    connect(link, &SERIAL_COMM::IOPortSignals, this, [this](uint inputs, uint outputs) {
        if (!m_recording)
            return;
        m_ioKnown = true;
        m_inputs = std::uint8_t(inputs);
        m_outputs = std::uint8_t(outputs);
        m_ioTimeMs = std::uint32_t(m_clock.elapsed());
    });
}

ScanRecorder::~ScanRecorder()
{
    stop();
}

ScanRecording::Sweep ScanRecorder::capture(const ScanRecord &scan, bool ethernet,
                                           bool withIntensities)
{
    ScanRecording::Sweep s;
    s.ethernet = ethernet;
    if (ethernet) {
        // Step i looks at -70 + 320 / n * i degrees: step n / 2 straight ahead.
        const int n = qBound(0, scan.sweepLength, ScanRecord::kRingSize);
        s.startDeg = -70.0f;
        s.stepDeg = n > 0 ? 320.0f / float(n) : 0.0f;
        s.distances =
            QVector<std::uint16_t>(scan.distanceRing.begin(), scan.distanceRing.begin() + n);
        if (withIntensities)
            s.intensities =
                QVector<std::uint16_t>(scan.intensityRing.begin(), scan.intensityRing.begin() + n);
    } else {
        // The serial scan runs the other way round: from 250 degrees (behind
        // on the left) down to -69.5 in half degrees.
        s.startDeg = -110.0f;
        s.stepDeg = -0.5f;
        s.distances =
            QVector<std::uint16_t>(scan.serialDistances.begin(), scan.serialDistances.end());
        if (withIntensities)
            s.intensities = QVector<std::uint16_t>(scan.serialIntensities.begin(),
                                                   scan.serialIntensities.end());
    }
    return s;
}

void ScanRecorder::restore(const ScanRecording::Sweep &s, ScanRecord &scan)
{
    const bool withIntensities = s.intensities.size() == s.distances.size();
    if (s.ethernet) {
        const int n = qMin(s.distances.size(), ScanRecord::kRingSize);
        std::copy(s.distances.begin(), s.distances.begin() + n, scan.distanceRing.begin());
        if (withIntensities)
            std::copy(s.intensities.begin(), s.intensities.begin() + n, scan.intensityRing.begin());
        else
            std::fill(scan.intensityRing.begin(), scan.intensityRing.begin() + n, 0);
        scan.connectionType = 1;
        scan.sweepLength = n;
        scan.ringIndex = 0;
        scan.pointsPerDegree = n / 320;
    } else {
        const int n = qMin(s.distances.size(), ScanRecord::kSerialPoints);
        scan.serialDistances.fill(0);
        scan.serialIntensities.fill(0);
        std::copy(s.distances.begin(), s.distances.begin() + n, scan.serialDistances.begin());
        if (withIntensities)
            std::copy(s.intensities.begin(), s.intensities.begin() + n,
                      scan.serialIntensities.begin());
        scan.connectionType = 0;
    }
}

bool ScanRecorder::start(const QString &path, bool ethernet, bool pairIntensities, QString *why)
{
    stop();
    m_path = path;
    m_ethernet = ethernet;
    m_pair = pairIntensities;
    m_ioKnown = false;
    m_pending.reset();
    m_sweeps = 0;
    m_error.clear();
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        m_csvFile = std::make_unique<QFile>(path);
        if (!m_csvFile->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
            *why = m_csvFile->errorString();
            m_csvFile.reset();
            return false;
        }
        m_csv = std::make_unique<QTextStream>(m_csvFile.get());
        ScanRecording::writeCsvHeader(*m_csv);
    } else if (!m_writer.open(path)) {
        *why = m_writer.errorString();
        return false;
    }
    m_bytes = m_csv ? 0 : m_writer.bytesWritten();
    {
        // Sweeps queued after a failed writer had gone belong to no file.
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.clear();
        m_closing = false;
        m_workerError.clear();
    }
    m_worker = std::thread([this] { writeLoop(); });
    m_clock.start();
    m_recording = true;
    return true;
}

void ScanRecorder::writeLoop()
{
    int index = 0;
    for (;;) {
        ScanRecording::Sweep s;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_closing || !m_queue.empty(); });
            if (m_queue.empty())
                return; // closing, and everything is written
            s = std::move(m_queue.front());
            m_queue.pop_front();
        }
        bool ok;
        if (m_csv) {
            ScanRecording::writeCsv(*m_csv, s, index);
            ok = m_csv->status() == QTextStream::Ok;
            m_bytes = m_csvFile->pos();
        } else {
            ok = m_writer.add(s);
            m_bytes = m_writer.bytesWritten();
        }
        ++index;
        if (!ok) {
            const QString why = m_csv ? m_csvFile->errorString() : m_writer.errorString();
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_workerError = why;
                m_queue.clear();
            }
            QMetaObject::invokeMethod(
                this, [this, why] { writeFailed(why); }, Qt::QueuedConnection);
            return;
        }
    }
}

void ScanRecorder::writeFailed(const QString &why)
{
    if (!m_recording)
        return;
    m_error = why;
    stop();
    Q_EMIT failed(m_error);
}

bool ScanRecorder::stop(QString *why)
{
    if (!m_recording)
        return m_error.isEmpty();
    // Distances whose intensities never came are kept without them.
    queuePending();
    m_recording = false;
    m_stoppedAt = m_clock.elapsed();
    // Whatever is still queued is written before the file closes.
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_one();
    if (m_worker.joinable())
        m_worker.join();
    if (m_error.isEmpty())
        m_error = m_workerError;
    bool ok = m_error.isEmpty();
    if (m_csv) {
        m_csv->flush();
        ok = ok && m_csv->status() == QTextStream::Ok;
        m_csvFile->close();
        if (m_error.isEmpty() && !ok)
            m_error = m_csvFile->errorString();
        m_csv.reset();
        m_csvFile.reset();
    } else if (!m_writer.close() && m_error.isEmpty()) {
        m_error = m_writer.errorString();
        ok = false;
    }
    if (why)
        *why = m_error;
    return ok;
}

void ScanRecorder::onScan()
{
    if (!m_recording)
        return;
    if (m_ethernet) {
        // A closed Ethernet sweep brings its intensities along.
        if (m_scan->sweepLength > 0)
            queue(stamped(true));
        return;
    }
    // Distances again before any intensities (their reading was switched
    // off): the earlier ones are kept without.
    queuePending();
    if (!m_pair) {
        queue(stamped(false));
        return;
    }
    m_pending = std::make_unique<ScanRecording::Sweep>(stamped(false));
}

void ScanRecorder::onIntensity()
{
    // Intensities with no distances before them belong to a sweep from
    // before the start.
    if (!m_recording || m_ethernet || !m_pending)
        return;
    m_pending->intensities =
        QVector<std::uint16_t>(m_scan->serialIntensities.begin(), m_scan->serialIntensities.end());
    queuePending();
}

ScanRecording::Sweep ScanRecorder::stamped(bool withIntensities) const
{
    ScanRecording::Sweep s = capture(*m_scan, m_ethernet, withIntensities);
    s.timeMs = std::uint32_t(m_clock.elapsed());
    s.ioKnown = m_ioKnown;
    s.inputs = m_inputs;
    s.outputs = m_outputs;
    s.ioTimeMs = m_ioTimeMs;
    return s;
}

void ScanRecorder::queuePending()
{
    if (m_pending)
        queue(std::move(*m_pending));
    m_pending.reset();
}

void ScanRecorder::queue(ScanRecording::Sweep s)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // The writer has failed and gone: its report is on the way.
        if (!m_workerError.isEmpty())
            return;
        m_queue.push_back(std::move(s));
    }
    m_wake.notify_one();
    ++m_sweeps;
    Q_EMIT sweepRecorded(m_sweeps);
}
