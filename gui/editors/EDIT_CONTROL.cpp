#include "gui/editors/EDIT_CONTROL.h"

#include "core/zones/ZoneStore.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

EDIT_CONTROL::EDIT_CONTROL(ZoneStore *store, QTabWidget *areaEditTab, QComboBox *openDelay,
                           QComboBox *closeDelay, QComboBox *hysteresis,
                           QComboBox *detectionSize, QSpinBox *steerMin, QSpinBox *steerMax,
                           QSpinBox *speedMin, QSpinBox *speedMax, QComboBox *optionMode,
                           const ShapeButtons &out1, const ShapeButtons &out2,
                           const ShapeButtons &out3, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_tab(areaEditTab)
    , m_openDelay(openDelay)
    , m_closeDelay(closeDelay)
    , m_hysteresis(hysteresis)
    , m_detectionSize(detectionSize)
    , m_steerMin(steerMin)
    , m_steerMax(steerMax)
    , m_speedMin(speedMin)
    , m_speedMax(speedMax)
    , m_optionMode(optionMode)
    , m_buttons{out1, out2, out3}
{
    m_steerMin->setRange(-180, 180);
    m_steerMax->setRange(-180, 180);
    m_speedMin->setRange(-300, 300);
    m_speedMax->setRange(-300, 300);

    for (const ShapeButtons &row : m_buttons)
        for (QPushButton *b : row)
            b->setCheckable(true);
    for (const ShapeButtons &row : m_buttons)
        row[ShapePolygon]->setChecked(true);

    // Out1 has no output above it to derive from; Ratio reaches Out2 and
    // Out3 only from a file or the sensor.
    for (int k : {ShapeStraight, ShapeFan, ShapeRatio})
        m_buttons[0][k]->setEnabled(false);
    m_buttons[1][ShapeRatio]->setEnabled(false);
    m_buttons[2][ShapeRatio]->setEnabled(false);

    AreaRecord &a = m_store->currentRecord();
    for (int &k : a.shape)
        k = ShapePolygon;

    connect(m_openDelay, qOverload<int>(&QComboBox::activated), this,
            &EDIT_CONTROL::OpenDelayIndexChange);
    connect(m_closeDelay, qOverload<int>(&QComboBox::activated), this,
            &EDIT_CONTROL::CloseDelayIndexChange);
    connect(m_hysteresis, qOverload<int>(&QComboBox::activated), this,
            &EDIT_CONTROL::HysteresisIndexChange);
    connect(m_detectionSize, qOverload<int>(&QComboBox::activated), this,
            &EDIT_CONTROL::DetectionSizeIndexChange);
    for (QSpinBox *s : {m_steerMin, m_steerMax, m_speedMin, m_speedMax})
        connect(s, &QSpinBox::editingFinished, this, &EDIT_CONTROL::CaseChannelParameterChange);
    connect(m_optionMode, qOverload<int>(&QComboBox::activated), this,
            &EDIT_CONTROL::CaseChannelParameterChange);

    using Slot = void (EDIT_CONTROL::*)();
    const Slot handlers[3][6] = {
        {&EDIT_CONTROL::PolygonOut1ClickedChange, &EDIT_CONTROL::ArcOut1ClickedChange,
         &EDIT_CONTROL::RectangleOut1ClickedChange, nullptr, nullptr, nullptr},
        {&EDIT_CONTROL::PolygonOut2ClickedChange, &EDIT_CONTROL::ArcOut2ClickedChange,
         &EDIT_CONTROL::RectangleOut2ClickedChange, &EDIT_CONTROL::StraightOut2ClickedChange,
         &EDIT_CONTROL::FanOut2ClickedChange, &EDIT_CONTROL::RatioOut2ClickedChange},
        {&EDIT_CONTROL::PolygonOut3ClickedChange, &EDIT_CONTROL::ArcOut3ClickedChange,
         &EDIT_CONTROL::RectangleOut3ClickedChange, &EDIT_CONTROL::StraightOut3ClickedChange,
         &EDIT_CONTROL::FanOut3ClickedChange, &EDIT_CONTROL::RatioOut3ClickedChange},
    };
    for (int n = 0; n < 3; ++n)
        for (int k = 0; k < 6; ++k)
            if (handlers[n][k])
                connect(m_buttons[n][k], &QPushButton::clicked, this, handlers[n][k]);

    // Whichever way the tab changes (a click, the keyboard), the edited
    // output follows what the user sees.
    connect(m_tab, &QTabWidget::currentChanged, this, &EDIT_CONTROL::AreaEditTabChannel);
}

void EDIT_CONTROL::setParameter(int field, int index)
{
    m_store->currentRecord().setIntField(field, index);
    Q_EMIT EditControlParaChangeSignal();
}

void EDIT_CONTROL::OpenDelayIndexChange(int Index) { setParameter(0, Index); }
void EDIT_CONTROL::CloseDelayIndexChange(int Index) { setParameter(1, Index); }
void EDIT_CONTROL::HysteresisIndexChange(int Index) { setParameter(2, Index); }
void EDIT_CONTROL::DetectionSizeIndexChange(int Index) { setParameter(3, Index); }

void EDIT_CONTROL::CaseChannelParameterChange()
{
    AreaRecord &a = m_store->currentRecord();
    a.steerMin = m_steerMin->value();
    a.steerMax = m_steerMax->value();
    a.speedMin = m_speedMin->value();
    a.speedMax = m_speedMax->value();
    a.operationMode = m_optionMode->currentIndex();
    Q_EMIT EditControlParaChangeSignal();
}

void EDIT_CONTROL::shapeChosen(int output, int kind)
{
    for (int k = 0; k < 6; ++k)
        m_buttons[output][k]->setChecked(k == kind);
    AreaRecord &a = m_store->currentRecord();
    if (a.shape[output] == kind)
        return;
    QVector<QPoint> &list = a.points[output];
    switch (kind) {
    case ShapePolygon:
        break; // the existing points become the vertices
    case ShapeArc:
        list = {QPoint(20, 0), QPoint(20, 0)};
        break;
    case ShapeRectangle:
        list = {QPoint(20, 0), QPoint(20, 0), QPoint(20, 0), QPoint(20, 0)};
        break;
    default:
        list = {QPoint(0, 20)};
        break;
    }
    a.shape[output] = kind;
    Q_EMIT EditControlShapeChangeSignal();
}

void EDIT_CONTROL::PolygonOut1ClickedChange() { shapeChosen(0, ShapePolygon); }
void EDIT_CONTROL::PolygonOut2ClickedChange() { shapeChosen(1, ShapePolygon); }
void EDIT_CONTROL::PolygonOut3ClickedChange() { shapeChosen(2, ShapePolygon); }
void EDIT_CONTROL::ArcOut1ClickedChange() { shapeChosen(0, ShapeArc); }
void EDIT_CONTROL::ArcOut2ClickedChange() { shapeChosen(1, ShapeArc); }
void EDIT_CONTROL::ArcOut3ClickedChange() { shapeChosen(2, ShapeArc); }
void EDIT_CONTROL::RectangleOut1ClickedChange() { shapeChosen(0, ShapeRectangle); }
void EDIT_CONTROL::RectangleOut2ClickedChange() { shapeChosen(1, ShapeRectangle); }
void EDIT_CONTROL::RectangleOut3ClickedChange() { shapeChosen(2, ShapeRectangle); }
void EDIT_CONTROL::StraightOut2ClickedChange() { shapeChosen(1, ShapeStraight); }
void EDIT_CONTROL::StraightOut3ClickedChange() { shapeChosen(2, ShapeStraight); }
void EDIT_CONTROL::FanOut2ClickedChange() { shapeChosen(1, ShapeFan); }
void EDIT_CONTROL::FanOut3ClickedChange() { shapeChosen(2, ShapeFan); }
void EDIT_CONTROL::RatioOut2ClickedChange() { shapeChosen(1, ShapeRatio); }
void EDIT_CONTROL::RatioOut3ClickedChange() { shapeChosen(2, ShapeRatio); }

void EDIT_CONTROL::AreaEditTabChannel(int Index)
{
    if (Index >= 0 && Index <= 2)
        m_store->currentChannel = Index;
}

void EDIT_CONTROL::EditControlUpdateEditData()
{
    const AreaRecord &a = m_store->currentRecord();
    m_openDelay->setCurrentIndex(a.openDelay);
    m_closeDelay->setCurrentIndex(a.closeDelay);
    m_hysteresis->setCurrentIndex(a.hysteresis);
    m_detectionSize->setCurrentIndex(a.detectionSize);
    m_steerMin->setValue(a.steerMin);
    m_steerMax->setValue(a.steerMax);
    m_speedMin->setValue(a.speedMin);
    m_speedMax->setValue(a.speedMax);
    m_optionMode->setCurrentIndex(a.operationMode);
    // The record already holds the kinds: these only set the check marks.
    if (a.shape[0] >= ShapePolygon && a.shape[0] <= ShapeRectangle)
        shapeChosen(0, a.shape[0]);
    for (int n = 1; n < 3; ++n)
        if (a.shape[n] >= ShapePolygon && a.shape[n] <= ShapeRatio)
            shapeChosen(n, a.shape[n]);
}
