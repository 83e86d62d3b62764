#include "core/sensor/SensorDockValues.h"

namespace SensorDockValues {

namespace {
constexpr Limit combo(int items) { return {true, items, 0, 0}; }
constexpr Limit spin(int min, int max) { return {false, 0, min, max}; }

// Widget order: ControlMode, RS232 baud/verify/stop, RS485 address,
// RS485 baud/verify/stop, CAN address, CAN baud, output logic, motor speed,
// scan angle, filter level, install direction, cross filter enable/number,
// Ethernet mode, the four IP octets.
constexpr Limit kLimits[kCount] = {
    combo(6), combo(5), combo(3), combo(3), spin(1, 127), combo(5),   combo(3),
    combo(3), spin(1, 127), combo(4), combo(2), combo(2), combo(5),   combo(4),
    combo(2), combo(2), combo(6), combo(2), spin(192, 223), spin(0, 255),
    spin(0, 255), spin(1, 254),
};

constexpr int kDefaults[kCount] = {0, 0, 0, 0, 127, 0, 0, 0, 127, 0, 0,
                                   1, 1, 0, 0, 1,   2, 0, 192, 168, 1, 88};
} // namespace

Limit limit(int line)
{
    if (line < 0 || line >= kCount)
        return {false, 0, 0, -1};
    return kLimits[line];
}

int held(int line, int value)
{
    if (line < 0 || line >= kCount)
        return value;
    const Limit &l = kLimits[line];
    if (l.combo)
        return (value >= 0 && value < l.items) ? value : -1;
    if (value < l.min)
        return l.min;
    if (value > l.max)
        return l.max;
    return value;
}

QVector<int> held(const QVector<int> &values)
{
    QVector<int> out(kCount, 0);
    for (int i = 0; i < kCount; ++i)
        out[i] = held(i, i < values.size() ? values[i] : 0);
    return out;
}

QVector<int> defaults()
{
    return QVector<int>(std::begin(kDefaults), std::end(kDefaults));
}

} // namespace SensorDockValues
