#pragma once

#include "core/zones/DeviceType.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Create;
}
class Discovery;

// The welcome dialog: create a project for a model, open a project file,
// connect to a sensor, or quit. It announces the choice and hides.
class Create : public QDialog
{
    Q_OBJECT
public:
    explicit Create(QWidget *parent = nullptr);
    ~Create() override;

    Ui::Create *form() const { return ui.get(); }
    Discovery *discovery() const { return m_discovery; }

Q_SIGNALS:
    void QuitSignal();
    void OpenProjectSignal();
    void CreateSignal(DEVICETYPE *Type);
    void CreateInterface(int Index);
    void OpenSerialSignal(QString Com);
    void OpenEthernetSignal(QString Com);
    void OpenEthernetMode(QString Type);

public Q_SLOTS:
    void DelteclientSocket();
    void LanguageDisplayChinese();
    void LanguageDisplayEnglish();
    void LanguageDisplayJapanese();
    void QuitButton();
    void CreateNewProject();
    void OpenProjectFile();
    void ConnectToLaserSensor();
    void UpdateSerialPortSetting();
    void UpdateEthernetSetting();
    void ReadEthernetReceiveData(const QStringList &addresses);

protected:
    // The dialog is left through its buttons only: Escape and the window's
    // close do nothing.
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void emitDeviceType();
    bool m_quitting = false;

    std::unique_ptr<Ui::Create> ui;
    Discovery *m_discovery;
};
