#pragma once

#include "core/sensor/SensorParameters.h"
#include "core/zones/AreaRecord.h"

#include <QString>
#include <QVector>

// What differs between a design and what a sensor holds, judged as the wire
// carries it: two outputs are the same when the sensor would hold the same
// bytes for them (a polygon's vertices in another order are no difference),
// and the values are named as the editors show them.
namespace DesignCompare {

enum class Kind {
    Output,          // an output's shape kind and points
    AreaParameter,   // on delay, off delay, hysteresis, detection size
    CaseChannel,     // steering, speed, operation mode
    SensorParameter, // one of the sensor's twenty parameters
};

struct Difference {
    Kind kind = Kind::Output;
    int area = -1; // -1 for sensor parameters
    int item = 0;  // output 0..2, parameter 0..3, case field 0..4, sensor field 0..19
    // The values in the user's words, [0] English, [1] Chinese.
    QString design[2];
    QString sensor[2];

    // "Out3", "On Delay", "Steering Min", "ControlMode" ...
    QString itemName(bool chinese) const;
    // "area 2 Out3: design Fan, 1 point; sensor Polygon, 4 points (1200,0) ..."
    QString toLine() const;
    // The same in the user's language.
    QString toText(bool chinese) const;
};

// Both sides hold 64 areas. Differences come area by area (outputs,
// parameters, case channel), then the sensor parameters.
QVector<Difference> compare(const QVector<AreaRecord> &design, const SensorParameters &designParameters,
                            const QVector<AreaRecord> &sensor, const SensorParameters &sensorParameters);

// One output's shape and points in words: "Polygon, 4 points (1200,0) (0,1200) ...",
// "empty".
QString outputText(const AreaRecord &area, int output, bool chinese);

// Takes what the difference names from the sensor's side into the design.
void take(const Difference &d, QVector<AreaRecord> &design, SensorParameters &designParameters,
          const QVector<AreaRecord> &sensor, const SensorParameters &sensorParameters);

} // namespace DesignCompare
