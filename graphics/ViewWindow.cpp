#include "graphics/ViewWindow.h"

#include "core/zones/DeviceType.h"

#include <QGraphicsItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

ViewWindow::ViewWindow(QWidget *parent) : QGraphicsView(parent)
{
    ApplyZoom();
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setRenderHint(QPainter::Antialiasing, false);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setOptimizationFlag(QGraphicsView::DontSavePainterState);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setMouseTracking(true);
    // The zone outlines cover the whole scene and follow a dragged handle:
    // the raster viewport repaints all of itself on every change.
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
}

// ---------------------------------------------------------------- zoom

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

void ViewWindow::wheelEvent(QWheelEvent *event)
{
    // The delta of the dominant axis, so that a sideways wheel zooms too:
    // x only when it outweighs y.
    const QPoint a = event->angleDelta();
    const int delta = qAbs(a.x()) > qAbs(a.y()) ? a.x() : a.y();
    m_zoomLevel += delta < 1 ? -10 : 10;
    ApplyZoom();
    emitScalePos();
    Q_EMIT ChangeMatrixSignal(m_zoomLevel);
    event->accept();
}

// ---------------------------------------------------------------- mouse and keys

void ViewWindow::keyPressEvent(QKeyEvent *event)
{
    // Only Delete is taken; arrow keys do not scroll.
    if (event->key() == Qt::Key_Delete && m_currentItem)
        Q_EMIT DeletePointItem(m_currentItem);
}

void ViewWindow::mousePressEvent(QMouseEvent *event)
{
    QGraphicsItem *under = itemAt(event->pos());
    if (under && m_background.contains(under)) {
        // A press on a zone or the scan pans the view by hand instead.
        setInteractive(false);
        m_currentItem = nullptr;
    } else {
        m_currentItem = under;
    }
    if (event->button() == Qt::RightButton && m_currentItem)
        Q_EMIT DeletePointItem(m_currentItem);
    QGraphicsView::mousePressEvent(event);
}

void ViewWindow::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton) && m_currentItem)
        Q_EMIT MovePointItem(m_currentItem);
    emitScalePos();
    const QPointF p = mapToScene(event->pos());
    Q_EMIT CurrentCoordSignal(QPoint(qRound(p.x()), qRound(p.y())));
    QGraphicsView::mouseMoveEvent(event);
}

void ViewWindow::mouseReleaseEvent(QMouseEvent *event)
{
    setInteractive(true);
    QGraphicsItem *atOrigin = itemAt(mapFromScene(QPointF(0, 0)));
    if (atOrigin && m_background.contains(atOrigin))
        Q_EMIT AddCenterPointItem();
    if (m_currentItem) {
        // The final position first: the undo snapshot must hold what was
        // released, not the move before it.
        Q_EMIT MovePointItem(m_currentItem);
        Q_EMIT ReleasePointItem();
    }
    Q_EMIT MouseReleaseSignal();
    QGraphicsView::mouseReleaseEvent(event);
}

// ---------------------------------------------------------------- drawing

int ViewWindow::gridStep(double s)
{
    if (s > 3.5)
        return 10;
    if (s > 0.378929)
        return 100;
    if (s > 0.0544094)
        return 1000;
    return 10000;
}

int ViewWindow::labelStep(double s)
{
    return s > 3.5 ? 50 : gridStep(s);
}

int ViewWindow::gridStart(double v, int step)
{
    // C's remainder takes the sign of v.
    const long long t = (long long)v;
    return int((long long)(v - double(t % step)));
}

QRectF ViewWindow::visibleBounds() const
{
    const QPointF topLeft = mapToScene(QPoint(0, 0));
    const QPointF bottomRight = mapToScene(QPoint(viewport()->width(), viewport()->height()));
    return QRectF(topLeft, bottomRight);
}

// The blind region within bounds. It spans the whole scene, and Qt 6's
// rasteriser walks all of a path however far beyond the picture it reaches
// (zoomed in, the whole region took 9 ms to fill, the part in view 0.1 ms).
const QPainterPath &ViewWindow::blindRegion(const QRectF &bounds)
{
    const int span = m_sceneSpan[0];
    if (span != m_blindSpan) {
        QPainterPath seen;
        seen.moveTo(0, 0);
        seen.arcTo(QRectF(-span / 2.0, -span / 2.0, span, span), -70, 320);
        seen.closeSubpath();
        QPainterPath all;
        all.addRect(QRectF(-span / 2.0, -span / 2.0, span, span));
        m_blind = all.subtracted(seen);
        m_blindSpan = span;
        m_blindBounds = QRectF();
    }
    if (bounds != m_blindBounds) {
        QPainterPath window;
        window.addRect(bounds);
        m_blindSeen = m_blind.intersected(window);
        m_blindBounds = bounds;
    }
    return m_blindSeen;
}

void ViewWindow::drawBackground(QPainter *painter, const QRectF &rect)
{
    const double s = m_scale;
    const int step = gridStep(s);
    const QRectF b = visibleBounds();
    const double left = b.left(), right = b.right(), top = b.top(), bottom = b.bottom();

    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(Qt::gray, int(1.2 / s)));
    for (double x = gridStart(left, step); x <= right; x += step)
        painter->drawLine(QLine(int(x), int(top), int(x), int(bottom)));
    for (double y = gridStart(top, step); y <= bottom; y += step)
        painter->drawLine(QLine(int(left), int(y), int(right), int(y)));

    // Rings, only those that can be seen.
    const auto snapped = [step](double d) { return int(d - double((long long)d % step)); };
    const auto dist = [](double x, double y) { return std::sqrt(x * x + y * y); };
    const double l0 = gridStart(left, step), t0 = gridStart(top, step);
    const int corner[4] = {snapped(dist(l0, t0)), snapped(dist(right, bottom)),
                           snapped(dist(right, top)), snapped(dist(left, bottom))};
    const int rmax = *std::max_element(corner, corner + 4);
    int rmin;
    const int span = m_sceneSpan[0];
    if (rect.contains(QPointF(0, 0))) {
        rmin = 0;
    } else if (rect.intersects(QRectF(-span / 2.0, 0, span, 1))) {
        rmin = std::abs(snapped(std::fabs(left) < std::fabs(right) ? left : right));
    } else if (rect.intersects(QRectF(0, -span / 2.0, 1, span))) {
        rmin = std::abs(snapped(std::fabs(top) < std::fabs(bottom) ? top : bottom));
    } else {
        rmin = *std::min_element(corner, corner + 4);
    }
    for (int r = rmax; r >= rmin; r -= step)
        painter->drawEllipse(QRect(-r, -r, 2 * r, 2 * r));

    painter->setPen(QPen(Qt::black, int(2.0 / s)));
    painter->drawLine(QLine(0, int(top), 0, int(bottom)));
    painter->drawLine(QLine(int(left), 0, int(right), 0));

    // Cut a few pixels beyond the view, so the cut never shows.
    const double margin = 4 / s;
    painter->fillPath(blindRegion(b.adjusted(-margin, -margin, margin, margin)),
                      QColor(125, 125, 125, 125));
}

void ViewWindow::drawForeground(QPainter *painter, const QRectF &)
{
    const double s = m_scale;
    const int step = labelStep(s);
    const QRectF b = visibleBounds();
    painter->setPen(Qt::black);
    QFont font(QStringLiteral("Times"));
    font.setPointSize(qMax(1, int(10 / s)));
    font.setWeight(QFont::Black);
    font.setItalic(false);
    // Fully hinted, the labels come out pixel for pixel the same from Qt 5
    // and Qt 6; with the default (vertical) hinting each rasterises them a
    // little differently.
    font.setHintingPreference(QFont::PreferFullHinting);
    painter->setFont(font);
    const double yb = mapToScene(QPoint(0, viewport()->height() - 25)).y();
    for (double x = gridStart(b.left(), step); x <= b.right(); x += step)
        painter->drawText(QPoint(int(x), int(yb)), QString::number(x / 1000.0, 'g', 6));
    for (double y = gridStart(b.top(), step); y <= b.bottom(); y += step)
        painter->drawText(QPoint(int(b.left()), int(y)), QString::number(y / 1000.0, 'g', 6));
}
