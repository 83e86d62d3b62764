#include "gui/LanguageTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTabWidget>
#include <QTranslator>

namespace LanguageTexts {

namespace {
struct Text {
    const char *name;
    const char *zh;
    const char *en;
};
struct Indexed {
    const char *name;
    int index;
    const char *zh;
    const char *en; // nullptr: the item keeps its Chinese text
};

const Text kMenus[] = {
    {"File", "文件", "File"},
    {"New", "新建文件", "New"},
    {"Edit", "编辑", "Edit"},
    {"View", "视窗", "View"},
    {"ViewMode", "视图", "Mode"},
    {"Setting", "设置", "Setting"},
    {"Connections", "连接", "Connections"},
    {"Interfaces", "接口", "Interfaces"},
    {"Display", "显示", "Display"},
    {"Language", "语言", "Language"},
    {"Help", "帮助", "Help"},
};
const Text kActions[] = {
    {"Open", "打开文件", "Open"},
    {"Save", "保存文件", "Save"},
    {"SaveAs", "另存为", "Save As"},
    {"Quit", "退出", "Quit"},
    {"Undo", "撤销", "Undo"},
    {"Redo", "重做", "Redo"},
    {"Copy", "复制", "Copy"},
    {"Cut", "剪贴", "Cut"},
    {"Paste", "粘贴", "Paste"},
    {"Delete", "删除", "Delete"},
    {"DeleteAll", "全部删除", "Delete All"},
    {"AppSettings", "应用设置", "App Settings"},
    {"Edition", "编辑", "Edition"},
    {"Monitoring", "监控", "Monitoring"},
    {"SensorSetting", "传感器设定", "Sensor Setting"},
    {"IOSimulation", "输入输出仿真", "IO Simulation"},
    {"SelfCheck", "自检状态", "SelfCheck"},
    {"Distance", "距离", "Distance"},
    {"Intensity", "强度", "Intensity"},
    {"DataTable", "数据列表", "Data Table"},
    {"SerialConnection", "串口", "Serial"},
    {"EthernetConnection", "以太网", "Ethernet"},
    {"SerialSetting", "串口设置", "Serial Setting"},
    {"EthnernetSetting", "以太网设置", "Ethernet Setting"},
    {"Connection", "连接设备", "Connection"},
    {"DisConnection", "断开设备", "DisConnection"},
    {"ReadAllSetting", "上传数据", "Read All Setting"},
    {"WriteAllSetting", "下载数据", "Write All Setting"},
    {"CompareWithSensor", "与传感器比较", "Compare with Sensor"},
    {"CommissioningReport", "调试报告…", "Commissioning Report…"},
    {"CaseCoverage", "工况覆盖", "Case Coverage"},
    {"RecordScan", "录制扫描", "Record Scan"},
    {"StopRecording", "停止录制", "Stop Recording"},
    {"OpenRecording", "打开录制…", "Open Recording…"},
    {"SoftReboot", "重启设备", "Soft Reboot"},
    {"SensorInformation", "传感器信息", "Sensor Information"},
    {"DispGraph", "图形显示", "Disp Graph"},
    {"DispCloud", "点云显示", "Disp Cloud"},
    {"DispLine", "线条显示", "Disp Line"},
    {"About", "关于", "About"},
    {"Manual", "指南", "Manual"},
};
const Text kDocks[] = {
    {"EditionControlDock", "编辑控制", "Edition Controls"},
    {"DataTableDock", "数据列表", "Data Table"},
    {"SensorSettingDock", "传感器设定", "Sensor Setting"},
    {"IOSimulationDock", "IO端口仿真", "IO Simulation"},
    {"SelfCheckDock", "自检状态", "Self Check"},
};
const Text kWidgets[] = {
    {"ArealineText", "区域", "Area"},
    {"RegionsLineText", "编辑", "Regions"},
    {"label_OpenDelay", "打开延迟", "On Delay"},
    {"label_CloseDelay", "关闭延迟", "Off Delay"},
    {"label_Hysteresis", "关闭滞后比例", "Hysteresis"},
    {"label_DetectionSize", "检测物体大小", "Detection Size"},
    {"label_SteerDgree", "驱动转角范围", "Dgree Range"},
    {"label_VehicleSpeed", "车辆速度范围", "Speed Range"},
    {"label_VehicleOptionMode", "车辆操作模式", "Operation"},
    {"IndependentBoxOut1", "独立模式", "Independent"},
    {"DependentBoxOut1", "依靠模式", "Dependent"},
    {"RegionBoxOut1", "区域", "Region"},
    {"label_Corner1", "位置", "Corner"},
    {"label_Size1", "大小", "Size"},
    {"ButtonSelectOut1", "选择", "Select"},
    {"MethodBoxOut1", "方法", "Method"},
    {"DistanceOffsetBoxOut1", "抵消距离", "Distance Offset"},
    {"OtherBoxOut1", "其他", "Others"},
    {"CheckSimplifyResultOut1", "简单采样", "Simplify The Result"},
    {"ButtonTeachOut1", "开始自学习", "Start Teach"},
    {"ButtonPolygonOut1", "多边形", "Polygon"},
    {"ButtonArcOut1", "圆弧", "Arc"},
    {"ButtonRectangleOut1", "矩形", "Rectangle"},
    {"ButtonStraightOut1", "直线", "Straight"},
    {"ButtonFanOut1", "扇形", "Fan"},
    {"ButtonRatioOut1", "比例", "Ratio"},
    {"IndependentBoxOut2", "独立模式", "Independent"},
    {"DependentBoxOut2", "依靠模式", "Dependent"},
    {"RegionBoxOut2", "区域", "Region"},
    {"label_Corner2", "位置", "Corner"},
    {"label_Size2", "大小", "Size"},
    {"ButtonSelectOut2", "选择", "Select"},
    {"MethodBoxOut2", "方法", "Method"},
    {"DistanceOffsetBoxOut2", "抵消距离", "Distance Offset"},
    {"OtherBoxOut2", "其他", "Others"},
    {"CheckSimplifyResultOut2", "简单采样", "Simplify The Result"},
    {"ButtonTeachOut2", "开始自学习", "Start Teach"},
    {"ButtonPolygonOut2", "多边形", "Polygon"},
    {"ButtonArcOut2", "圆弧", "Arc"},
    {"ButtonRectangleOut2", "矩形", "Rectangle"},
    {"ButtonStraightOut2", "直线", "Straight"},
    {"ButtonFanOut2", "扇形", "Fan"},
    {"ButtonRatioOut2", "比例", "Ratio"},
    {"IndependentBoxOut3", "独立模式", "Independent"},
    {"DependentBoxOut3", "依靠模式", "Dependent"},
    {"RegionBoxOut3", "区域", "Region"},
    {"label_Corner3", "位置", "Corner"},
    {"label_Size3", "大小", "Size"},
    {"ButtonSelectOut3", "选择", "Select"},
    {"MethodBoxOut3", "方法", "Method"},
    {"DistanceOffsetBoxOut3", "抵消距离", "Distance Offset"},
    {"OtherBoxOut3", "其他", "Others"},
    {"CheckSimplifyResultOut3", "简单采样", "Simplify The Result"},
    {"ButtonTeachOut3", "开始自学习", "Start Teach"},
    {"ButtonPolygonOut3", "多边形", "Polygon"},
    {"ButtonArcOut3", "圆弧", "Arc"},
    {"ButtonRectangleOut3", "矩形", "Rectangle"},
    {"ButtonStraightOut3", "直线", "Straight"},
    {"ButtonFanOut3", "扇形", "Fan"},
    {"ButtonRatioOut3", "比例", "Ratio"},
    {"label_ControlMode", "传感器控制方式", "Control Mode"},
    {"label_RS232BaudRate", "RS232通信波特率", "RS232 BaudRate"},
    {"label_RS232CommVerify", "RS232通信校验位", "RS232 Verify"},
    {"label_RS232StopBit", "RS232通信停止位", "RS232 StopBit"},
    {"label_RS485IDAddress", "RS485地址(1-127)", "RS485 ID(1-127)"},
    {"label_RS485BaudRate", "RS485通信波特率", "RS485 BaudRate"},
    {"label_RS485CommVerify", "RS485通信校验位", "RS485 Verify"},
    {"label_RS485StopBit", "RS485通信停止位", "RS485 StopBit"},
    {"label_CANIDAddress", "CAN总线地址(1-127)", "CAN ID(1-127)"},
    {"label_CANBaudRate", "CAN总线波特率", "CAN BaudRate"},
    {"label_SensorOutputLogic", "传感器输出逻辑", "Output Logic"},
    {"label_ScanMotorSpeed", "扫描电机转速", "Motor SpeedRatio"},
    {"label_ScanSensorAngle", "激光角度分辨率", "Sensor Scan Degree"},
    {"label_ScanFilterLevel", "采样噪声过滤等级", "Scan Filter Level"},
    {"label_SensorInstallDir", "传感器安装方向", "Install Dir"},
    {"label_CrossFilterEnable", "串扰过滤使能", "Cross Enable"},
    {"label_CrossFilterNumber", "串扰过滤数量", "Cross Number"},
    {"label_SensorEtherMode", "以太网模式接口", "Ethernet Mode"},
    {"label_SensorIPAddress", "以太网IP地址:", "IP Address:"},
    {"ScanGroupBox", "动态扫描设定", "Scan Setting"},
    {"InportGrouptBox", "输入端口仿真", "Input Simulation"},
    {"OutportGrouptBox", "输出端口仿真", "Output Simulation"},
    {"FaultGroupBox", "异常状态仿真", "Fault Simulation"},
    {"CaseSimulationBox", "智能选择仿真", "Simulation CaseChannel"},
    {"label_SimDgree", "驱动转角", "Dgree"},
    {"label_SimSpeed", "车辆速度", "Speed"},
    {"label_SimOptionMode", "车辆操作模式", "Operation"},
    {"label_SensorSleepMode", "休眠模式", "Sleep Mode"},
    {"label_SetScanMotorSpeed", "扫描电机转速", "Motor SpeedRatio"},
    {"label_SetScanSensorAngle", "激光角度分辨率", "Sensor Scan Degree"},
    {"label_SetScanFilterLevel", "采样噪声过滤等级", "Scan Filter Level"},
    {"label_SensorTemper", "传感器温度", "Sensor Temper"},
    {"label_RotateSpeed", "马达转速", "Rotate Speed"},
    {"label_DriveVoltage", "MOS驱动电压", "MOS Driver Voltage"},
    {"label_SendVoltage", "LD发射电压", "LD Send Voltage"},
    {"label_ReceiveVoltage", "APD接收电压", "APD Receive Voltage"},
    {"label_Timestamp", "时间戳:", "Timestamp:"},
    {"label_InputPorts", "输入", "Inputs"},
    {"label_OutputPorts", "输出", "Outputs"},
};
const Indexed kTabs[] = {
    {"AreaEditTab", 0, "输出1", "Out 1"},
    {"AreaEditTab", 1, "输出2", "Out 2"},
    {"AreaEditTab", 2, "输出3", "Out 3"},
    {"ParametersEditTab", 0, "通道参数", "Parameter"},
    {"ParametersEditTab", 1, "智能选择", "CaseChannel"},
    {"TableCoordinatesOut1", 0, "坐标", "Coordinates"},
    {"TableCoordinatesOut1", 1, "自学习", "Teaching"},
    {"CoordinatesTabOut1", 0, "X/Y坐标", "Controls XY"},
    {"CoordinatesTabOut1", 1, "角度距离", "Controls Polar"},
    {"TableCoordinatesOut2", 0, "坐标", "Coordinates"},
    {"TableCoordinatesOut2", 1, "自学习", "Teaching"},
    {"CoordinatesTabOut2", 0, "X/Y坐标", "Controls XY"},
    {"CoordinatesTabOut2", 1, "角度距离", "Controls Polar"},
    {"TableCoordinatesOut3", 0, "坐标", "Coordinates"},
    {"TableCoordinatesOut3", 1, "自学习", "Teaching"},
    {"CoordinatesTabOut3", 0, "X/Y坐标", "Controls XY"},
    {"CoordinatesTabOut3", 1, "角度距离", "Controls Polar"},
};
const Indexed kItems[] = {
    {"Area_Hysteresis", 0, "关闭", "Close"},
    {"VehicleOptionMode", 0, "操作模式0", "Type 0"},
    {"SimOptionMode", 0, "操作模式0", "Type 0"},
    {"VehicleOptionMode", 1, "操作模式1", "Type 1"},
    {"SimOptionMode", 1, "操作模式1", "Type 1"},
    {"VehicleOptionMode", 2, "操作模式2", "Type 2"},
    {"SimOptionMode", 2, "操作模式2", "Type 2"},
    {"VehicleOptionMode", 3, "操作模式3", "Type 3"},
    {"SimOptionMode", 3, "操作模式3", "Type 3"},
    {"VehicleOptionMode", 4, "操作模式4", "Type 4"},
    {"SimOptionMode", 4, "操作模式4", "Type 4"},
    {"MethodOut1", 0, "平均值", "Average"},
    {"MethodOut1", 1, "最小值", "Minimum"},
    {"MethodOut2", 0, "平均值", "Average"},
    {"MethodOut2", 1, "最小值", "Minimum"},
    {"MethodOut3", 0, "平均值", "Average"},
    {"MethodOut3", 1, "最小值", "Minimum"},
    {"Para_ControlMode", 0, "IO接口控制", "IO Interface"},
    {"Para_ControlMode", 1, "RS323通讯控制", "RS232 Interface"},
    {"Para_ControlMode", 2, "RS485通讯控制", "RS485 Interface"},
    {"Para_ControlMode", 3, "CAN总线控制", "CAN Interface"},
    {"Para_ControlMode", 4, "Modbus协议控制", "Modbus Interface"},
    {"Para_ControlMode", 5, "CANOpen协议控制", nullptr},
    {"Para_RS232CommVerify", 0, "无校验", "None"},
    {"Para_RS232CommVerify", 1, "奇校验", "Odd"},
    {"Para_RS232CommVerify", 2, "偶校验", "Even"},
    {"Para_RS232StopBit", 0, "停止位1Bit", "Stop 1Bit"},
    {"Para_RS232StopBit", 1, "停止位1.5Bit", "Stop 1.5Bit"},
    {"Para_RS232StopBit", 2, "停止位2Bit", "Stop 2Bit"},
    {"Para_RS485CommVerify", 0, "无校验", "None"},
    {"Para_RS485CommVerify", 1, "奇校验", "Odd"},
    {"Para_RS485CommVerify", 2, "偶校验", "Even"},
    {"Para_RS485StopBit", 0, "停止位1Bit", "Stop 1Bit"},
    {"Para_RS485StopBit", 1, "停止位1.5Bit", "Stop 1.5Bit"},
    {"Para_RS485StopBit", 2, "停止位2Bit", "Stop 2Bit"},
    {"Para_SensorOutputLogic", 0, "常闭方式", "Active High"},
    {"Para_SensorOutputLogic", 1, "常开方式", "Active Low"},
    {"Para_ScanFilterLevel", 0, "关闭", "Close"},
    {"Para_ScanFilterLevel", 1, "简单", "Easy"},
    {"Para_ScanFilterLevel", 2, "中等", "Middle"},
    {"Para_ScanFilterLevel", 3, "严格", "Strict"},
    {"Para_SensorInstallDir", 0, "正向安装", "Forward"},
    {"Para_SensorInstallDir", 1, "倒立安装", "Reverse"},
    {"Para_CrossFilterEnable", 0, "关闭", "Disable"},
    {"Para_CrossFilterEnable", 1, "打开", "Enable"},
    {"Para_SensorEtherMode", 0, "TCP服务器", "TCP Server"},
    {"Para_SensorEtherMode", 1, "UDP模式", "UDP Mode"},
    {"Set_SensorSleepMode", 0, "正常工作", "Normal"},
    {"Set_SensorSleepMode", 1, "休眠模式", "Sleep"},
    {"Set_ScanFilterLevel", 0, "关闭", "Close"},
    {"Set_ScanFilterLevel", 1, "简单", "Easy"},
    {"Set_ScanFilterLevel", 2, "中等", "Middle"},
    {"Set_ScanFilterLevel", 3, "严格", "Strict"},
};

QString pick(const char *zh, const char *en, int language)
{
    return QString::fromUtf8(language == 1 && en ? en : zh);
}
} // namespace

void apply(QObject *w, int language)
{
    for (const Text &t : kMenus)
        if (auto *m = w->findChild<QMenu *>(QLatin1String(t.name)))
            m->setTitle(pick(t.zh, t.en, language));
    for (const Text &t : kActions)
        if (auto *a = w->findChild<QAction *>(QLatin1String(t.name)))
            a->setText(pick(t.zh, t.en, language));
    for (const Text &t : kDocks)
        if (auto *d = w->findChild<QDockWidget *>(QLatin1String(t.name)))
            d->setWindowTitle(pick(t.zh, t.en, language));
    for (const Text &t : kWidgets) {
        QObject *o = w->findChild<QObject *>(QLatin1String(t.name));
        const QString text = pick(t.zh, t.en, language);
        if (auto *g = qobject_cast<QGroupBox *>(o))
            g->setTitle(text);
        else if (auto *l = qobject_cast<QLabel *>(o))
            l->setText(text);
        else if (auto *b = qobject_cast<QAbstractButton *>(o))
            b->setText(text);
        else if (auto *e = qobject_cast<QLineEdit *>(o))
            e->setText(text);
    }
    for (const Indexed &t : kTabs)
        if (auto *tab = w->findChild<QTabWidget *>(QLatin1String(t.name)))
            tab->setTabText(t.index, pick(t.zh, t.en, language));
    for (const Indexed &t : kItems)
        if (auto *c = w->findChild<QComboBox *>(QLatin1String(t.name)))
            if (t.index < c->count() && (language == 0 || t.en))
                c->setItemText(t.index, pick(t.zh, t.en, language));
}

QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

bool applyQtTranslations(int language)
{
    // Owned by the application, so it is never left installed in a dead one.
    static QPointer<QTranslator> chinese;
    if (language == 1) {
        if (chinese)
            QCoreApplication::removeTranslator(chinese);
        return true;
    }
    if (!chinese) {
        auto *t = new QTranslator(QCoreApplication::instance());
        if (!t->load(QStringLiteral("qtbase_zh_CN"), qtTranslationsPath())) {
            delete t;
            return false;
        }
        chinese = t;
    }
    // Installing twice only moves it to the front.
    QCoreApplication::installTranslator(chinese);
    return true;
}

int checkNames(QObject *w, QStringList *missing)
{
    int n = 0;
    const auto check = [&](const char *name) {
        ++n;
        if (!w->findChild<QObject *>(QLatin1String(name)))
            missing->append(QLatin1String(name));
    };
    for (const Text &t : kMenus) check(t.name);
    for (const Text &t : kActions) check(t.name);
    for (const Text &t : kDocks) check(t.name);
    for (const Text &t : kWidgets) check(t.name);
    for (const Indexed &t : kTabs) check(t.name);
    for (const Indexed &t : kItems) check(t.name);
    return n;
}

} // namespace LanguageTexts
