#pragma once

#include <QFile>
#include <QString>
#include <QVector>
#include <cstdint>

class QIODevice;
class QTextStream;

// A recording of the live scan: one block per sweep, written as the sweeps
// arrive, readable sweep by sweep without loading the whole file.
//
// File layout (all numbers little-endian):
//   "SECTOR-SCAN-RECORDING 1\n"                        the header line, 24 bytes
//   per sweep, one block:
//     u32  block length (bytes after this field)
//     u32  time since the start of the recording, ms
//     f32  angle of the first step, degrees (+X 0, forward 90)
//     f32  angle step, degrees (signed)
//     u16  number of steps n (1..30000)
//     u8   flags: bit 0 intensities follow, bit 1 the IO words are known,
//               bit 2 the sweep came over Ethernet (else the serial port)
//     u8   input word, u8 output word (bit k: Out k+1), as last reported
//     u32  time of that report, ms
//     u32  length of the distances, then the distances
//     [u32 length of the intensities, then the intensities]
//   The distances and intensities are each n values in mm / counts, stored as
//   the differences of neighbouring steps (mod 65536), low bytes then high
//   bytes, compressed with zlib behind a 4-byte big-endian length of the
//   uncompressed data (2n).
// A block cut short (the program was stopped mid-write) ends the recording;
// every block before it reads.
namespace ScanRecording {

constexpr int kMaxSteps = 30000;
extern const char kHeader[];

struct Sweep {
    std::uint32_t timeMs = 0;
    float startDeg = 0;
    float stepDeg = 0.5f;
    bool ethernet = true;
    bool ioKnown = false;
    std::uint8_t inputs = 0;
    std::uint8_t outputs = 0;
    std::uint32_t ioTimeMs = 0;
    QVector<std::uint16_t> distances;
    QVector<std::uint16_t> intensities; // empty when not streamed

    double angleDeg(int step) const;
};

// Whether the device starts with the recording header (its position kept).
bool isRecording(QIODevice &device);

class Writer
{
public:
    // Creates (or replaces) the file and writes the header.
    bool open(const QString &path);
    bool add(const Sweep &sweep);
    bool close();
    QString errorString() const { return m_file.errorString(); }
    qint64 bytesWritten() const { return m_written; }
    int sweeps() const { return m_sweeps; }
    bool isOpen() const { return m_file.isOpen(); }

    // One sweep's block, as add() writes it.
    static QByteArray block(const Sweep &sweep);

private:
    QFile m_file;
    qint64 m_written = 0;
    int m_sweeps = 0;
};

class Reader
{
public:
    // Reads the header and the index of the blocks; false with the reason
    // when the file cannot be read or is no recording. A damaged block ends
    // the index (the sweeps before it stay readable).
    bool open(const QString &path, QString *why);
    bool open(QIODevice *device, QString *why);
    void close();

    int count() const { return m_index.size(); }
    std::uint32_t timeMs(int k) const { return m_index[k].timeMs; }
    std::uint32_t durationMs() const { return m_index.isEmpty() ? 0 : m_index.last().timeMs; }
    bool damaged() const { return m_damaged; }

    // Sweep k, without the intensities unless asked for; false when its
    // data do not decode.
    bool sweep(int k, Sweep &out, bool intensities = true);

private:
    struct Entry {
        qint64 offset; // of the block's length field
        std::uint32_t length;
        std::uint32_t timeMs;
    };
    QFile m_file;
    QIODevice *m_device = nullptr;
    QVector<Entry> m_index;
    bool m_damaged = false;
};

// One block's contents (the bytes after its length field).
bool decodeBlock(const QByteArray &block, Sweep &out, bool intensities = true);

// The recording as text, one line per step under the header
// "time_ms,sweep,angle_deg,distance_mm,intensity,inputs,outputs" (the IO
// columns empty while nothing was reported).
extern const char kCsvHeader[];
void writeCsvHeader(QTextStream &out);
void writeCsv(QTextStream &out, const Sweep &sweep, int index);

} // namespace ScanRecording
