#include "graphics/ScanItems.h"

#include "core/link/ScanRecord.h"
#include "core/zones/OutlineClip.h"
#include "graphics/ScreenDrawing.h"

#include <QPainter>
#include <QtMath>
#include <algorithm>
#include <cmath>

ScanItem::ScanItem(bool intensity, double sceneWidth, double sceneHeight, ScanRecord *scan,
                   double *scale)
    : m_intensity(intensity), m_width(sceneWidth), m_height(sceneHeight), m_scan(scan), m_scale(scale)
{
    setZValue(intensity ? 5 : 6);
    setFlag(QGraphicsItem::ItemIsSelectable);
    rebuild();
}

QRectF ScanItem::boundingRect() const
{
    return QRectF(-m_width / 2, -m_height / 2, m_width, m_height);
}

QPainterPath ScanItem::shape() const
{
    QPainterPath p;
    p.addRect(boundingRect());
    return p;
}

void ScanItem::setSceneSpan(double width, double height)
{
    prepareGeometryChange();
    m_width = width;
    m_height = height;
}

QPolygon ScanItem::buildPolygon(const ScanRecord &scan, bool intensity)
{
    QPolygon poly;
    if (scan.connectionType == 0) {
        const auto &values = intensity ? scan.serialIntensities : scan.serialDistances;
        const int n = int(values.size());
        poly.resize(n + 2);
        QPoint *out = poly.data();
        out[0] = out[n + 1] = QPoint(0, 0);
        for (int i = 0; i < n; ++i) {
            const float phi = float((0.5 * i + 110) * M_PI / 180.0);
            const double v = values[size_t(i)];
            out[i + 1] = QPoint(int(v * qFastCos(phi)), int(v * qFastSin(phi)));
        }
    } else if (scan.connectionType == 1) {
        const auto &ring = intensity ? scan.intensityRing : scan.distanceRing;
        const int n = qBound(0, scan.sweepLength, int(ring.size()));
        poly.resize(n + 2);
        QPoint *out = poly.data();
        out[0] = out[n + 1] = QPoint(0, 0);
        for (int i = 0; i < n; ++i) {
            const float phi = (320.0f / float(n) * float(n - i) + 110.0f) * 0.017453292f;
            const double v = ring[size_t(i)];
            out[i + 1] = QPoint(int(v * qFastCos(phi)), int(v * qFastSin(phi)));
        }
    }
    return poly;
}

void ScanItem::rebuild()
{
    // Edits of the design ask for the scan too: one that has not changed
    // since is not built again.
    const ScanRecord &s = *m_scan;
    const std::uint16_t *values;
    int count;
    if (s.connectionType == 0) {
        values = (m_intensity ? s.serialIntensities : s.serialDistances).data();
        count = ScanRecord::kSerialPoints;
    } else {
        values = (m_intensity ? s.intensityRing : s.distanceRing).data();
        count = s.connectionType == 1 ? qBound(0, s.sweepLength, ScanRecord::kRingSize) : 0;
    }
    if (m_builtFrom.connection == s.connectionType && m_builtFrom.values.size() == size_t(count) &&
        std::equal(values, values + count, m_builtFrom.values.begin()))
        return;
    m_builtFrom.connection = s.connectionType;
    m_builtFrom.values.assign(values, values + count);
    m_full = buildPolygon(*m_scan, m_intensity);
    m_thinnedFor = 0;
    rethin();
}

void ScanItem::rethin()
{
    const double s = m_device.isIdentity() ? (m_scale ? *m_scale : 1.0) : m_device.m11();
    if (m_device == m_thinnedDevice && m_thinnedFor == s && m_clippedTo == m_visible
        && m_thinnedMode == m_scan->displayMode && !m_drawn.isEmpty())
        return;
    m_thinnedFor = s;
    m_thinnedDevice = m_device;
    m_clippedTo = m_visible;
    // Only what can be seen, with a margin of a few pixels so that the
    // edges the clipping adds stay off screen.
    const double margin = 4 / s + 1;
    const QPolygonF source =
        m_visible.isValid() && m_full.size() > 2
            ? OutlineClip::clipRing(QPolygonF(m_full),
                                      QRectF(m_visible).adjusted(-margin, -margin, margin, margin))
            : QPolygonF(m_full);
    // What the screen cannot tell apart is dropped. A filled graph loses
    // nothing visible when steps within a pixel and a half of the last one
    // kept (measurement jitter) are left out; points show that jitter as a
    // band, so there only steps in the same quarter pixel are merged. A
    // line keeps every step: thousands of millimetre steps to a pixel each
    // stroke the way they point and add up at the line's edges, which no
    // fewer steps draw alike.
    m_thinnedMode = m_scan->displayMode;
    m_drawn.clear();
    m_repeats.clear();
    if (m_thinnedMode == 2) {
        m_drawn = source;
    } else if (m_thinnedMode == 0) {
        m_drawn.reserve(source.size());
        double lastX = 1e300, lastY = 1e300;
        const double limit = 1.5 / s;
        for (int i = 0; i < source.size(); ++i) {
            const QPointF &p = source[i];
            const bool last = i == source.size() - 1;
            if (!last && std::fabs(p.x() - lastX) < limit && std::fabs(p.y() - lastY) < limit)
                continue;
            m_drawn << p;
            lastX = p.x();
            lastY = p.y();
        }
    } else {
        // Antialiased two-pixel points depend on where within a pixel they
        // fall: steps within the same quarter pixel draw alike. Points blend
        // over one another, so a dot keeps how many it stands for.
        m_drawn.reserve(source.size());
        long long lastX = LLONG_MIN, lastY = LLONG_MIN;
        // The view only scales and moves: mapped here without a call per
        // step.
        const QTransform &t = m_device;
        const bool affine = t.type() <= QTransform::TxShear;
        for (int i = 0; i < source.size(); ++i) {
            const QPointF &p = source[i];
            const QPointF d = affine ? QPointF(t.m11() * p.x() + t.m21() * p.y() + t.dx(),
                                               t.m12() * p.x() + t.m22() * p.y() + t.dy())
                                     : t.map(p);
            const long long px = (long long)std::floor(d.x() * 4 + 0.5);
            const long long py = (long long)std::floor(d.y() * 4 + 0.5);
            const bool last = i == source.size() - 1;
            if (!last && px == lastX && py == lastY) {
                if (!m_repeats.isEmpty())
                    ++m_repeats.last();
                continue;
            }
            m_drawn << p;
            m_repeats << 1;
            lastX = px;
            lastY = py;
        }
    }
}

void ScanItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // The part of the scene on the device and where it lands: zooming and
    // panning change them.
    const QTransform world = painter->worldTransform();
    const QRect visible = world.inverted().mapRect(QRectF(painter->viewport())).toAlignedRect();
    // What the screen can tell apart is a device pixel: on a high-density
    // screen there are more of them to a pixel.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QTransform device = ratio == 1.0 ? world : world * QTransform::fromScale(ratio, ratio);
    if (m_thinning && (device != m_thinnedDevice || visible != m_visible
                       || m_thinnedMode != m_scan->displayMode)) {
        m_visible = visible;
        m_device = device;
        rethin();
    }
    const QPolygonF poly = m_thinning ? m_drawn : QPolygonF(m_full);
    // A sweep that stays crowded after thinning (a noisy one, where every
    // step jumps far from the last) is drawn the bounded way; its steps fan
    // out from the sensor.
    const bool large = m_thinning && poly.size() > ScreenDrawing::kDirectLimit;
    switch (m_scan->displayMode) {
    case 0: {
        const QPen pen(QBrush(Qt::gray), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin);
        const QColor fill = m_intensity ? QColor(0, 0, 255, 50) : QColor(0, 255, 0, 80);
        if (large) {
            ScreenDrawing::drawRings(painter, {poly}, Qt::WindingFill, fill, pen, QPointF(0, 0));
            break;
        }
        painter->setPen(pen);
        painter->setBrush(fill);
        painter->drawPolygon(poly, Qt::WindingFill);
        break;
    }
    case 1:
    case 2: {
        // 2.0 / s scene units are two pixels at every zoom: the same width
        // as a two-pixel cosmetic pen, which the painter strokes far faster.
        QPen pen(QBrush(m_intensity ? Qt::blue : Qt::green), 2.0, Qt::SolidLine, Qt::SquareCap,
                 Qt::BevelJoin);
        pen.setCosmetic(true);
        // Thousands of marks crowding the same pixels: built up in a
        // coverage mask, at the cost of their own pixels.
        if (large && ScreenDrawing::canDrawMarks(painter)) {
            if (m_scan->displayMode == 1)
                ScreenDrawing::drawDots(painter, poly, m_repeats, pen);
            else
                ScreenDrawing::drawOutline(painter, poly, pen);
            break;
        }
        if (large && m_scan->displayMode == 2) {
            ScreenDrawing::drawRings(painter, {poly}, Qt::OddEvenFill, Qt::NoBrush, pen,
                                     QPointF(0, 0));
            break;
        }
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        if (m_scan->displayMode == 1)
            painter->drawPoints(poly);
        else
            painter->drawPolygon(poly, Qt::OddEvenFill);
        break;
    }
    default:
        break;
    }
}
