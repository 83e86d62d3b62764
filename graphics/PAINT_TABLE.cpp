#include "graphics/PAINT_TABLE.h"

#include "core/zones/ZoneStore.h"
#include "graphics/ZonePainter.h"

#include <QPainter>

PAINT_TABLE::PAINT_TABLE(int areaIndex, ZoneStore *store, QWidget *parent)
    : QWidget(parent), m_area(areaIndex), m_store(store)
{
    setGeometry(0, 0, 40, 100);
}

void PAINT_TABLE::paintEvent(QPaintEvent *)
{
    if (m_area < 0 || m_area >= kAreaCount)
        return;
    const AreaRecord &area = m_store->areas[m_area];
    const float r = ZoneGeometry::farthestRadius(area);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen axis(QColor(128, 128, 128, 128));
    axis.setStyle(Qt::DotLine);
    painter.setPen(axis);
    const int w = width();
    const int h = height();
    painter.translate(w / 2, h / 2);
    painter.drawLine(QPointF(-w / 2.0, 0), QPointF(w / 2.0, 0));
    painter.drawLine(QPointF(0, -h / 2.0), QPointF(0, h / 2.0));
    // No point away from the origin: nothing to scale to, the axes say it.
    if (!(r > 0))
        return;
    painter.scale(50.0 / r, 50.0 / r);

    if (area != m_builtFrom || m_builtSpan[0] != m_store->sceneWidth
        || m_builtSpan[1] != m_store->sceneHeight) {
        m_outlines =
            ZoneGeometry::buildAreaOutlines(area, m_store->sceneWidth, m_store->sceneHeight);
        m_builtFrom = area;
        m_builtSpan[0] = m_store->sceneWidth;
        m_builtSpan[1] = m_store->sceneHeight;
    }
    const auto &outlines = m_outlines;
    for (int c = 0; c < kOutputCount; ++c) {
        int alpha = 200;
        // The dependent Out3 stands out only while Out3 is being edited.
        if (c == 2 && area.shape[2] >= ShapeStraight && area.shape[2] <= ShapeRatio
            && m_store->currentChannel != 2)
            alpha = 125;
        ZonePainter::paint(&painter, outlines[c], ZonePainter::zoneColor(c, alpha));
    }
}
