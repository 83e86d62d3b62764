#include "core/link/ReceivePath.h"

#include "core/link/ScanRecord.h"

#include <algorithm>
#include <cstring>

namespace ReceivePath {

namespace {
int le16(const char *p)
{
    return std::uint8_t(p[0]) | (std::uint8_t(p[1]) << 8);
}
int be16(const char *p)
{
    return (std::uint8_t(p[0]) << 8) | std::uint8_t(p[1]);
}
std::uint16_t clamp(int v, int maxRange)
{
    return std::uint16_t(v > maxRange ? maxRange : v);
}
} // namespace

const LinkProtocol::Command *const kReplyTokens[12] = {
    &LinkProtocol::RBoot, &LinkProtocol::RPrda, &LinkProtocol::RStre, &LinkProtocol::RArea,
    &LinkProtocol::WArea, &LinkProtocol::RPara, &LinkProtocol::WPara, &LinkProtocol::RCase,
    &LinkProtocol::WCase, &LinkProtocol::WSimu, &LinkProtocol::SCtrl, &LinkProtocol::RScan,
};

std::uint32_t presentTokens(const char *data, int size)
{
    // Every token starts with R, W or S; a byte that is none of them is
    // passed over with one comparison.
    std::uint32_t found = 0;
    const std::uint32_t all = (1u << 12) - 1;
    for (int i = 0; i + 5 <= size && found != all; ++i) {
        const char c = data[i];
        if (c != 'R' && c != 'W' && c != 'S')
            continue;
        for (int t = 0; t < 12; ++t)
            if (memcmp(data + i, kReplyTokens[t]->token, 5) == 0)
                found |= 1u << t;
    }
    return found;
}

Take takeReply(QByteArray &buffer, const LinkProtocol::Command &command, QByteArray *frame,
               int *where)
{
    const int at = buffer.indexOf(QByteArray::fromRawData(command.token, 5));
    if (where)
        *where = at;
    if (at < 0)
        return Take::None;
    const int length = command.replyLength;
    if (buffer.size() - at < length)
        return Take::Incomplete;
    QByteArray taken = buffer.mid(at, length);
    buffer.remove(at, length);
    if (command.crcOver > 0 && !LinkProtocol::CheckFrameCrc(taken, command.crcOver))
        return Take::BadCrc;
    if (frame)
        *frame = taken;
    return Take::Frame;
}

bool takeSerialScan(QByteArray &buffer, const LinkProtocol::Command &command,
                    std::array<std::uint16_t, 640> &values, int maxRange, int *where)
{
    const int at = buffer.indexOf(QByteArray::fromRawData(command.token, 5));
    if (where)
        *where = at;
    if (at < 0 || buffer.size() - at < LinkProtocol::kSerialScanLength)
        return false;
    const char *data = buffer.constData() + at + 5;
    for (int i = 0; i < LinkProtocol::kSerialScanValues; ++i)
        values[LinkProtocol::kSerialScanValues - 1 - i] = clamp(be16(data + 2 * i), maxRange);
    buffer.remove(at, LinkProtocol::kSerialScanLength);
    return true;
}

int takeStream(QByteArray &buffer, ScanRecord &scan, int maxRange,
               const std::function<void()> &onSweep)
{
    static const QByteArray magic = QByteArray::fromRawData(LinkProtocol::kStreamMagic, 4);
    int closed = 0;
    // Packets are cut out in one pass: bytes between them stay, as if each
    // had been removed on its own before searching for the next.
    QByteArray kept;
    int from = 0;   // where the next search starts in the original buffer
    int copied = 0; // original bytes up to here are in `kept` or dropped
    const char *data = buffer.constData();
    for (;;) {
        const int at = buffer.indexOf(magic, from);
        if (at < 0 || buffer.size() - at < LinkProtocol::kStreamHeader)
            break;
        const char *h = data + at;
        QByteArray pending; // keeps a packet alive when the buffer is rebuilt
        const int start = be16(h + 4);
        const int end = be16(h + 6);
        const int carried = be16(h + 8);
        const int marker = be16(h + 10);
        const int sector = be16(h + 12);
        const int n = std::min(carried, sector);
        const int length = LinkProtocol::kStreamHeader + 4 * n;
        if (buffer.size() - at < length)
            break;
        kept.append(data + copied, at - copied);
        copied = at + length;
        from = at + length;
        // The bytes either side of a removed packet may now spell the magic:
        // join them and go on searching from there.
        for (int k = 1; k <= 3; ++k) {
            if (kept.size() >= k && buffer.size() - copied >= 4 - k
                && memcmp(kept.constData() + kept.size() - k, magic.constData(), size_t(k)) == 0
                && memcmp(data + copied, magic.constData() + k, size_t(4 - k)) == 0) {
                // The packet is read below: keep a copy before the buffer changes.
                pending = QByteArray(h, length);
                h = pending.constData();
                const int seam = kept.size() - k;
                buffer = kept + buffer.mid(copied);
                kept.clear();
                copied = 0;
                from = seam;
                data = buffer.constData();
                break;
            }
        }

        // A sector without width has no points per degree: dropped.
        if (end == start)
            continue;
        const char *pt = h + LinkProtocol::kStreamHeader;
        for (int k = 0; k < n; ++k) {
            scan.distanceRing[scan.ringIndex] = clamp(le16(pt + 4 * k), maxRange);
            scan.intensityRing[scan.ringIndex] = clamp(le16(pt + 4 * k + 2), maxRange);
            if (++scan.ringIndex == ScanRecord::kRingSize)
                scan.ringIndex = 0;
        }
        const int r = sector / (end - start);
        if (r != scan.pointsPerDegree) {
            scan.pointsPerDegree = r;
            scan.resolutionChanged = 1;
            scan.ringIndex = 0;
        }
        if (marker == sector && end == 340) {
            if (!scan.resolutionChanged && scan.ringIndex == r * 320) {
                scan.sweepLength = r * 320;
                scan.ringIndex = 0;
                ++closed;
                if (onSweep)
                    onSweep();
            } else {
                scan.resolutionChanged = 0;
                scan.ringIndex = 0;
                scan.sweepLength = 0;
            }
        }
    }
    if (copied > 0) {
        kept.append(data + copied, buffer.size() - copied);
        buffer = kept;
    }
    return closed;
}

void trimOverfull(QByteArray &buffer)
{
    const int last = buffer.lastIndexOf(QByteArray::fromRawData(LinkProtocol::kStreamMagic, 4));
    // What follows the last magic may itself fill the ceiling: no parser would run again.
    if (last < 0 || buffer.size() - last >= kCeiling)
        buffer.clear();
    else
        buffer.remove(0, last);
}

} // namespace ReceivePath
