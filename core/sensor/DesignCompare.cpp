#include "core/sensor/DesignCompare.h"

#include "core/link/AreaCodec.h"
#include "core/link/Payloads.h"

namespace DesignCompare {
namespace {

const char *const kShapes[2][6] = {
    {"Polygon", "Arc", "Rectangle", "Straight", "Fan", "Ratio"},
    {"多边形", "圆弧", "矩形", "直线", "扇形", "比例"},
};
const char *const kAreaParameters[2][4] = {
    {"On Delay", "Off Delay", "Hysteresis", "Detection Size"},
    {"打开延迟", "关闭延迟", "关闭滞后比例", "检测物体大小"},
};
const char *const kCaseFields[2][5] = {
    {"Steering Min", "Steering Max", "Speed Min", "Speed Max", "Operation Mode"},
    {"转角下限", "转角上限", "速度下限", "速度上限", "车辆操作模式"},
};
const char *const kSensorFields[SensorParameters::kFieldCount] = {
    "ControlMode",       "RS232BaudRate",   "RS232CommVerify",     "RS232StopBit",
    "RS485IDAddress",    "RS485BaudRate",   "RS485CommVerify",     "RS485StopBit",
    "CANIDAddress",      "CANBaudRate",     "SensorOutputLogic",   "ScanMotorSpeed",
    "ScanSensorAngle",   "ScanFilterLevel", "SensorInstallDir",    "CrossFilterEnable",
    "CrossFilterNumber", "SensorEtherMode", "SensorIPAddressHigh", "SensorIPAddressLow"};

// Points shown before the list is cut short.
constexpr int kPointsShown = 6;

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

bool sameBytes(const QByteArray &a, const QByteArray &b, int from, int length)
{
    return a.mid(from, length) == b.mid(from, length);
}

QString areaParameterText(int item, int index, bool chinese)
{
    switch (item) {
    case 0:
    case 1:
        return QStringLiteral("%1ms").arg(index * 20);
    case 2:
        return index == 0 ? u(chinese ? "关闭" : "Close") : QStringLiteral("%1%").arg(index);
    default:
        return QString::number((index + 1) * 0.5, 'f', 1) + u("°");
    }
}

QString sensorFieldText(int field, std::int32_t value)
{
    // The two address words read as the dotted halves of the address.
    if (field >= 18)
        return QStringLiteral("%1.%2").arg((value >> 8) & 0xFF).arg(value & 0xFF);
    return QString::number(value);
}

Difference make(Kind kind, int area, int item)
{
    Difference d;
    d.kind = kind;
    d.area = area;
    d.item = item;
    return d;
}

} // namespace

QString outputText(const AreaRecord &area, int output, bool chinese)
{
    const QVector<QPoint> &points = area.points[output];
    if (points.isEmpty())
        return u(chinese ? "空" : "empty");
    const int kind = area.shape[output];
    QString text = (kind >= 0 && kind < 6) ? u(kShapes[chinese][kind]) : QString::number(kind);
    text += chinese ? QStringLiteral("，%1 个点").arg(points.size())
                    : QStringLiteral(", %1 point%2").arg(points.size()).arg(points.size() == 1 ? "" : "s");
    // A derived shape's one point carries its parameter only.
    if (kind >= ShapeStraight && points.size() == 1)
        return text + QStringLiteral(" (%1)").arg(points[0].y());
    for (int i = 0; i < points.size() && i < kPointsShown; ++i)
        text += QStringLiteral(" (%1,%2)").arg(points[i].x()).arg(points[i].y());
    if (points.size() > kPointsShown)
        text += u(" …");
    return text;
}

QString Difference::itemName(bool chinese) const
{
    switch (kind) {
    case Kind::Output:
        return QStringLiteral("Out%1").arg(item + 1);
    case Kind::AreaParameter:
        return u(kAreaParameters[chinese][item]);
    case Kind::CaseChannel:
        return u(kCaseFields[chinese][item]);
    case Kind::SensorParameter:
        break;
    }
    return u(kSensorFields[item]);
}

QString Difference::toLine() const
{
    const QString where = area >= 0 ? QStringLiteral("area %1 %2").arg(area).arg(itemName(false))
                                    : QStringLiteral("parameter %1").arg(itemName(false));
    return QStringLiteral("%1: design %2; sensor %3").arg(where, design[0], sensor[0]);
}

QString Difference::toText(bool chinese) const
{
    if (!chinese)
        return toLine();
    const QString where = area >= 0 ? QStringLiteral("区域 %1 %2").arg(area).arg(itemName(true))
                                    : QStringLiteral("参数 %1").arg(itemName(true));
    return QStringLiteral("%1：设计 %2；传感器 %3").arg(where, design[1], sensor[1]);
}

QVector<Difference> compare(const QVector<AreaRecord> &design, const SensorParameters &designParameters,
                            const QVector<AreaRecord> &sensor, const SensorParameters &sensorParameters)
{
    QVector<Difference> out;
    const int areas = qMin(design.size(), sensor.size());
    for (int a = 0; a < areas; ++a) {
        const AreaRecord &d = design[a];
        const AreaRecord &s = sensor[a];
        // The sensor's side was decoded from its bytes, and decoding an Arc
        // does not give back points that encode to the same bytes: the
        // design goes through the same decoding before both are encoded.
        AreaRecord asRead = d;
        AreaCodec::decode(AreaCodec::encode("WArea", a, d), asRead);
        const QByteArray dw = AreaCodec::encode("WArea", a, asRead);
        const QByteArray sw = AreaCodec::encode("WArea", a, s);
        for (int o = 0; o < kOutputCount; ++o) {
            if (sameBytes(dw, sw, AreaCodec::kBlockOffset[o], 16)
                && sameBytes(dw, sw, AreaCodec::kPointOffset[o], 400))
                continue;
            Difference diff = make(Kind::Output, a, o);
            for (int lang = 0; lang < 2; ++lang) {
                diff.design[lang] = outputText(d, o, lang);
                diff.sensor[lang] = outputText(s, o, lang);
            }
            out << diff;
        }
        for (int p = 0; p < 4; ++p) {
            if (sameBytes(dw, sw, 6 + 2 * p, 2))
                continue;
            Difference diff = make(Kind::AreaParameter, a, p);
            for (int lang = 0; lang < 2; ++lang) {
                diff.design[lang] = areaParameterText(p, d.intField(p), lang);
                diff.sensor[lang] = areaParameterText(p, s.intField(p), lang);
            }
            out << diff;
        }
        // Case values travel as 16-bit words.
        for (int c = 0; c < 5; ++c) {
            const int dv = d.intField(4 + c), sv = s.intField(4 + c);
            if ((dv & 0xFFFF) == (sv & 0xFFFF))
                continue;
            Difference diff = make(Kind::CaseChannel, a, c);
            diff.design[0] = diff.design[1] = QString::number(dv);
            diff.sensor[0] = diff.sensor[1] = QString::number(sv);
            out << diff;
        }
    }
    const QByteArray dp = Payloads::encodeWPara(designParameters);
    const QByteArray sp = Payloads::encodeWPara(sensorParameters);
    for (int f = 0; f < SensorParameters::kFieldCount; ++f) {
        if (sameBytes(dp, sp, 5 + 2 * f, 2))
            continue;
        Difference diff = make(Kind::SensorParameter, -1, f);
        diff.design[0] = diff.design[1] = sensorFieldText(f, designParameters.field(f));
        diff.sensor[0] = diff.sensor[1] = sensorFieldText(f, sensorParameters.field(f));
        out << diff;
    }
    return out;
}

void take(const Difference &d, QVector<AreaRecord> &design, SensorParameters &designParameters,
          const QVector<AreaRecord> &sensor, const SensorParameters &sensorParameters)
{
    if (d.kind == Kind::SensorParameter) {
        designParameters.setField(d.item, sensorParameters.field(d.item));
        return;
    }
    if (d.area < 0 || d.area >= design.size() || d.area >= sensor.size())
        return;
    AreaRecord &to = design[d.area];
    const AreaRecord &from = sensor[d.area];
    switch (d.kind) {
    case Kind::Output:
        to.shape[d.item] = from.shape[d.item];
        to.points[d.item] = from.points[d.item];
        break;
    case Kind::AreaParameter:
        to.setIntField(d.item, from.intField(d.item));
        break;
    case Kind::CaseChannel:
        to.setIntField(4 + d.item, from.intField(4 + d.item));
        break;
    case Kind::SensorParameter:
        break;
    }
}

} // namespace DesignCompare
