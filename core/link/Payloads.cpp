#include "core/link/Payloads.h"

#include "core/link/LinkProtocol.h"
#include "core/zones/ZoneStore.h"

using LinkProtocol::getS16;
using LinkProtocol::getU16;
using LinkProtocol::put16;

namespace Payloads {

QByteArray encodeWPara(const SensorParameters &p)
{
    QByteArray payload(60, '\0');
    for (int k = 0; k < SensorParameters::kFieldCount; ++k)
        put16(payload, 2 * k, p.field(k) & 0xFFFF);
    return LinkProtocol::request(LinkProtocol::WPara, payload);
}

SensorParameters decodeRPara(const QByteArray &frame)
{
    SensorParameters p;
    for (int k = 0; k < SensorParameters::kFieldCount; ++k)
        p.setField(k, getU16(frame, 5 + 2 * k));
    return p;
}

QByteArray encodeWCase(const ZoneStore &store)
{
    QByteArray payload(640, '\0');
    for (int a = 0; a < kAreaCount; ++a) {
        const AreaRecord &r = store.areas[a];
        const int values[5] = {r.steerMin, r.steerMax, r.speedMin, r.speedMax, r.operationMode};
        for (int i = 0; i < 5; ++i)
            put16(payload, 10 * a + 2 * i, values[i] & 0xFFFF);
    }
    return LinkProtocol::request(LinkProtocol::WCase, payload);
}

void decodeRCase(const QByteArray &frame, QVector<AreaRecord> &areas)
{
    for (int a = 0; a < kAreaCount && a < areas.size(); ++a) {
        AreaRecord &r = areas[a];
        const int base = 5 + 10 * a;
        r.steerMin = getS16(frame, base);
        r.steerMax = getS16(frame, base + 2);
        r.speedMin = getS16(frame, base + 4);
        r.speedMax = getS16(frame, base + 6);
        r.operationMode = getS16(frame, base + 8);
    }
}

QByteArray encodeWSimu(const SimulationRequest &s)
{
    QByteArray payload(11, '\0');
    payload[0] = char(s.inputOn ? 1 : (s.caseOn ? 2 : 0));
    payload[1] = char(s.inputWord & 0xFF);
    put16(payload, 2, s.steeringAngle & 0xFFFF);
    put16(payload, 4, s.vehicleSpeed & 0xFFFF);
    put16(payload, 6, s.operationMode & 0xFFFF);
    payload[8] = char(s.outputOn);
    payload[9] = char(s.outputWord & 0xFF);
    payload[10] = char(s.faultState);
    return LinkProtocol::request(LinkProtocol::WSimu, payload);
}

SimuReply decodeWSimuReply(const QByteArray &frame)
{
    SimuReply r;
    // The sensor's bytes are widened as signed: 0x80 becomes 0xFFFFFF80.
    r.inputs = std::uint32_t(std::int32_t(std::int8_t(frame[5])));
    r.outputs = std::uint32_t(std::int32_t(std::int8_t(frame[7])));
    r.temperature = std::int16_t(getS16(frame, 11));
    r.rotateSpeed = std::uint16_t(getU16(frame, 13));
    r.driveVoltage = std::uint16_t(getU16(frame, 15));
    r.sendVoltage = std::uint16_t(getU16(frame, 17));
    r.receiveVoltage = std::uint16_t(getU16(frame, 19));
    return r;
}

QByteArray encodeSCtrl(const std::array<int, 5> &control)
{
    QByteArray payload(5, '\0');
    payload[0] = char(control[0]);
    payload[1] = 0;
    payload[2] = char(control[1]);
    payload[3] = char(control[2]);
    payload[4] = char(control[3]);
    return LinkProtocol::request(LinkProtocol::SCtrl, payload);
}

QByteArray encodeRAuto(bool on)
{
    return LinkProtocol::request(LinkProtocol::RAuto, QByteArray(1, char(on ? 1 : 0)));
}

QByteArray encodeRArea(int index)
{
    QByteArray payload(2, '\0');
    payload[0] = char(index);
    payload[1] = char(0x18);
    return LinkProtocol::request(LinkProtocol::RArea, payload);
}

ProductInfo decodeRPrda(const QByteArray &frame)
{
    ProductInfo i;
    i.type = getU16(frame, 5);
    i.firmware = getU16(frame, 7);
    i.serial = getU16(frame, 9);
    i.year = getU16(frame, 11);
    i.month = getU16(frame, 13);
    i.day = getU16(frame, 15);
    return i;
}

QString productName(int type)
{
    switch (type) {
    case 6: return QStringLiteral("ZQxxxx-IO");
    case 8: return QStringLiteral("ZQxxxx-CN");
    case 9: return QStringLiteral("ZQxxxx-ETH");
    case 10: return QStringLiteral("ZQxxxx-NAV");
    default: return QString();
    }
}

QString productText(const ProductInfo &info, int chinese)
{
    const QString name = productName(info.type);
    const QString firmware = QString::number(info.firmware / 100.0, 'f', 2);
    const QString serial = QString::number(double(info.serial), 'f', 6);
    if (chinese == 1)
        return QStringLiteral("产品型号:  %1\n固件版本:  %2\n串行编号:  %3\n生产日期:  %4年%5月%6日")
            .arg(name, firmware, serial)
            .arg(info.year)
            .arg(info.month)
            .arg(info.day);
    return QStringLiteral("Product Name:  %1\nFirmware:  %2\nSerialNumber:  %3\nProduction:  %4 - %5 - %6")
        .arg(name, firmware, serial)
        .arg(info.year)
        .arg(info.month)
        .arg(info.day);
}

int writeStatus(const QByteArray &frame)
{
    return std::uint8_t(frame[5]);
}

} // namespace Payloads
