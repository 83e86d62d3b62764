#pragma once

#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>

// Cuts of zone outlines that take time in proportion to their vertices.
// QPainterPath's own intersection slows down far more than that, which is
// fine for the tens of points a sensor holds and not for the thousands a
// noisy import can give. Coordinates are the scene's: x = X, y = -Y.
namespace OutlineClip {

// The part of a closed ring inside a rectangle (Sutherland-Hodgman). What
// lies outside is replaced by the rectangle's edge, so the result fills
// the same inside the rectangle as the ring, whatever the fill rule.
QPolygonF clipRing(const QPolygonF &ring, const QRectF &rect);

// A ring from the sensor's position through vertices in ascending polar
// angle back to the sensor: the star-shaped outline every polygon zone is,
// and every cut of one below keeps being. Vertices on the sensor itself
// may come anywhere.
bool isStarRing(const QPolygonF &ring);

// A star ring cut to the pie of `radius` over the polar angles fromDeg to
// toDeg (within -90..270): the vertices inside, the crossings of the pie's
// edges and the arcs between them.
QPainterPath clipStarToPie(const QPolygonF &ring, double radius, double fromDeg, double toDeg);

} // namespace OutlineClip
