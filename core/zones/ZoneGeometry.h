#pragma once

#include "core/zones/AreaRecord.h"

#include <QMap>
#include <QPainterPath>
#include <QPoint>
#include <QPolygonF>
#include <QVector>
#include <array>

// Polar views of sensor-frame points and the zone outline of every output,
// computed in single precision as the sensor's own tools do, so that what is
// typed, shown, drawn and transferred agrees. Shared by the editors, the
// zone items, the thumbnails, the link's area codec and the emulator.
namespace ZoneGeometry {

constexpr float kRadToDeg = 57.29578f;
constexpr float kDegToRad = 0.017453292f;
constexpr float kThreeHalfPi = 4.712389f;
constexpr float kTwoPi = 6.2831855f;

struct Polar {
    float r = 0;     // millimetres
    float theta = 0; // radians in [-pi/2, 3pi/2): +X is 0, +Y is pi/2
};

// Angle normalised to [-90 deg, 270 deg).
Polar xyToPolar(int x, int y);
inline Polar xyToPolar(const QPoint &p) { return xyToPolar(p.x(), p.y()); }
// Each coordinate truncated toward zero.
QPoint polarToXY(float r, float theta);

// The polar form the sensor's area frames use: atan2 is rounded to single
// precision before 2 pi is added, and the way back uses Qt's table-based
// sine and cosine.
Polar wirePolar(int x, int y);
QPoint wirePolarToXY(float r, float theta);

// An Arc travels as two whole degrees and the first point's radius, each
// truncated: what a point of an Arc goes as.
int wireDegrees(const QPoint &p);
int wireRadius(const QPoint &p);
// The point nearest `near` (within three millimetres) that goes as `degrees`
// and, with keepRadius, as `radius`; `near` itself when it already does, or
// when no point near it does. Nearness is to the exact position at
// `radius`, `degrees`.
QPoint pointGoingAs(const QPoint &near, int radius, int degrees, bool keepRadius);

// A stored point as the scene shows it: forward (+Y) is up. Negated in
// floating point: the most negative int has no int opposite.
inline QPointF toScene(const QPoint &p) { return QPointF(p.x(), -qreal(p.y())); }

// The points of a list keyed by polar angle; a later point with exactly the
// same angle replaces the earlier one. The angle is the screen's (xyToPolar)
// or, for the order the sensor keeps, the wire's (wirePolar).
using PolarOf = Polar (*)(int x, int y);
QMap<float, QPoint> byAngle(const QVector<QPoint> &points,
                            PolarOf polar = static_cast<PolarOf>(&xyToPolar));

// What one output of an area draws and what it hands on to the output below.
struct Outline {
    enum Draw {
        Nothing,
        Polygon,    // `polygon`, filled with the winding rule, outline pen
        FilledPath, // `path`, filled without an outline (arc pie)
        Path,       // `path`, filled and outlined
        ScaledPath, // `path` drawn scaled by `scale` about the origin (ratio)
    };
    Draw draw = Nothing;
    QPolygonF polygon;
    QPainterPath path;
    double scale = 1.0;
    bool handsOn = false;
    QPainterPath handed; // the outline the output below derives from
};

// Dependent shapes cut a parent outline of more elements than this in
// linear time (the band as a rectangle clip, the fan along the star-shaped
// outline); smaller ones, every design a sensor holds among them, by
// QPainterPath's own intersection.
constexpr int kLinearCutFrom = 2000;

// One output's outline. `parent` is the outline last handed on by the output
// above (empty when it never handed one on). Dependent kinds (3..5) draw
// nothing on Out1 (output 0); a point count that does not fit the kind draws
// nothing and hands nothing on.
Outline buildOutline(int output, int kind, const QVector<QPoint> &points,
                     const QPainterPath &parent, double sceneWidth, double sceneHeight);

// The chain Out1 -> Out2 -> Out3 for one area. parents[0] and parents[1] are
// the outlines last received by Out2 and Out3; they are updated as the chain
// hands outlines on, and keep their value where nothing is handed on.
std::array<Outline, kOutputCount> buildAreaOutlines(const AreaRecord &area, double sceneWidth,
                                                    double sceneHeight,
                                                    std::array<QPainterPath, 2> &parents);

// The same for a one-off drawing (thumbnails): the chain starts empty.
std::array<Outline, kOutputCount> buildAreaOutlines(const AreaRecord &area, double sceneWidth,
                                                    double sceneHeight);

// The outline as one path in scene coordinates (a ratio's scale applied,
// polygons filled with the winding rule), for testing points against it and
// for drawing it as a line.
QPainterPath outlinePath(const Outline &outline);

// The largest polar radius over all points of the three outputs.
float farthestRadius(const AreaRecord &area);

} // namespace ZoneGeometry
