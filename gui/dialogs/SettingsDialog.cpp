#include "gui/dialogs/SettingsDialog.h"
#include "ui_settingsdialog.h"

#include <QIntValidator>
#include <QLineEdit>
#include <QSerialPortInfo>

namespace {
// QIntValidator lets a value above its top through while it has no more
// digits than the top; a baud rate above 4000000 must not be typed at all.
class RateValidator : public QIntValidator
{
public:
    RateValidator(int bottom, int top, QObject *parent) : QIntValidator(bottom, top, parent) {}
    State validate(QString &input, int &pos) const override
    {
        const State s = QIntValidator::validate(input, pos);
        if (s != Invalid && !input.isEmpty() && input.toLongLong() > top())
            return Invalid;
        return s;
    }
};
} // namespace

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::SettingsDialog), m_intValidator(new RateValidator(0, 4000000, this))
{
    ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    ui->baudRateBox->setInsertPolicy(QComboBox::NoInsert);
    connect(ui->Enter, &QPushButton::clicked, this, &SettingsDialog::update);
    connect(ui->Cancel, &QPushButton::clicked, this, &QWidget::hide);
    connect(ui->baudRateBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SettingsDialog::checkCustomBaudRatePolicy);
    fillPortsParameters();
    fillPortsInfo();
    updateSettings();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::fillPortsParameters()
{
    for (int rate : {576000, 115200, 9600, 19200, 38400})
        ui->baudRateBox->addItem(QString::number(rate), rate);
    ui->baudRateBox->addItem(QStringLiteral("Custom"));

    for (int bits : {5, 6, 7, 8})
        ui->dataBitsBox->addItem(QString::number(bits), bits);
    ui->dataBitsBox->setCurrentIndex(3);

    ui->parityBox->addItem(QStringLiteral("None"), QSerialPort::NoParity);
    ui->parityBox->addItem(QStringLiteral("Even"), QSerialPort::EvenParity);
    ui->parityBox->addItem(QStringLiteral("Odd"), QSerialPort::OddParity);
    ui->parityBox->addItem(QStringLiteral("Mark"), QSerialPort::MarkParity);
    ui->parityBox->addItem(QStringLiteral("Space"), QSerialPort::SpaceParity);

    ui->stopBitsBox->addItem(QStringLiteral("1"), QSerialPort::OneStop);
    ui->stopBitsBox->addItem(QStringLiteral("1.5"), QSerialPort::OneAndHalfStop);
    ui->stopBitsBox->addItem(QStringLiteral("2"), QSerialPort::TwoStop);

    ui->flowControlBox->addItem(QStringLiteral("None"), QSerialPort::NoFlowControl);
    ui->flowControlBox->addItem(QStringLiteral("RTS/CTS"), QSerialPort::HardwareControl);
    ui->flowControlBox->addItem(QStringLiteral("XON/XOFF"), QSerialPort::SoftwareControl);
}

void refillKeepingTypedText(QComboBox *box, const std::function<void()> &fill)
{
    const QString typed = box->currentText();
    const bool keep = box->isEditable() && !typed.isEmpty()
                      && (box->currentIndex() < 0 || box->itemText(box->currentIndex()) != typed);
    box->clear();
    fill();
    if (keep) {
        box->setCurrentIndex(-1);
        box->setEditText(typed);
    }
}

void SettingsDialog::fillPortList(QComboBox *box)
{
    refillKeepingTypedText(box, [box] {
        const QString none = QStringLiteral("N/A");
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
            const auto orNone = [&none](const QString &s) { return s.isEmpty() ? none : s; };
            const QStringList list{
                info.portName(),
                orNone(info.description()),
                orNone(info.manufacturer()),
                orNone(info.serialNumber()),
                info.systemLocation(),
                info.vendorIdentifier() ? QString::number(info.vendorIdentifier(), 16) : none,
                info.productIdentifier() ? QString::number(info.productIdentifier(), 16) : none,
            };
            box->addItem(list.first(), list);
        }
    });
}

void SettingsDialog::fillPortsInfo()
{
    fillPortList(ui->serialPortInfoListBox);
}

void SettingsDialog::checkCustomBaudRatePolicy(int idx)
{
    const bool custom = !ui->baudRateBox->itemData(idx).isValid();
    ui->baudRateBox->setEditable(custom);
    if (custom) {
        ui->baudRateBox->clearEditText();
        ui->baudRateBox->lineEdit()->setValidator(m_intValidator);
    }
    updateSettings();
}

void SettingsDialog::updateSettings()
{
    m_current.name = ui->serialPortInfoListBox->currentText();
    if (!ui->baudRateBox->currentData().isValid())
        m_current.baudRate = ui->baudRateBox->currentText().toInt();
    else
        m_current.baudRate = ui->baudRateBox->currentData().toInt();
    m_current.stringBaudRate = QString::number(m_current.baudRate);
    m_current.dataBits = QSerialPort::DataBits(ui->dataBitsBox->currentData().toInt());
    m_current.stringDataBits = ui->dataBitsBox->currentText();
    m_current.parity = QSerialPort::Parity(ui->parityBox->currentData().toInt());
    m_current.stringParity = ui->parityBox->currentText();
    m_current.stopBits = QSerialPort::StopBits(ui->stopBitsBox->currentData().toInt());
    m_current.stringStopBits = ui->stopBitsBox->currentText();
    m_current.flowControl = QSerialPort::FlowControl(ui->flowControlBox->currentData().toInt());
    m_current.stringFlowControl = ui->flowControlBox->currentText();
}

void SettingsDialog::setBaudRate(int rate)
{
    const int at = ui->baudRateBox->findData(rate);
    if (at >= 0) {
        ui->baudRateBox->setCurrentIndex(at);
    } else {
        ui->baudRateBox->setCurrentIndex(ui->baudRateBox->count() - 1);
        ui->baudRateBox->setEditText(QString::number(rate));
    }
    updateSettings();
}

void SettingsDialog::update()
{
    updateSettings();
    Q_EMIT OpenSerialSignal(m_current.name);
    hide();
}

void SettingsDialog::SetChineseTexts()
{
    setWindowTitle(QStringLiteral("串口设置"));
    ui->selectBox->setTitle(QStringLiteral("选择串口"));
    ui->SerialLabel->setText(QStringLiteral("串口号:"));
    ui->parametersBox->setTitle(QStringLiteral("参数设置:"));
    ui->baudRateLabel->setText(QStringLiteral("波特率:"));
    ui->dataBitsLabel->setText(QStringLiteral("数据位:"));
    ui->parityLabel->setText(QStringLiteral("奇偶校验:"));
    ui->stopBitsLabel->setText(QStringLiteral("停止位:"));
    ui->flowControlLabel->setText(QStringLiteral("流控制:"));
    ui->Enter->setText(QStringLiteral("确定"));
    ui->Cancel->setText(QStringLiteral("取消"));
}

void SettingsDialog::SetEnglishTexts()
{
    setWindowTitle(QStringLiteral("Serial Setting"));
    ui->selectBox->setTitle(QStringLiteral("Serial Select"));
    ui->SerialLabel->setText(QStringLiteral("Serial Number:"));
    ui->parametersBox->setTitle(QStringLiteral("Parameters Setting:"));
    ui->baudRateLabel->setText(QStringLiteral("Baud Rate:"));
    ui->dataBitsLabel->setText(QStringLiteral("Data Bits:"));
    ui->parityLabel->setText(QStringLiteral("Parity:"));
    ui->stopBitsLabel->setText(QStringLiteral("Stop Bits:"));
    ui->flowControlLabel->setText(QStringLiteral("Flow Control:"));
    ui->Enter->setText(QStringLiteral("Enter"));
    ui->Cancel->setText(QStringLiteral("Cancel"));
}
