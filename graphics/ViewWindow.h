#pragma once

#include <QGraphicsView>
#include <QList>
#include <QPainterPath>

struct DEVICETYPE;
class QGraphicsItem;

// The central drawing area: shows the scene with the zones and the live
// scan over a metric grid with range rings, axes and the shaded region the
// sensor cannot see, owns zooming and panning, and turns mouse and keyboard
// actions on point handles into signals.
//
// Scene coordinates are millimetres with the sensor at the origin; scene y
// is the sensor's -Y, so forward is up.
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
    QGraphicsItem *currentItem() const { return m_currentItem; }

    // Clamps the zoom level and applies it.
    void ApplyZoom();
    void SetDeviceType(DEVICETYPE *type);

    // The grid, ring and label steps for a scale factor.
    static int gridStep(double scale);
    static int labelStep(double scale);
    // The first multiple of step at or just towards zero from v.
    static int gridStart(double v, int step);

    // Drawing passes, public so that pictures can be rendered off screen
    // with the view's own code.
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

public Q_SLOTS:
    void ZoomInButtonSlots();
    void ZoomOutButtonSlots();
    void ChangeSetupMatrix(int level);
    // The pressed handle no longer exists.
    void forgetCurrentItem() { m_currentItem = nullptr; }

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
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void emitScalePos();
    QRectF visibleBounds() const;
    const QPainterPath &blindRegion(const QRectF &bounds);

    QList<QGraphicsItem *> m_background;
    int m_zoomLevel = 70;
    double m_scale = 1.0;
    int m_sceneSpan[2] = {0, 0};
    DEVICETYPE *m_deviceType = nullptr;
    QGraphicsItem *m_currentItem = nullptr;
    QPainterPath m_blind;
    int m_blindSpan = -1;
    QPainterPath m_blindSeen; // m_blind within m_blindBounds
    QRectF m_blindBounds;
};
