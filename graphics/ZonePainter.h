#pragma once

#include "core/zones/ZoneGeometry.h"

#include <QColor>

class QPainter;

// Draws zone outlines the one way the view, the thumbnails and rendered
// pictures all share.
namespace ZonePainter {

// The fill colour of an output (0..2) with the given alpha.
QColor zoneColor(int output, int alpha);
// White, one scene unit wide, round cap, bevel join.
QPen outlinePen();

void paint(QPainter *painter, const ZoneGeometry::Outline &outline, const QColor &fill);

// An outline of so many vertices that it is drawn clipped, thinned and in
// tiles (see ScreenDrawing); anything smaller is drawn as it is.
bool isLarge(const ZoneGeometry::Outline &outline);

} // namespace ZonePainter
