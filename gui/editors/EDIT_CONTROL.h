#pragma once

#include <QObject>
#include <array>

class QComboBox;
class QPushButton;
class QSpinBox;
class QTabWidget;
class ZoneStore;

// Binds the per-area parameter widgets and the eighteen shape buttons to the
// current area of the zone store.
class EDIT_CONTROL : public QObject
{
    Q_OBJECT
public:
    // Buttons per output in the order Polygon, Arc, Rectangle, Straight, Fan, Ratio.
    using ShapeButtons = std::array<QPushButton *, 6>;

    EDIT_CONTROL(ZoneStore *store, QTabWidget *areaEditTab, QComboBox *openDelay,
                 QComboBox *closeDelay, QComboBox *hysteresis, QComboBox *detectionSize,
                 QSpinBox *steerMin, QSpinBox *steerMax, QSpinBox *speedMin, QSpinBox *speedMax,
                 QComboBox *optionMode, const ShapeButtons &out1, const ShapeButtons &out2,
                 const ShapeButtons &out3, QObject *parent = nullptr);

Q_SIGNALS:
    void EditControlParaChangeSignal();
    void EditControlShapeChangeSignal();

public Q_SLOTS:
    void EditControlUpdateEditData();

private Q_SLOTS:
    void OpenDelayIndexChange(int Index);
    void CloseDelayIndexChange(int Index);
    void HysteresisIndexChange(int Index);
    void CaseChannelParameterChange();
    void DetectionSizeIndexChange(int Index);
    void PolygonOut1ClickedChange();
    void PolygonOut2ClickedChange();
    void PolygonOut3ClickedChange();
    void ArcOut1ClickedChange();
    void ArcOut2ClickedChange();
    void ArcOut3ClickedChange();
    void RectangleOut1ClickedChange();
    void RectangleOut2ClickedChange();
    void RectangleOut3ClickedChange();
    void StraightOut2ClickedChange();
    void StraightOut3ClickedChange();
    void FanOut2ClickedChange();
    void FanOut3ClickedChange();
    void RatioOut2ClickedChange();
    void RatioOut3ClickedChange();
    void AreaEditTabChannel(int Index);

private:
    // One behaviour for every shape button: output 0..2, kind 0..5.
    void shapeChosen(int output, int kind);
    void setParameter(int field, int index);

    ZoneStore *m_store;
    QTabWidget *m_tab;
    QComboBox *m_openDelay;
    QComboBox *m_closeDelay;
    QComboBox *m_hysteresis;
    QComboBox *m_detectionSize;
    QSpinBox *m_steerMin;
    QSpinBox *m_steerMax;
    QSpinBox *m_speedMin;
    QSpinBox *m_speedMax;
    QComboBox *m_optionMode;
    std::array<ShapeButtons, 3> m_buttons;
};
