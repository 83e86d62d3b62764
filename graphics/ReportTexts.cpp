#include "graphics/ReportTexts.h"

namespace ReportTexts {
namespace {

struct Labelled {
    const char *zh;
    const char *en;
};

// The dock's labels, field by field; the address takes one row for both words.
const Labelled kLabels[SensorParameters::kFieldCount] = {
    {"传感器控制方式", "Control Mode"},       {"RS232通信波特率", "RS232 BaudRate"},
    {"RS232通信校验位", "RS232 Verify"},      {"RS232通信停止位", "RS232 StopBit"},
    {"RS485地址(1-127)", "RS485 ID(1-127)"},  {"RS485通信波特率", "RS485 BaudRate"},
    {"RS485通信校验位", "RS485 Verify"},      {"RS485通信停止位", "RS485 StopBit"},
    {"CAN总线地址(1-127)", "CAN ID(1-127)"},  {"CAN总线波特率", "CAN BaudRate"},
    {"传感器输出逻辑", "Output Logic"},       {"扫描电机转速", "Motor SpeedRatio"},
    {"激光角度分辨率", "Sensor Scan Degree"}, {"采样噪声过滤等级", "Scan Filter Level"},
    {"传感器安装方向", "Install Dir"},        {"串扰过滤使能", "Cross Enable"},
    {"串扰过滤数量", "Cross Number"},         {"以太网模式接口", "Ethernet Mode"},
    {"以太网IP地址", "IP Address"},           {"以太网IP地址", "IP Address"},
};

// Item lists of the dock's combo boxes; an empty English text keeps the
// Chinese one, as the dock does.
const QVector<Labelled> &items(int field)
{
    static const QVector<Labelled> control = {
        {"IO接口控制", "IO Interface"},         {"RS323通讯控制", "RS232 Interface"},
        {"RS485通讯控制", "RS485 Interface"},   {"CAN总线控制", "CAN Interface"},
        {"Modbus协议控制", "Modbus Interface"}, {"CANOpen协议控制", ""}};
    static const QVector<Labelled> baud = {
        {"9600", ""}, {"19200", ""}, {"38400", ""}, {"57600", ""}, {"115200", ""}};
    static const QVector<Labelled> verify = {
        {"无校验", "None"}, {"奇校验", "Odd"}, {"偶校验", "Even"}};
    static const QVector<Labelled> stop = {
        {"停止位1Bit", "Stop 1Bit"}, {"停止位1.5Bit", "Stop 1.5Bit"}, {"停止位2Bit", "Stop 2Bit"}};
    static const QVector<Labelled> can = {{"125K", ""}, {"250K", ""}, {"500K", ""}, {"1000K", ""}};
    static const QVector<Labelled> logic = {{"常闭方式", "Active High"},
                                            {"常开方式", "Active Low"}};
    static const QVector<Labelled> motor = {{"10Hz,600r", ""}, {"20Hz,1200r", ""}};
    static const QVector<Labelled> angle = {{"0.025°/10Hz", ""},
                                            {"0.050°/10,20Hz", ""},
                                            {"0.100°/10,20Hz", ""},
                                            {"0.250°/10,20Hz", ""},
                                            {"0.500°/10,20Hz", ""}};
    static const QVector<Labelled> filter = {
        {"关闭", "Close"}, {"简单", "Easy"}, {"中等", "Middle"}, {"严格", "Strict"}};
    static const QVector<Labelled> install = {{"正向安装", "Forward"}, {"倒立安装", "Reverse"}};
    static const QVector<Labelled> cross = {{"关闭", "Disable"}, {"打开", "Enable"}};
    static const QVector<Labelled> crossNumber = {{"3", ""}, {"4", ""}, {"5", ""},
                                                  {"6", ""}, {"7", ""}, {"8", ""}};
    static const QVector<Labelled> ether = {{"TCP服务器", "TCP Server"}, {"UDP模式", "UDP Mode"}};
    static const QVector<Labelled> none;
    switch (field) {
    case 0: return control;
    case 1:
    case 5: return baud;
    case 2:
    case 6: return verify;
    case 3:
    case 7: return stop;
    case 9: return can;
    case 10: return logic;
    case 11: return motor;
    case 12: return angle;
    case 13: return filter;
    case 14: return install;
    case 15: return cross;
    case 16: return crossNumber;
    case 17: return ether;
    default: return none;
    }
}

QString text(const Labelled &l, bool chinese)
{
    return QString::fromUtf8(chinese || !*l.en ? l.zh : l.en);
}

} // namespace

QString parameterLabel(int field, bool chinese)
{
    if (field < 0 || field >= SensorParameters::kFieldCount)
        return QString();
    return text(kLabels[field], chinese);
}

QString parameterValue(const SensorParameters &p, int field, bool chinese)
{
    const int v = p.field(field);
    if (field == 4 || field == 8)
        return QString::number(v);
    if (field == 18 || field == 19) {
        const int high = p.SensorIPAddressHigh, low = p.SensorIPAddressLow;
        return QStringLiteral("%1.%2.%3.%4")
            .arg((high >> 8) & 0xFF)
            .arg(high & 0xFF)
            .arg((low >> 8) & 0xFF)
            .arg(low & 0xFF);
    }
    const QVector<Labelled> &list = items(field);
    if (v >= 0 && v < list.size())
        return text(list[v], chinese);
    return chinese ? QStringLiteral("（索引 %1）").arg(v) : QStringLiteral("(index %1)").arg(v);
}

QString areaParameterLabel(int item, bool chinese)
{
    static const Labelled labels[4] = {{"打开延迟", "On Delay"},
                                       {"关闭延迟", "Off Delay"},
                                       {"关闭滞后比例", "Hysteresis"},
                                       {"检测物体大小", "Detection Size"}};
    return item >= 0 && item < 4 ? text(labels[item], chinese) : QString();
}

QString areaParameterValue(const AreaRecord &area, int item, bool chinese)
{
    const int i = area.intField(item);
    switch (item) {
    case 0:
    case 1: return QStringLiteral("%1 ms").arg(i * 20);
    case 2: return i == 0 ? pick(chinese, "关闭", "Close") : QStringLiteral("%1%").arg(i);
    default: return QString::number((i + 1) * 0.5, 'f', 1) + QString::fromUtf8("°");
    }
}

QString steeringRange(const AreaRecord &area, bool chinese)
{
    return pick(chinese, "%1° 至 %2°", "%1° to %2°").arg(area.steerMin).arg(area.steerMax);
}

QString speedRange(const AreaRecord &area, bool chinese)
{
    return pick(chinese, "%1 至 %2", "%1 to %2").arg(area.speedMin).arg(area.speedMax);
}

QString operationMode(int mode, bool chinese)
{
    if (mode == 0)
        return pick(chinese, "操作模式0（智能选择）", "Type 0 (intelligent selection)");
    return chinese ? QStringLiteral("操作模式%1").arg(mode) : QStringLiteral("Type %1").arg(mode);
}

QString differenceLine(const DesignCompare::Difference &d, bool chinese)
{
    if (!chinese)
        return d.toLine();
    const QString where = d.area >= 0
                              ? QStringLiteral("区域 %1 %2").arg(d.area).arg(d.itemName(true))
                              : QStringLiteral("参数 %1").arg(d.itemName(true));
    return QStringLiteral("%1：设计 %2；传感器 %3").arg(where, d.design[1], d.sensor[1]);
}

} // namespace ReportTexts
