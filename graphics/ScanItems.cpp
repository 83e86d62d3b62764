#include "ScanItems.h"

#include "ScanRecord.h"

#include <QPainter>
#include <QtMath>
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
        poly.reserve(int(values.size()) + 2);
        poly << QPoint(0, 0);
        for (int i = 0; i < int(values.size()); ++i) {
            const float phi = float((0.5 * i + 110) * M_PI / 180.0);
            const double v = values[size_t(i)];
            poly << QPoint(int(v * qFastCos(phi)), int(v * qFastSin(phi)));
        }
        poly << QPoint(0, 0);
    } else if (scan.connectionType == 1) {
        const auto &ring = intensity ? scan.intensityRing : scan.distanceRing;
        const int n = scan.sweepLength;
        poly.reserve(n + 2);
        poly << QPoint(0, 0);
        for (int i = 0; i < n; ++i) {
            const float phi = (320.0f / float(n) * float(n - i) + 110.0f) * 0.017453292f;
            const double v = ring[size_t(i)];
            poly << QPoint(int(v * qFastCos(phi)), int(v * qFastSin(phi)));
        }
        poly << QPoint(0, 0);
    }
    return poly;
}

void ScanItem::rebuild()
{
    m_full = buildPolygon(*m_scan, m_intensity);
    m_thinnedFor = 0;
    rethin();
}

void ScanItem::rethin()
{
    const double s = m_scale ? *m_scale : 1.0;
    if (s == m_thinnedFor && !m_drawn.isEmpty())
        return;
    m_thinnedFor = s;
    // Steps whose vertices land in the same screen pixel as the previous
    // kept one add nothing to the picture.
    m_drawn.clear();
    m_drawn.reserve(m_full.size());
    long long lastX = LLONG_MIN, lastY = LLONG_MIN;
    for (int i = 0; i < m_full.size(); ++i) {
        const QPoint &p = m_full[i];
        const long long px = (long long)std::floor(p.x() * s);
        const long long py = (long long)std::floor(p.y() * s);
        const bool last = i == m_full.size() - 1;
        if (px == lastX && py == lastY && !last)
            continue;
        m_drawn << p;
        lastX = px;
        lastY = py;
    }
}

void ScanItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const double s = m_scale && *m_scale > 0 ? *m_scale : 1.0;
    if (m_thinning && s != m_thinnedFor)
        rethin();
    const QPolygon &poly = m_thinning ? m_drawn : m_full;
    switch (m_scan->displayMode) {
    case 0: {
        painter->setPen(QPen(QBrush(Qt::gray), 1.0, Qt::SolidLine, Qt::RoundCap, Qt::BevelJoin));
        painter->setBrush(m_intensity ? QColor(0, 0, 255, 50) : QColor(0, 255, 0, 80));
        painter->drawPolygon(poly, Qt::WindingFill);
        break;
    }
    case 1:
        painter->setPen(QPen(QBrush(m_intensity ? Qt::blue : Qt::green), 2.0 / s, Qt::SolidLine,
                             Qt::SquareCap, Qt::BevelJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPoints(poly);
        break;
    case 2:
        painter->setPen(QPen(QBrush(m_intensity ? Qt::blue : Qt::green), 2.0 / s, Qt::SolidLine,
                             Qt::SquareCap, Qt::BevelJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPolygon(poly, Qt::OddEvenFill);
        break;
    default:
        break;
    }
}
