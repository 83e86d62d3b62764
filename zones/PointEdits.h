#pragma once

#include "AreaRecord.h"

#include <QString>

// The edits the coordinate tables and the point handles make to an output's
// point list, and the constraints that keep each shape kind in form.
namespace PointEdits {

// A typed value: read as a single-precision float, 0 when not a number.
float parseTyped(const QString &text);
// Typed millimetres to an integer: positive values round half up, negative
// values lose their fraction (-2.7 gives -2).
int roundTyped(float v);

// After point `row` of `output` changed: an Arc keeps its two points on the
// edited point's circle, a Rectangle keeps its four corners axis-aligned.
// Other kinds, and an Arc or Rectangle with another point count, stay.
void applyShapeConstraint(AreaRecord &area, int output, int row);
// Out2 and Out3 of a dependent kind with one point keep that point on the
// forward axis (x = 0).
void applyDependentRule(AreaRecord &area);

// A value typed into the Cartesian table of `output` (0..2) at row and
// column: an existing point changes, the blank row of a polygon appends a
// point when the value is not 0.
void editXY(AreaRecord &area, int output, int row, int column, float value);
// The same for the polar table: column 1 distance, column 2 angle in degrees.
void editPolar(AreaRecord &area, int output, int row, int column, float value);

// The Delete key on a table of `output` with `row` current (-1 for none).
// Returns false when the key is merely consumed, true when the tables are to
// be refilled and the edit announced (a point may have been removed).
bool deleteRow(AreaRecord &area, int output, int row);

} // namespace PointEdits
