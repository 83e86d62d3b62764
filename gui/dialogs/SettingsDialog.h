#pragma once

#include <QDialog>
#include <QSerialPort>
#include <functional>
#include <memory>

namespace Ui {
class SettingsDialog;
}
class QComboBox;
class QIntValidator;

// Refills a box the user may type into (a serial device, a sensor address).
// Text typed there that is no entry of the box stays, over the new entries,
// until the user picks one of them.
void refillKeepingTypedText(QComboBox *box, const std::function<void()> &fill);

// The serial port and its line settings. Confirming it opens the link.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    struct Settings {
        QString name;
        qint32 baudRate = 0;
        QString stringBaudRate;
        QSerialPort::DataBits dataBits = QSerialPort::Data8;
        QString stringDataBits;
        QSerialPort::Parity parity = QSerialPort::NoParity;
        QString stringParity;
        QSerialPort::StopBits stopBits = QSerialPort::OneStop;
        QString stringStopBits;
        QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;
        QString stringFlowControl;
    };

    explicit SettingsDialog(QWidget *parent = nullptr);
    ~SettingsDialog() override;

    Settings settings() const { return m_current; }
    Ui::SettingsDialog *form() const { return ui.get(); }

    // The serial ports of this computer as entries of a port box, keeping
    // a device path the user typed there.
    static void fillPortList(QComboBox *box);

    // Selects the entry of a rate, or "Custom" with the rate typed in.
    void setBaudRate(int rate);

    void SetChineseTexts();
    void SetEnglishTexts();

Q_SIGNALS:
    void OpenSerialSignal(QString Com);

public Q_SLOTS:
    void update();
    void fillPortsInfo();

private Q_SLOTS:
    void checkCustomBaudRatePolicy(int idx);

private:
    void fillPortsParameters();
    void updateSettings();

    std::unique_ptr<Ui::SettingsDialog> ui;
    Settings m_current;
    QIntValidator *m_intValidator;
};
