#include "core/sensor/ScanRecording.h"

#include <QTextStream>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <zlib.h>

namespace ScanRecording {

const char kHeader[] = "SECTOR-SCAN-RECORDING 1\n";
const char kCsvHeader[] = "time_ms,sweep,angle_deg,distance_mm,intensity,inputs,outputs";

namespace {
constexpr int kHeaderSize = int(sizeof(kHeader)) - 1;
constexpr int kFixedSize = 4 + 4 + 4 + 2 + 1 + 1 + 1 + 4; // after the length field
constexpr int kTimeOffset = 4;                            // from the block's length field

enum Flags : std::uint8_t { HasIntensities = 1, IoKnown = 2, Ethernet = 4 };

void putU16(QByteArray &b, std::uint16_t v)
{
    char c[2];
    qToLittleEndian(v, c);
    b.append(c, 2);
}
void putU32(QByteArray &b, std::uint32_t v)
{
    char c[4];
    qToLittleEndian(v, c);
    b.append(c, 4);
}
void putF32(QByteArray &b, float v)
{
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    putU32(b, u);
}

// Neighbouring steps differ little: their differences, low bytes then high
// bytes, compress to a fraction of the plain values.
QByteArray packValues(const QVector<std::uint16_t> &v)
{
    const int n = v.size();
    QByteArray planes(2 * n, Qt::Uninitialized);
    std::uint16_t previous = 0;
    for (int i = 0; i < n; ++i) {
        const std::uint16_t d = std::uint16_t(v[i] - previous);
        previous = v[i];
        planes[i] = char(d & 0xff);
        planes[n + i] = char(d >> 8);
    }
    return qCompress(planes, 6);
}

bool unpackValues(const char *data, int length, int n, QVector<std::uint16_t> &out)
{
    // The stated size must be the steps' 2n bytes, and the stream is inflated
    // into exactly that room: one that would give more is refused as soon as
    // it overflows (qUncompress would grow its buffer until it fits).
    if (length < 4 || qFromBigEndian<std::uint32_t>(data) != std::uint32_t(2 * n))
        return false;
    QByteArray planes(2 * n + 1, Qt::Uninitialized);
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data + 4));
    z.avail_in = uInt(length - 4);
    z.next_out = reinterpret_cast<Bytef *>(planes.data());
    z.avail_out = uInt(planes.size());
    const bool whole = inflate(&z, Z_FINISH) == Z_STREAM_END && z.total_out == uLong(2 * n);
    inflateEnd(&z);
    if (!whole)
        return false;
    out.resize(n);
    std::uint16_t value = 0;
    for (int i = 0; i < n; ++i) {
        value =
            std::uint16_t(value + (std::uint8_t(planes[i]) | (std::uint8_t(planes[n + i]) << 8)));
        out[i] = value;
    }
    return true;
}

class Cursor
{
public:
    explicit Cursor(const QByteArray &b)
        : m_b(b)
    {
    }
    bool has(int n) const { return m_at + n <= m_b.size(); }
    std::uint8_t u8() { return std::uint8_t(m_b[m_at++]); }
    std::uint16_t u16()
    {
        const auto v = qFromLittleEndian<std::uint16_t>(m_b.constData() + m_at);
        m_at += 2;
        return v;
    }
    std::uint32_t u32()
    {
        const auto v = qFromLittleEndian<std::uint32_t>(m_b.constData() + m_at);
        m_at += 4;
        return v;
    }
    float f32()
    {
        const std::uint32_t u = u32();
        float f;
        std::memcpy(&f, &u, 4);
        return f;
    }
    // A length-prefixed run of bytes inside the block.
    bool run(const char **data, int *length)
    {
        if (!has(4))
            return false;
        const std::uint32_t n = u32();
        if (n > std::uint32_t(m_b.size() - m_at))
            return false;
        *data = m_b.constData() + m_at;
        *length = int(n);
        m_at += int(n);
        return true;
    }
    bool atEnd() const { return m_at == m_b.size(); }

private:
    const QByteArray &m_b;
    int m_at = 0;
};
} // namespace

double Sweep::angleDeg(int step) const
{
    double a = double(startDeg) + double(stepDeg) * step;
    a = std::fmod(a, 360.0);
    if (a > 180.0)
        a -= 360.0;
    else if (a <= -180.0)
        a += 360.0;
    return a;
}

bool isRecording(QIODevice &device)
{
    return device.peek(kHeaderSize) == QByteArray(kHeader, kHeaderSize);
}

QByteArray Writer::block(const Sweep &s)
{
    QByteArray b;
    const int n = qBound(0, s.distances.size(), kMaxSteps);
    const bool withIntensities = s.intensities.size() == s.distances.size() && n > 0;
    b.reserve(kFixedSize + n + 64);
    putU32(b, 0); // the length, filled in below
    putU32(b, s.timeMs);
    putF32(b, s.startDeg);
    putF32(b, s.stepDeg);
    putU16(b, std::uint16_t(n));
    b.append(char((withIntensities ? HasIntensities : 0) | (s.ioKnown ? IoKnown : 0) |
                  (s.ethernet ? Ethernet : 0)));
    b.append(char(s.inputs));
    b.append(char(s.outputs));
    putU32(b, s.ioTimeMs);
    const QByteArray d = packValues(s.distances.mid(0, n));
    putU32(b, std::uint32_t(d.size()));
    b += d;
    if (withIntensities) {
        const QByteArray i = packValues(s.intensities.mid(0, n));
        putU32(b, std::uint32_t(i.size()));
        b += i;
    }
    qToLittleEndian(std::uint32_t(b.size() - 4), b.data());
    return b;
}

bool Writer::open(const QString &path)
{
    m_file.setFileName(path);
    m_written = 0;
    m_sweeps = 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    if (m_file.write(kHeader, kHeaderSize) != kHeaderSize) {
        m_file.close();
        return false;
    }
    m_written = kHeaderSize;
    return true;
}

bool Writer::add(const Sweep &sweep)
{
    if (!m_file.isOpen() || sweep.distances.isEmpty())
        return false;
    const QByteArray b = block(sweep);
    // Each block reaches the disk whole before the next: a recording stopped
    // by a crash or a pulled power cord keeps every sweep written so far.
    if (m_file.write(b) != b.size() || !m_file.flush())
        return false;
    m_written += b.size();
    ++m_sweeps;
    return true;
}

bool Writer::close()
{
    if (!m_file.isOpen())
        return true;
    const bool ok = m_file.flush();
    m_file.close();
    return ok && m_file.error() == QFileDevice::NoError;
}

bool decodeBlock(const QByteArray &block, Sweep &out, bool intensities)
{
    Cursor c(block);
    if (!c.has(kFixedSize))
        return false;
    out.timeMs = c.u32();
    out.startDeg = c.f32();
    out.stepDeg = c.f32();
    const int n = c.u16();
    const std::uint8_t flags = c.u8();
    out.inputs = c.u8();
    out.outputs = c.u8();
    out.ioTimeMs = c.u32();
    out.ioKnown = flags & IoKnown;
    out.ethernet = flags & Ethernet;
    if (n < 1 || n > kMaxSteps || !std::isfinite(out.startDeg) || !std::isfinite(out.stepDeg))
        return false;
    const char *data = nullptr;
    int length = 0;
    if (!c.run(&data, &length) || !unpackValues(data, length, n, out.distances))
        return false;
    out.intensities.clear();
    if (flags & HasIntensities) {
        if (!c.run(&data, &length))
            return false;
        if (intensities && !unpackValues(data, length, n, out.intensities))
            return false;
    }
    return c.atEnd();
}

bool Reader::open(const QString &path, QString *why)
{
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        *why = m_file.errorString();
        return false;
    }
    return open(&m_file, why);
}

bool Reader::open(QIODevice *device, QString *why)
{
    m_device = device;
    m_index.clear();
    m_damaged = false;
    if (!device->seek(0) || !isRecording(*device)) {
        *why = QStringLiteral("not a scan recording");
        return false;
    }
    // The index holds each block's place and time; the data stay on disk.
    qint64 at = kHeaderSize;
    const qint64 size = device->size();
    while (at < size) {
        char head[4 + kTimeOffset + 4];
        if (size - at < qint64(sizeof head) || !device->seek(at) ||
            device->read(head, sizeof head) != qint64(sizeof head)) {
            m_damaged = true;
            break;
        }
        const std::uint32_t length = qFromLittleEndian<std::uint32_t>(head);
        const std::uint32_t time = qFromLittleEndian<std::uint32_t>(head + kTimeOffset);
        const bool inOrder = m_index.isEmpty() || time >= m_index.last().timeMs;
        if (length < std::uint32_t(kFixedSize) || length > 16u * kMaxSteps ||
            at + 4 + length > size || !inOrder) {
            m_damaged = true;
            break;
        }
        m_index.append({at, length, time});
        at += 4 + length;
    }
    return true;
}

void Reader::close()
{
    m_index.clear();
    m_damaged = false;
    m_device = nullptr;
    m_file.close();
}

bool Reader::sweep(int k, Sweep &out, bool intensities)
{
    if (!m_device || k < 0 || k >= m_index.size())
        return false;
    const Entry &e = m_index[k];
    if (!m_device->seek(e.offset + 4))
        return false;
    const QByteArray block = m_device->read(e.length);
    return block.size() == int(e.length) && decodeBlock(block, out, intensities);
}

void writeCsvHeader(QTextStream &out)
{
    out << kCsvHeader << '\n';
}

void writeCsv(QTextStream &out, const Sweep &s, int index)
{
    const QString io =
        s.ioKnown ? QStringLiteral(",%1,%2").arg(s.inputs).arg(s.outputs) : QStringLiteral(",,");
    const bool withIntensities = s.intensities.size() == s.distances.size();
    for (int i = 0; i < s.distances.size(); ++i) {
        out << s.timeMs << ',' << index << ',' << QString::number(s.angleDeg(i), 'f', 3) << ','
            << s.distances[i] << ',';
        if (withIntensities)
            out << s.intensities[i];
        out << io << '\n';
    }
}

} // namespace ScanRecording
