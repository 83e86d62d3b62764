#pragma once

#include <QGraphicsView>
#include <QList>

struct DEVICETYPE;
class QGraphicsItem;

// The central drawing area: shows the scene with the zones, owns zooming and
// turns mouse actions on point handles into signals.
class ViewWindow : public QGraphicsView
{
    Q_OBJECT
public:
    explicit ViewWindow(QWidget *parent = nullptr);

    static constexpr int kMaxZoomLevel = 350;

    // Items that clicks pass through (zone and live scan items).
    QList<QGraphicsItem *> *backgroundItems() { return &m_background; }

    int zoomLevel() const { return m_zoomLevel; }
    double scaleFactor() const { return m_scale; }

    // Clamps the zoom level and applies it.
    void ApplyZoom();
    void SetDeviceType(DEVICETYPE *type);

public Q_SLOTS:
    void ZoomInButtonSlots();
    void ZoomOutButtonSlots();
    void ChangeSetupMatrix(int level);

Q_SIGNALS:
    void ReleasePointItem();
    void MouseReleaseSignal();
    void AddCenterPointItem();
    void ChangeSetupMatrix(double scale);
    void CurrentCoordSignal(QPoint coord);
    void DeletePointItem(QGraphicsItem *item);
    void MovePointItem(QGraphicsItem *item);
    void ChangePaintScalePos(QPointF bottom, QPointF left);
    void ChangeMatrixSignal(int level);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void emitScalePos();

    QList<QGraphicsItem *> m_background;
    int m_zoomLevel = 70;
    double m_scale = 1.0;
    int m_sceneSpan[2] = {0, 0};
    DEVICETYPE *m_deviceType = nullptr;
    QGraphicsItem *m_currentItem = nullptr;
};
