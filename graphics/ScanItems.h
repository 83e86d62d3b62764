#pragma once

#include <QGraphicsItem>
#include <QPolygon>
#include <QPolygonF>
#include <QTransform>

#include <cstdint>
#include <vector>

struct ScanRecord;

// The live scan drawn over the zones: the distances (PAINT_OUTLINE) or the
// intensities (PAINT_STRENGTH) of the latest scan as a polygon around the
// sensor, filled, as points or as a line. The polygon is built when a scan
// arrives and clipped to what is on screen. A graph and points are thinned
// to what the screen can show at the current zoom; a line keeps every step,
// each of which shows in the painter's picture of it, and is summed up
// through a coverage mask at the cost of the steps' outlines.
class ScanItem : public QGraphicsItem
{
public:
    ScanItem(bool intensity, double sceneWidth, double sceneHeight, ScanRecord *scan,
             double *scale);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    void setSceneSpan(double width, double height);

    // Rebuilds the polygon from the scan record (a scan arrived).
    void rebuild();
    // Clips and thins the polygon for the current scale and visible part of
    // the scene (the zoom or the view changed).
    void rethin();

    // Draw the full polygon instead of the thinned one (for comparisons).
    void setThinning(bool on) { m_thinning = on; }

    // The polygon of a scan record as the sensor frame puts it on the
    // screen: serial steps at 110 + 0.5 i degrees, Ethernet steps at
    // 320 (n - i) / n + 110 degrees, clockwise on screen.
    static QPolygon buildPolygon(const ScanRecord &scan, bool intensity);

private:
    bool m_intensity;
    double m_width;
    double m_height;
    ScanRecord *m_scan;
    double *m_scale;
    QPolygon m_full;
    struct {
        int connection = -1;
        std::vector<std::uint16_t> values;
    } m_builtFrom; // what m_full was built from
    QPolygonF m_drawn;
    QVector<int> m_repeats; // Cloud: the steps each point of m_drawn stands for
    double m_thinnedFor = 0;
    int m_thinnedMode = -1;
    QTransform m_device;        // scene to device at the last paint
    QTransform m_thinnedDevice;
    QRect m_visible;   // scene rectangle on screen; invalid before the first paint
    QRect m_clippedTo;
    bool m_thinning = true;
};

class PAINT_OUTLINE : public ScanItem
{
public:
    PAINT_OUTLINE(double sceneWidth, double sceneHeight, ScanRecord *scan, double *scale)
        : ScanItem(false, sceneWidth, sceneHeight, scan, scale)
    {
    }
};

class PAINT_STRENGTH : public ScanItem
{
public:
    PAINT_STRENGTH(double sceneWidth, double sceneHeight, ScanRecord *scan, double *scale)
        : ScanItem(true, sceneWidth, sceneHeight, scan, scale)
    {
    }
};
