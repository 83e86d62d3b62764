#pragma once

#include "core/sensor/ScanRecording.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTextStream>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class SERIAL_COMM;
struct ScanRecord;

// Writes every complete sweep the link receives to a recording, stamped with
// the time since the start and the IO words the sensor last reported. A
// file name ending in .csv gets the text form instead. The sweep is copied
// where it arrives; compressing and writing happen on a thread of their own,
// so the view never waits for the disk.
class ScanRecorder : public QObject
{
    Q_OBJECT
public:
    ScanRecorder(SERIAL_COMM *link, const ScanRecord *scan, QObject *parent = nullptr);
    ~ScanRecorder() override;

    // pairIntensities: over the serial port, wait for each sweep's
    // intensities before writing it (when they are being read).
    bool start(const QString &path, bool ethernet, bool pairIntensities, QString *why);
    // Closes the file; false with the reason when the last write failed.
    bool stop(QString *why = nullptr);

    bool recording() const { return m_recording; }
    int sweeps() const { return m_sweeps; }
    qint64 bytes() const { return m_bytes; }
    qint64 elapsedMs() const { return m_recording ? m_clock.elapsed() : m_stoppedAt; }
    QString path() const { return m_path; }

    // The last complete sweep the scan record holds, as a recording keeps it.
    static ScanRecording::Sweep capture(const ScanRecord &scan, bool ethernet,
                                        bool withIntensities);
    // The other way: a recorded sweep put into the scan record as the link
    // would have left it, for the view to draw.
    static void restore(const ScanRecording::Sweep &sweep, ScanRecord &scan);

Q_SIGNALS:
    void sweepRecorded(int count);
    // The disk refused a write: the recording has stopped.
    void failed(const QString &why);

private:
    void onScan();
    void onIntensity();
    // The scan record's last sweep with the time and the IO words of now.
    ScanRecording::Sweep stamped(bool withIntensities) const;
    void queuePending();
    void queue(ScanRecording::Sweep sweep);
    void writeLoop();
    void writeFailed(const QString &why);

    SERIAL_COMM *m_link;
    const ScanRecord *m_scan;
    QElapsedTimer m_clock;
    ScanRecording::Writer m_writer;
    std::unique_ptr<QFile> m_csvFile;
    std::unique_ptr<QTextStream> m_csv;
    QString m_path;
    bool m_recording = false;
    bool m_ethernet = true;
    bool m_pair = false;
    // Over the serial port with intensities: the last distances, waiting
    // for the intensities asked for after them.
    std::unique_ptr<ScanRecording::Sweep> m_pending;
    bool m_ioKnown = false;
    std::uint8_t m_inputs = 0;
    std::uint8_t m_outputs = 0;
    std::uint32_t m_ioTimeMs = 0;
    int m_sweeps = 0;
    qint64 m_stoppedAt = 0;
    QString m_error;

    // The writing thread and the sweeps waiting for it.
    std::thread m_worker;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<ScanRecording::Sweep> m_queue;
    bool m_closing = false;
    QString m_workerError;
    std::atomic<qint64> m_bytes{0};
};
