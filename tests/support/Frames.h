#pragma once

#include "core/link/LinkProtocol.h"

#include <QByteArray>

// What the sensor sends, put together from the command table by hand.

// A reply to `c` with its payload after the token (as much as fits) and
// zeros up to its length, closed by its CRC where it has one.
inline QByteArray replyFrame(const LinkProtocol::Command &c, const QByteArray &payload = {})
{
    QByteArray f(c.crcOver ? c.crcOver : LinkProtocol::kSerialScanLength, '\0');
    f.replace(0, 5, QByteArray::fromRawData(c.token, 5));
    f.replace(5, qMin(payload.size(), f.size() - 5), payload.left(f.size() - 5));
    if (c.crcOver)
        LinkProtocol::appendCrc(f);
    return f;
}

// One scan stream packet: the header's six big-endian words, then `count`
// points of the same distance and intensity, little-endian.
inline QByteArray streamPacket(int start, int end, int carried, int marker, int sector, int count,
                               int distance = 1000, int intensity = 50)
{
    QByteArray p("CRVN");
    for (int v : {start, end, carried, marker, sector, 0})
        p += char(v >> 8) + QByteArray(1, char(v & 0xFF));
    const char point[4] = {char(distance & 0xFF), char(distance >> 8), char(intensity & 0xFF),
                           char(intensity >> 8)};
    for (int k = 0; k < count; ++k)
        p.append(point, 4);
    return p;
}
