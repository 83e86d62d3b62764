#include "ViewWindow.h"

#include "DeviceType.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

ViewWindow::ViewWindow(QWidget *parent) : QGraphicsView(parent)
{
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setMouseTracking(true);
}

void ViewWindow::ApplyZoom()
{
    if (m_zoomLevel > kMaxZoomLevel)
        m_zoomLevel = kMaxZoomLevel;
    if (m_deviceType) {
        if (const DeviceModelInfo *m = deviceModelInfo(m_deviceType->type))
            if (m_zoomLevel < m->zoomMinimum)
                m_zoomLevel = m->zoomMinimum;
    }
    m_scale = std::pow(2.0, (m_zoomLevel - 250) / 50.0);
    setTransform(QTransform::fromScale(m_scale, m_scale));
    Q_EMIT ChangeSetupMatrix(m_scale);
}

void ViewWindow::SetDeviceType(DEVICETYPE *type)
{
    m_deviceType = type;
    if (const DeviceModelInfo *m = deviceModelInfo(type ? type->type : -1)) {
        m_sceneSpan[0] = m_sceneSpan[1] = int(m->sceneSpan);
        m_zoomLevel = m->zoomMinimum;
    }
    ApplyZoom();
}

void ViewWindow::ZoomInButtonSlots()
{
    ++m_zoomLevel;
    ApplyZoom();
    Q_EMIT ChangeMatrixSignal(m_zoomLevel);
}

void ViewWindow::ZoomOutButtonSlots()
{
    --m_zoomLevel;
    ApplyZoom();
    Q_EMIT ChangeMatrixSignal(m_zoomLevel);
}

void ViewWindow::ChangeSetupMatrix(int level)
{
    m_zoomLevel = level;
    ApplyZoom();
    emitScalePos();
}

void ViewWindow::emitScalePos()
{
    const QPointF origin = mapToScene(mapFromScene(QPointF(0, 0)));
    const QPointF corner = mapToScene(QPoint(0, 0));
    const QPointF bottom = mapToScene(QPoint(0, viewport()->height() - 18));
    Q_EMIT ChangePaintScalePos(QPointF(origin.x(), bottom.y()), QPointF(corner.x(), origin.y()));
}

void ViewWindow::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = mapToScene(event->pos());
    Q_EMIT CurrentCoordSignal(QPoint(qRound(p.x()), qRound(p.y())));
    emitScalePos();
    QGraphicsView::mouseMoveEvent(event);
}

void ViewWindow::wheelEvent(QWheelEvent *event)
{
    m_zoomLevel += event->angleDelta().y() < 1 ? -10 : 10;
    ApplyZoom();
    emitScalePos();
    Q_EMIT ChangeMatrixSignal(m_zoomLevel);
    event->accept();
}
