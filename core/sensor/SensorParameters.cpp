#include "core/sensor/SensorParameters.h"

#include "core/sensor/SensorDockValues.h"

// Record fields 0..17 sit on the dock lines of the same number; fields 18 and
// 19 each take two lines, one per address octet.

std::int32_t SensorParameters::field(int i) const
{
    const std::int32_t *base = &ControlMode;
    return (i >= 0 && i < kFieldCount) ? base[i] : 0;
}

void SensorParameters::setField(int i, std::int32_t v)
{
    std::int32_t *base = &ControlMode;
    if (i >= 0 && i < kFieldCount)
        base[i] = v;
}

bool SensorParameters::operator==(const SensorParameters &o) const
{
    for (int i = 0; i < kFieldCount; ++i)
        if (field(i) != o.field(i))
            return false;
    return true;
}

namespace SensorParameterRules {

void correctForDisplay(SensorParameters &p)
{
    if (p.ScanMotorSpeed > 1)
        p.ScanMotorSpeed = 0;
    if (p.ScanFilterLevel > 3)
        p.ScanFilterLevel = 0;
    if (p.SensorInstallDir > 1)
        p.SensorInstallDir = 0;
    if (p.ScanSensorAngle > 4)
        p.ScanSensorAngle = 1;
}

QVector<int> toDockValues(const SensorParameters &p)
{
    QVector<int> dock(SensorDockValues::kCount);
    for (int f = 0; f <= 17; ++f)
        dock[f] = p.field(f);
    dock[18] = p.SensorIPAddressHigh >> 8;
    dock[19] = p.SensorIPAddressHigh & 255;
    dock[20] = p.SensorIPAddressLow >> 8;
    dock[21] = p.SensorIPAddressLow & 255;
    return dock;
}

SensorParameters fromDockValues(const QVector<int> &dock, bool ethernet,
                                const SensorParameters &previous)
{
    SensorParameters p = previous;
    auto at = [&dock](int line) { return line < dock.size() ? dock[line] : 0; };
    for (int f : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 14, 15, 16})
        p.setField(f, at(f));
    if (ethernet) {
        p.ScanSensorAngle = at(12);
        if (p.ScanSensorAngle == 0)
            p.ScanMotorSpeed = 0;
        p.SensorEtherMode = at(17);
        p.SensorIPAddressHigh = (at(18) << 8) | at(19);
        p.SensorIPAddressLow = (at(20) << 8) | at(21);
    }
    return p;
}

QVector<int> shownAfterRead(SensorParameters &record)
{
    correctForDisplay(record);
    return SensorDockValues::held(toDockValues(record));
}

QVector<int> applyFile(SensorParameters &record, const QVector<int> &fileValues)
{
    record = fromDockValues(SensorDockValues::held(fileValues), true, record);
    return shownAfterRead(record);
}

} // namespace SensorParameterRules
