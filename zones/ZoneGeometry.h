#pragma once

#include <QPoint>

// Polar views of sensor-frame points, in single precision as the sensor's own
// tools compute them, so that values typed, shown and transferred agree.
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
// Each coordinate truncated toward zero.
QPoint polarToXY(float r, float theta);

} // namespace ZoneGeometry
