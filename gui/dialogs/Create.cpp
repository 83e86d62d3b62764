#include "gui/dialogs/Create.h"
#include "ui_create.h"

#include "core/link/Discovery.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"

#include <QCloseEvent>

Create::Create(QWidget *parent) : QDialog(parent), ui(new Ui::Create), m_discovery(new Discovery(this))
{
    ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    // Only a title: the dialog is left through its buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    connect(ui->Button_Quit, &QPushButton::clicked, this, &Create::QuitButton);
    connect(ui->Button_Create, &QPushButton::clicked, this, &Create::CreateNewProject);
    connect(ui->Button_Open, &QPushButton::clicked, this, &Create::OpenProjectFile);
    connect(ui->Button_Connect, &QPushButton::clicked, this, &Create::ConnectToLaserSensor);
    connect(ui->Button_Refresh, &QPushButton::clicked, this, &Create::UpdateSerialPortSetting);
    connect(ui->Button_Refresh_ETH, &QPushButton::clicked, this, &Create::UpdateEthernetSetting);
    connect(m_discovery, &Discovery::answersRead, this, &Create::ReadEthernetReceiveData);
    connect(m_discovery, &Discovery::modeAnswered, this, &Create::OpenEthernetMode);
    UpdateSerialPortSetting();
    UpdateEthernetSetting();
    ui->ConnecttabWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    setMinimumWidth(460);
    adjustSize();
}

Create::~Create() = default;

void Create::emitDeviceType()
{
    DEVICETYPE type;
    type.type = ui->LaserSensorType->currentIndex() == 1 ? Laser50 : Laser30;
    Q_EMIT CreateSignal(&type);
}

void Create::QuitButton()
{
    Q_EMIT QuitSignal();
    DelteclientSocket();
    m_quitting = true;
    close();
    m_quitting = false;
}

void Create::reject() {}

void Create::closeEvent(QCloseEvent *event)
{
    if (m_quitting) {
        QDialog::reject(); // hides the dialog and ends a modal run
        event->accept();
    } else {
        event->ignore();
    }
}

void Create::CreateNewProject()
{
    emitDeviceType();
    Q_EMIT CreateInterface(ui->ConnecttabWidget->currentIndex());
    DelteclientSocket();
    hide();
}

void Create::OpenProjectFile()
{
    Q_EMIT OpenProjectSignal();
    DelteclientSocket();
    hide();
}

void Create::ConnectToLaserSensor()
{
    emitDeviceType();
    if (ui->ConnecttabWidget->currentIndex() != 0)
        Q_EMIT OpenEthernetSignal(ui->comboBox_Ethernet->currentText());
    else
        Q_EMIT OpenSerialSignal(ui->comboBox_Serial->currentText());
    DelteclientSocket();
    hide();
}

void Create::UpdateSerialPortSetting()
{
    SettingsDialog::fillPortList(ui->comboBox_Serial);
}

void Create::UpdateEthernetSetting()
{
    m_discovery->search();
}

void Create::ReadEthernetReceiveData(const QStringList &addresses)
{
    EthnertSetting::fillAnswerList(ui->comboBox_Ethernet, addresses);
}

void Create::DelteclientSocket()
{
    m_discovery->close();
}

void Create::LanguageDisplayChinese()
{
    setWindowTitle(QStringLiteral("欢迎使用扇区工作室"));
    ui->Button_Create->setText(QStringLiteral("创建"));
    ui->Button_Open->setText(QStringLiteral("打开"));
    ui->label_OpenProject->setText(QStringLiteral("打开工程文件"));
    ui->Button_Connect->setText(QStringLiteral("连接"));
    ui->ConnecttabWidget->setTabText(0, QStringLiteral("串口"));
    ui->ConnecttabWidget->setTabText(1, QStringLiteral("以太网"));
    ui->Button_Quit->setText(QStringLiteral("退出"));
}

void Create::LanguageDisplayEnglish()
{
    setWindowTitle(QStringLiteral("Welcome to Sector Studio"));
    ui->Button_Create->setText(QStringLiteral("Create"));
    ui->Button_Open->setText(QStringLiteral("Open"));
    ui->label_OpenProject->setText(QStringLiteral("Open Project file"));
    ui->Button_Connect->setText(QStringLiteral("Connect"));
    ui->ConnecttabWidget->setTabText(0, QStringLiteral("Serial"));
    ui->ConnecttabWidget->setTabText(1, QStringLiteral("Ethernet"));
    ui->Button_Quit->setText(QStringLiteral("Quit"));
}

void Create::LanguageDisplayJapanese() {}
