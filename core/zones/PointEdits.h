#pragma once

#include "core/zones/AreaRecord.h"

#include <QString>

#include <optional>

// The edits the coordinate tables and the point handles make to an output's
// point list, and the constraints that keep each shape kind in form.
namespace PointEdits {

// The coordinates the sensor can hold: signed 16-bit millimetres.
constexpr int kMinCoord = -32768;
constexpr int kMaxCoord = 32767;

// A typed value read as a single-precision float. Text that is no number,
// and "nan" or "inf", gives nothing: the cell keeps its old value. A number
// too large for a float saturates, so that it clamps like any other.
std::optional<float> parseTyped(const QString &text);
// Typed millimetres to an integer: positive values round half up, negative
// values lose their fraction (-2.7 gives -2); the result is clamped to
// kMinCoord..kMaxCoord.
int roundTyped(float v);
// Polar to XY as the tables store it: truncated toward zero, each
// coordinate clamped to kMinCoord..kMaxCoord.
QPoint polarToStored(float r, float theta);

// An Arc's other point moved onto the circle of the edited one, keeping its
// angle. A point that sat on a whole degree (as the sensor keeps an Arc)
// stays on it, so that it still goes as that degree; `otherIsFirst` says
// whether it is the point that carries the radius on the wire.
QPoint arcPartner(const QPoint &edited, const QPoint &other, bool otherIsFirst);

// After point `row` of `output` changed: an Arc keeps its two points on the
// edited point's circle, a Rectangle keeps its four corners axis-aligned.
// Other kinds, and an Arc or Rectangle with another point count, stay.
void applyShapeConstraint(AreaRecord &area, int output, int row);
// Out2 and Out3 of a dependent kind with one point keep that point on the
// forward axis (x = 0).
void applyDependentRule(AreaRecord &area);

// A value typed into the Cartesian table of `output` (0..2) at row and
// column: an existing point changes, the blank row of a polygon appends a
// point when the value is not 0. A value that is not finite changes nothing.
void editXY(AreaRecord &area, int output, int row, int column, float value);
// The same for the polar table: column 1 distance, column 2 angle in degrees.
// A distance beyond the coordinate range counts as its clamp.
void editPolar(AreaRecord &area, int output, int row, int column, float value);

// The Delete key on a table of `output` with `row` current (-1 for none).
// Returns false when the key is merely consumed, true when the tables are to
// be refilled and the edit announced (a point may have been removed).
bool deleteRow(AreaRecord &area, int output, int row);

} // namespace PointEdits
