#pragma once

#include <QVector>

// The 22 widget values of the sensor settings dock in project-file order:
// a combo box contributes its current index, a spin box its value.
namespace SensorDockValues {

constexpr int kCount = 22;

// What one line's widget is: a combo box with `items` entries, or a spin
// box with the range min..max.
struct Limit {
    bool combo;
    int items; // combo boxes only
    int min;   // spin boxes only
    int max;
};

Limit limit(int line);

// What the widget of the given line holds after being given value: a combo
// box given an index outside its item list holds -1 (no selection), a spin
// box clamps to its range. Lines outside 0..21 pass the value through.
int held(int line, int value);

// held() applied to every line; missing lines count as 0.
QVector<int> held(const QVector<int> &values);

// The dock's values on a freshly started tool:
// 0 0 0 0 127 0 0 0 127 0 0 1 1 0 0 1 2 0 192 168 1 88.
QVector<int> defaults();

} // namespace SensorDockValues
