#pragma once

#include "core/sensor/DesignCompare.h"
#include "core/sensor/SensorParameters.h"
#include "core/zones/AreaRecord.h"

#include <QString>

// The commissioning report's words, in the language asked for: the sensor
// settings in the dock's own words, the area values in their units.
namespace ReportTexts {

// Picks the text of the report's language.
inline QString pick(bool chinese, const char *zh, const char *en)
{
    return QString::fromUtf8(chinese ? zh : en);
}

// The dock's label of sensor parameter field 0..19 ("Control Mode").
QString parameterLabel(int field, bool chinese);
// The value as the dock shows it ("IO Interface", "115200", "192.168.1.88"
// for the two address words together); a value the dock has no item for
// reads "(index 7)".
QString parameterValue(const SensorParameters &p, int field, bool chinese);

// The four area parameters: "On Delay" ... and "40 ms", "Close", "5%", "1.0°".
QString areaParameterLabel(int item, bool chinese);
QString areaParameterValue(const AreaRecord &area, int item, bool chinese);

// The case channel: "-30° to 30°", "0 to 100", "Type 0 (intelligent selection)".
QString steeringRange(const AreaRecord &area, bool chinese);
QString speedRange(const AreaRecord &area, bool chinese);
QString operationMode(int mode, bool chinese);

// A difference between design and sensor as one line of the report.
QString differenceLine(const DesignCompare::Difference &d, bool chinese);

} // namespace ReportTexts
