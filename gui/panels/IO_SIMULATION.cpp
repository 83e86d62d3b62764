#include "gui/panels/IO_SIMULATION.h"

#include "core/zones/ZoneStore.h"
#include "gui/Lamps.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QSlider>
#include <QSpinBox>

IO_SIMULATION::IO_SIMULATION(ZoneStore *store, const Widgets &widgets, QObject *parent)
    : QObject(parent), m_store(store), m_w(widgets)
{
    m_w.degreeSpin->setRange(-180, 180);
    m_w.degreeSlider->setRange(-180, 180);
    m_w.speedSpin->setRange(-300, 300);
    m_w.speedSlider->setRange(-300, 300);
    m_w.inputSpin->setRange(0, 63);
    m_w.outputSpin->setRange(0, 7);

    using Slot = void (IO_SIMULATION::*)();
    const Slot in[6] = {&IO_SIMULATION::InputButton1Slots, &IO_SIMULATION::InputButton2Slots,
                        &IO_SIMULATION::InputButton3Slots, &IO_SIMULATION::InputButton4Slots,
                        &IO_SIMULATION::InputButton5Slots, &IO_SIMULATION::InputButton6Slots};
    for (int n = 0; n < 6; ++n) {
        m_w.inputButtons[size_t(n)]->setCheckable(true);
        connect(m_w.inputButtons[size_t(n)], &QAbstractButton::clicked, this, in[n]);
    }
    const Slot out[3] = {&IO_SIMULATION::OutputButton1Slots, &IO_SIMULATION::OutputButton2Slots,
                         &IO_SIMULATION::OutputButton3Slots};
    for (int n = 0; n < 3; ++n) {
        m_w.outputButtons[size_t(n)]->setCheckable(true);
        connect(m_w.outputButtons[size_t(n)], &QAbstractButton::clicked, this, out[n]);
    }
    m_w.faultButton->setCheckable(true);
    connect(m_w.faultButton, &QAbstractButton::clicked, this, &IO_SIMULATION::FaultButtonSlots);
    m_inputSpinConnection = connect(m_w.inputSpin, qOverload<int>(&QSpinBox::valueChanged), this,
                                    &IO_SIMULATION::InputSpinChange);
    m_outputSpinConnection = connect(m_w.outputSpin, qOverload<int>(&QSpinBox::valueChanged), this,
                                     &IO_SIMULATION::OutputSpinChange);
    for (QGroupBox *g : {m_w.inputGroup, m_w.outputGroup, m_w.faultGroup})
        connect(g, &QGroupBox::clicked, this, &IO_SIMULATION::SimulationSignalSlots);
    connect(m_w.caseGroup, &QGroupBox::clicked, this, &IO_SIMULATION::SimulationCaseSlots);
    connect(m_w.degreeSpin, qOverload<int>(&QSpinBox::valueChanged), this, &IO_SIMULATION::DgreeSpinBoxSlots);
    connect(m_w.degreeSlider, &QSlider::valueChanged, this, &IO_SIMULATION::DgreeSliderSlots);
    connect(m_w.speedSpin, qOverload<int>(&QSpinBox::valueChanged), this, &IO_SIMULATION::SpeedSpinBoxSlots);
    connect(m_w.speedSlider, &QSlider::valueChanged, this, &IO_SIMULATION::SpeedSliderSlots);
    connect(m_w.optionMode, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &IO_SIMULATION::OptionModeSlots);

    // An unchecked group box would disable its buttons; the states are set
    // up while the simulation is off and take effect when it is switched on.
    for (QGroupBox *g : {m_w.inputGroup, m_w.outputGroup, m_w.faultGroup, m_w.caseGroup}) {
        keepButtonsUsable(g);
        connect(g, &QGroupBox::toggled, this, [this, g] { keepButtonsUsable(g); });
    }
    refreshInputs();
    refreshOutputs();
    FaultButtonSlots();
}

void IO_SIMULATION::keepButtonsUsable(QGroupBox *group)
{
    for (QWidget *w : group->findChildren<QWidget *>())
        w->setEnabled(true);
}

void IO_SIMULATION::SimulationSignalSlots()
{
    SimulationRequest &r = m_store->simulation;
    if (m_w.inputGroup->isChecked()) {
        r.inputOn = 1;
        m_w.caseGroup->setChecked(false);
        r.caseOn = 0;
    } else {
        r.inputOn = 0;
    }
    r.inputWord = m_inputs;
    r.outputOn = m_w.outputGroup->isChecked() ? 1 : 0;
    r.outputWord = m_outputs;
    if (m_w.faultGroup->isChecked()) {
        r.faultOn = 1;
        r.faultState = std::uint8_t(m_fault);
    } else {
        r.faultOn = 0;
        r.faultState = 0;
    }
}

void IO_SIMULATION::SimulationCaseSlots()
{
    SimulationRequest &r = m_store->simulation;
    if (m_w.caseGroup->isChecked()) {
        r.caseOn = 1;
        m_w.inputGroup->setChecked(false);
        r.inputOn = 0;
    } else {
        r.caseOn = 0;
    }
}

void IO_SIMULATION::inputButton(int n)
{
    if (m_w.inputButtons[size_t(n)]->isChecked())
        m_inputs |= 1u << n;
    else
        m_inputs &= ~(1u << n) & 0xFFu;
    refreshInputs();
}

void IO_SIMULATION::outputButton(int n)
{
    if (m_w.outputButtons[size_t(n)]->isChecked())
        m_outputs |= 1u << n;
    else
        m_outputs &= ~(1u << n) & 0xFFu;
    refreshOutputs();
}

void IO_SIMULATION::refreshInputs()
{
    for (int n = 0; n < 6; ++n) {
        const bool on = (m_inputs >> n) & 1;
        m_w.inputButtons[size_t(n)]->setIcon(
            QIcon(Lamps::inputPicture(n, on)));
        m_w.inputButtons[size_t(n)]->setChecked(on);
    }
    disconnect(m_inputSpinConnection);
    m_w.inputSpin->setValue(int(m_inputs));
    m_inputSpinConnection = connect(m_w.inputSpin, qOverload<int>(&QSpinBox::valueChanged), this,
                                    &IO_SIMULATION::InputSpinChange);
    SimulationSignalSlots();
}

void IO_SIMULATION::refreshOutputs()
{
    for (int n = 0; n < 3; ++n) {
        const bool lit = (m_outputs >> n) & 1;
        m_w.outputButtons[size_t(n)]->setIcon(QIcon(Lamps::outputPicture(n, lit)));
        m_w.outputButtons[size_t(n)]->setChecked(lit);
    }
    disconnect(m_outputSpinConnection);
    m_w.outputSpin->setValue(int(m_outputs));
    m_outputSpinConnection = connect(m_w.outputSpin, qOverload<int>(&QSpinBox::valueChanged), this,
                                     &IO_SIMULATION::OutputSpinChange);
    SimulationSignalSlots();
}

void IO_SIMULATION::InputButton1Slots() { inputButton(0); }
void IO_SIMULATION::InputButton2Slots() { inputButton(1); }
void IO_SIMULATION::InputButton3Slots() { inputButton(2); }
void IO_SIMULATION::InputButton4Slots() { inputButton(3); }
void IO_SIMULATION::InputButton5Slots() { inputButton(4); }
void IO_SIMULATION::InputButton6Slots() { inputButton(5); }
void IO_SIMULATION::OutputButton1Slots() { outputButton(0); }
void IO_SIMULATION::OutputButton2Slots() { outputButton(1); }
void IO_SIMULATION::OutputButton3Slots() { outputButton(2); }

void IO_SIMULATION::FaultButtonSlots()
{
    const bool on = m_w.faultButton->isChecked();
    m_fault = on ? 1 : 0;
    m_w.faultButton->setIcon(QIcon(on ? QStringLiteral(":/images/GreenFault.png")
                                      : QStringLiteral(":/images/GrayFault.png")));
    SimulationSignalSlots();
}

void IO_SIMULATION::InputSpinChange(int Num)
{
    m_inputs = unsigned(Num);
    refreshInputs();
}

void IO_SIMULATION::OutputSpinChange(int Num)
{
    m_outputs = unsigned(Num);
    refreshOutputs();
}

void IO_SIMULATION::DgreeSpinBoxSlots(int Num)
{
    m_store->simulation.steeringAngle = Num;
    m_w.degreeSlider->setValue(Num);
}

void IO_SIMULATION::DgreeSliderSlots(int Num)
{
    m_store->simulation.steeringAngle = Num;
    m_w.degreeSpin->setValue(Num);
}

void IO_SIMULATION::SpeedSpinBoxSlots(int Num)
{
    m_store->simulation.vehicleSpeed = Num;
    m_w.speedSlider->setValue(Num);
}

void IO_SIMULATION::SpeedSliderSlots(int Num)
{
    m_store->simulation.vehicleSpeed = Num;
    m_w.speedSpin->setValue(Num);
}

void IO_SIMULATION::OptionModeSlots(int Num)
{
    m_store->simulation.operationMode = Num;
}
