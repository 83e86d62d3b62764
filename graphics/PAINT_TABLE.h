#pragma once

#include "core/zones/ZoneGeometry.h"

#include <QWidget>
#include <array>

class ZoneStore;

// Thumbnail of one area's three zones for the area list: the zone items'
// drawing, scaled so that the area's farthest point lies 50 pixels from the
// centre.
class PAINT_TABLE : public QWidget
{
    Q_OBJECT
public:
    PAINT_TABLE(int areaIndex, ZoneStore *store, QWidget *parent = nullptr);

    int areaIndex() const { return m_area; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_area;
    ZoneStore *m_store;
    // The outlines last drawn and what they were built from: the list
    // repaints its thumbnails often, an area's points change seldom.
    AreaRecord m_builtFrom;
    double m_builtSpan[2] = {-1, -1};
    std::array<ZoneGeometry::Outline, kOutputCount> m_outlines;
};
