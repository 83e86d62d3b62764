#pragma once

#include <QMetaObject>
#include <QObject>
#include <array>

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QSlider;
class QSpinBox;
class ZoneStore;

// Turns the IO simulation dock into the simulation request the link sends:
// forced inputs and outputs, a fault, or a simulated vehicle (steering,
// speed, operation mode) that selects an area by its case channel.
class IO_SIMULATION : public QObject
{
    Q_OBJECT
public:
    struct Widgets {
        QGroupBox *inputGroup;
        std::array<QAbstractButton *, 6> inputButtons;
        QSpinBox *inputSpin;
        QGroupBox *outputGroup;
        std::array<QAbstractButton *, 3> outputButtons;
        QSpinBox *outputSpin;
        QGroupBox *faultGroup;
        QAbstractButton *faultButton;
        QGroupBox *caseGroup;
        QSpinBox *degreeSpin;
        QSlider *degreeSlider;
        QSpinBox *speedSpin;
        QSlider *speedSlider;
        QComboBox *optionMode;
    };

    IO_SIMULATION(ZoneStore *store, const Widgets &widgets, QObject *parent = nullptr);

    unsigned pendingInputs() const { return m_inputs; }
    unsigned pendingOutputs() const { return m_outputs; }

public Q_SLOTS:
    void SimulationSignalSlots();
    void SimulationCaseSlots();

private Q_SLOTS:
    void InputButton1Slots();
    void InputButton2Slots();
    void InputButton3Slots();
    void InputButton4Slots();
    void InputButton5Slots();
    void InputButton6Slots();
    void OutputButton1Slots();
    void OutputButton2Slots();
    void OutputButton3Slots();
    void FaultButtonSlots();
    void InputSpinChange(int Num);
    void OutputSpinChange(int Num);
    void DgreeSpinBoxSlots(int Num);
    void DgreeSliderSlots(int Num);
    void SpeedSpinBoxSlots(int Num);
    void SpeedSliderSlots(int Num);
    void OptionModeSlots(int Num);

private:
    void inputButton(int n);
    void outputButton(int n);
    void refreshInputs();
    void refreshOutputs();
    void keepButtonsUsable(QGroupBox *group);

    ZoneStore *m_store;
    Widgets m_w;
    unsigned m_inputs = 0;
    unsigned m_outputs = 0;
    int m_fault = 0;
    QMetaObject::Connection m_inputSpinConnection;
    QMetaObject::Connection m_outputSpinConnection;
};
