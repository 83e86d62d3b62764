#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class EthnertSetting;
}
class Discovery;
class QComboBox;

// The list of sensors that answered the search; confirming it connects to
// the chosen one.
class EthnertSetting : public QDialog
{
    Q_OBJECT
public:
    explicit EthnertSetting(QWidget *parent = nullptr, bool searchAtOnce = true);
    ~EthnertSetting() override;

    Ui::EthnertSetting *form() const { return ui.get(); }
    Discovery *discovery() const { return m_discovery; }

    // The senders of the latest answers as the entries of an address box;
    // an address the user typed there stays until an answer is picked.
    static void fillAnswerList(QComboBox *box, const QStringList &addresses);

    void SetChineseTexts();
    void SetEnglishTexts();

Q_SIGNALS:
    void OpenEthernetSignal(QString Com);
    void OpenEthernetMode(QString Type);

public Q_SLOTS:
    void update();
    void fillPortsInfo();
    void DelteclientSocket();
    void ReadEthernetReceiveData(const QStringList &addresses);

private:
    std::unique_ptr<Ui::EthnertSetting> ui;
    Discovery *m_discovery;
};
