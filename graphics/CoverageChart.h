#pragma once

#include "core/sensor/CaseSelection.h"

#include <QColor>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

// The case-coverage chart: for one operation mode, which area the sensor
// applies at each steering angle (-180..180, across) and speed (-300..300,
// up), with gaps (no area in use applies) hatched grey and overlaps (more
// than one area in use holds the state, the later ones shadowed) hatched
// dark. One drawing for the window, the PNG and SVG of sector-cli and a
// PDF: every length follows the font size, itself taken from the target
// unless given, and nothing relies on clipping or pattern brushes, which
// the SVG generator does not carry.
namespace CoverageChart {

// A stable colour per area index, neighbours far apart in hue.
QColor areaColor(int area);
QColor gapColor();

// The chart of one mode, drawn into `target` with its axes and a legend.
void paint(QPainter &p, const QRectF &target, const QVector<AreaRecord> &areas, int mode,
           bool chinese);
// The same from a grid already computed. fontPx 0 takes a size from the
// target; `legend` false leaves the legend row out.
void paintGrid(QPainter &p, const QRectF &target, const CaseSelection::ModeGrid &grid, bool chinese,
               qreal fontPx = 0, bool legend = true);
// All six modes on one page, 2 rows x 3 columns, each titled "mode M" with
// its gap and overlap counts, one legend, and a last line listing the
// unreachable areas.
void paintAllModes(QPainter &p, const QRectF &target, const QVector<AreaRecord> &areas,
                   bool chinese);

// The font size paintGrid takes for a target when none is given.
qreal fontSizeFor(const QRectF &target);
// Where paintGrid puts the states inside a target.
QRectF plotRect(const QRectF &target, qreal fontPx, bool legend = true);
// The state under a point of the plot; false outside it.
bool stateAt(const QRectF &plot, const QPointF &pos, int *steer, int *speed);
// The centre of a state's cell.
QPointF cellCentre(const QRectF &plot, int steer, int speed);

// "模式 2" / "mode 2"
QString modeTitle(int mode, bool chinese);

} // namespace CoverageChart
