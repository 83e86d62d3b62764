#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/FuzzTargets.h"

#include "core/link/AreaCodec.h"
#include "core/link/Discovery.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/DeviceType.h"
#include "core/zones/ZoneStore.h"

#include <memory>

namespace FuzzTargets {

namespace {
using namespace LinkProtocol;

// A frame of exactly `length` bytes in a buffer of its own, so that a
// decoder reading past its end is caught. The input gives the bytes after
// the token; zeros fill the rest; a CRC closes it when `crc` is set.
struct Frame {
    std::unique_ptr<char[]> data;
    QByteArray bytes;

    Frame(const char *token, const QByteArray &body, int length, bool crc)
        : data(new char[size_t(length)])
    {
        QByteArray f(crc ? length - 2 : length, '\0');
        f.replace(0, 5, QByteArray::fromRawData(token, 5));
        const int n = qMin(body.size(), f.size() - 5);
        f.replace(5, n, body.constData(), n);
        if (crc)
            appendCrc(f);
        memcpy(data.get(), f.constData(), size_t(length));
        bytes = QByteArray::fromRawData(data.get(), length);
    }
};

QString fitsItsKind(int c, const AreaRecord &area)
{
    const int n = area.points[c].size();
    switch (area.shape[c]) {
    case ShapeArc:
        return n == 2 ? QString() : QStringLiteral("Out%1: an Arc of %2 points").arg(c + 1).arg(n);
    case ShapeStraight:
    case ShapeFan:
    case ShapeRatio:
        if (n != 1 || area.points[c][0].x() != 0 || area.points[c][0].y() < 0)
            return QStringLiteral("Out%1: a dependent kind without its one parameter point")
                .arg(c + 1);
        return QString();
    default:
        return QString();
    }
}

QString paraRoundTrip(const QByteArray &body)
{
    const Frame reply(RPara.token, body, RPara.replyLength, true);
    const SensorParameters read = Payloads::decodeRPara(reply.bytes);
    for (int k = 0; k < SensorParameters::kFieldCount; ++k)
        if (read.field(k) < 0 || read.field(k) > 0xFFFF)
            return QStringLiteral("parameter %1 read as %2").arg(k).arg(read.field(k));
    // The request carries the fields where the reply does.
    const QByteArray request = Payloads::encodeWPara(read);
    if (request.size() != WPara.requestLength || !CheckFrameCrc(request, WPara.requestLength - 2))
        return QStringLiteral("a WPara frame of %1 bytes or with a bad CRC").arg(request.size());
    if (!(Payloads::decodeRPara(request) == read))
        return QStringLiteral("the parameters did not survive WPara");
    // What the dock shows after a read, and what it would send.
    SensorParameters shown = read;
    const QVector<int> dock = SensorParameterRules::shownAfterRead(shown);
    const QString dockWrong = FuzzChecks::dockHolds(dock);
    if (!dockWrong.isEmpty())
        return dockWrong;
    for (bool ethernet : {false, true})
        Payloads::encodeWPara(SensorParameterRules::fromDockValues(dock, ethernet, shown));
    return QString();
}

QString caseRoundTrip(const QByteArray &body)
{
    const Frame reply(RCase.token, body, RCase.replyLength, true);
    ZoneStore store;
    Payloads::decodeRCase(reply.bytes, store.areas);
    const QByteArray request = Payloads::encodeWCase(store);
    if (request.size() != WCase.requestLength || !CheckFrameCrc(request, WCase.requestLength - 2))
        return QStringLiteral("a WCase frame of %1 bytes or with a bad CRC").arg(request.size());
    QVector<AreaRecord> back(kAreaCount);
    Payloads::decodeRCase(request, back);
    for (int a = 0; a < kAreaCount; ++a)
        for (int f = 4; f < 9; ++f)
            if (back[a].intField(f) != store.areas[a].intField(f))
                return QStringLiteral("area %1 case field %2 did not survive WCase").arg(a).arg(f);
    return QString();
}

QString simulationReply(const QByteArray &body)
{
    const Frame reply(WSimu.token, body, WSimu.replyLength, true);
    const Payloads::SimuReply r = Payloads::decodeWSimuReply(reply.bytes);
    // A byte widened as signed: the upper 24 bits all equal bit 7.
    for (std::uint32_t word : {r.inputs, r.outputs})
        if ((word >> 8) != 0 && (word >> 8) != 0xFFFFFFu)
            return QStringLiteral("port word %1 is no widened byte").arg(word, 8, 16);
    return QString();
}

QString productReply(const QByteArray &body)
{
    const Frame reply(RPrda.token, body, RPrda.replyLength, true);
    const Payloads::ProductInfo info = Payloads::decodeRPrda(reply.bytes);
    for (int chinese : {0, 1}) {
        const QString text = Payloads::productText(info, chinese);
        if (text.count(QLatin1Char('\n')) != 3)
            return QStringLiteral("the product box has %1 lines").arg(text.count('\n') + 1);
    }
    return QString();
}

QString statusReply(const QByteArray &body)
{
    for (const Command *c : {&WArea, &WPara, &WCase}) {
        const Frame reply(c->token, body, c->replyLength, true);
        const int status = Payloads::writeStatus(reply.bytes);
        if (status != FuzzChecks::byteAt(body, 0))
            return QStringLiteral("status byte %1 read as %2").arg(FuzzChecks::byteAt(body, 0)).arg(status);
    }
    return QString();
}
} // namespace

QString areaCodec(const QByteArray &bytes)
{
    // The kinds the area held before the reply: a kind byte above 5 keeps them.
    AreaRecord area;
    for (int c = 0; c < kOutputCount; ++c)
        area.shape[c] = FuzzChecks::byteAt(bytes, AreaCodec::kFrameLength - 7 + c) % 6;
    const Frame reply(RArea.token, bytes.left(AreaCodec::kFrameLength - 7), AreaCodec::kFrameLength,
                      true);
    AreaCodec::decode(reply.bytes, area);
    const int index = AreaCodec::frameIndex(reply.bytes);
    QString wrong = FuzzChecks::storedArea(index, area, ShapeRatio, kMaxPointsPerOutput);
    for (int c = 0; c < kOutputCount && wrong.isEmpty(); ++c)
        wrong = fitsItsKind(c, area);
    if (wrong.isEmpty())
        wrong = FuzzChecks::travelsIntact(index, area);
    if (wrong.isEmpty())
        FuzzChecks::draw(area, deviceModelInfo(Laser50)->sceneSpan);
    return wrong;
}

QString payloads(const QByteArray &bytes)
{
    const QByteArray body = bytes.mid(1);
    switch (FuzzChecks::byteAt(bytes, 0) % 5) {
    case 0: return paraRoundTrip(body);
    case 1: return caseRoundTrip(body);
    case 2: return simulationReply(body);
    case 3: return productReply(body);
    default: return statusReply(body);
    }
}

QString discoveryAnswer(const QByteArray &bytes)
{
    const QString mode = Discovery::answerMode(bytes);
    if (mode.isEmpty())
        return QString();
    if (mode != QLatin1String("MODE: TCP") && mode != QLatin1String("MODE: UDP"))
        return QStringLiteral("answer read as mode \"%1\"").arg(mode);
    // Only the first "MODE:" counts, and nothing after its nine bytes.
    if (bytes.indexOf("MODE:") != bytes.indexOf(mode.toLatin1()))
        return QStringLiteral("%1 taken from other than the first MODE:").arg(mode);
    if (Discovery::answerMode(bytes + QByteArray("\0MODE: UDP", 10)) != mode)
        return QStringLiteral("text after the answer changed its mode");
    return QString();
}

} // namespace FuzzTargets
