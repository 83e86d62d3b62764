#include "ZoneGeometry.h"

#include <cmath>

namespace ZoneGeometry {

Polar xyToPolar(int x, int y)
{
    Polar p;
    // The sum is rounded to single precision before the fold.
    p.theta = float(std::atan2(double(y), double(x)) + 2.0 * M_PI);
    if (p.theta >= kThreeHalfPi)
        p.theta -= kTwoPi;
    const float fx = float(x);
    const float fy = float(y);
    p.r = std::sqrt(fx * fx + fy * fy);
    return p;
}

QPoint polarToXY(float r, float theta)
{
    return QPoint(int(std::cos(theta) * r), int(std::sin(theta) * r));
}

} // namespace ZoneGeometry
