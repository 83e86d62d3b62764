#include "gui/dialogs/EthnertSetting.h"
#include "ui_ethnertsetting.h"

#include "core/link/Discovery.h"
#include "gui/dialogs/SettingsDialog.h"

EthnertSetting::EthnertSetting(QWidget *parent, bool searchAtOnce)
    : QDialog(parent), ui(new Ui::EthnertSetting), m_discovery(new Discovery(this))
{
    ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    connect(ui->Enter, &QPushButton::clicked, this, &EthnertSetting::update);
    connect(ui->Cancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_discovery, &Discovery::answersRead, this, &EthnertSetting::ReadEthernetReceiveData);
    connect(m_discovery, &Discovery::modeAnswered, this, &EthnertSetting::OpenEthernetMode);
    if (searchAtOnce)
        fillPortsInfo();
}

EthnertSetting::~EthnertSetting() = default;

void EthnertSetting::update()
{
    Q_EMIT OpenEthernetSignal(ui->Eth_ComboBox->currentText());
    DelteclientSocket();
    hide();
}

void EthnertSetting::fillPortsInfo()
{
    m_discovery->search();
}

void EthnertSetting::DelteclientSocket()
{
    m_discovery->close();
}

void EthnertSetting::ReadEthernetReceiveData(const QStringList &addresses)
{
    fillAnswerList(ui->Eth_ComboBox, addresses);
}

void EthnertSetting::fillAnswerList(QComboBox *box, const QStringList &addresses)
{
    // The list shows the answers of the latest read only.
    refillKeepingTypedText(box, [box, &addresses] { box->addItems(addresses); });
}

void EthnertSetting::SetChineseTexts()
{
    setWindowTitle(QStringLiteral("以太网设置"));
    ui->Enter->setText(QStringLiteral("确定"));
    ui->Cancel->setText(QStringLiteral("取消"));
}

void EthnertSetting::SetEnglishTexts()
{
    setWindowTitle(QStringLiteral("Ethnert Setting"));
    ui->Enter->setText(QStringLiteral("OK"));
    ui->Cancel->setText(QStringLiteral("Cancel"));
}
