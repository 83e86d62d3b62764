#pragma once

#include "tests/gui/walk/WalkModel.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>

// What the sensor holds, as the walk's model understands the area frame,
// the case and parameter payloads, the emulator's state file and the
// project file. Written from the formats themselves, not from the program.

namespace Walk {

// One output's block and point slots as the sensor stores them.
struct WireOutput {
    int kind = 0;
    int count = 0;
    int arcStart = 0; // signed degrees
    int arcEnd = 0;
    int arcRadius = 0;
    int dependent[3] = {0, 0, 0};
    QVector<QPoint> pointSlots = QVector<QPoint>(100); // all 100, unused ones (0, 0)
    bool operator==(const WireOutput &o) const;
};

struct WireArea {
    int params[4] = {0, 0, 0, 0};
    WireOutput out[3];
    bool operator==(const WireArea &o) const;
    bool operator!=(const WireArea &o) const { return !(*this == o); }
    QString describe() const;
};

// Area image: the 1257 bytes after the command token (index byte first).
constexpr int kImageSize = 1257;

// The sensor's form of a designed area: polygons and rectangles by polar
// angle, arcs as whole-degree angles and a radius, dependent kinds as one
// parameter.
WireArea toWire(const ModelArea &a);
// What a tool holds after reading `w` into an area that held `before`
// (case fields and kinds the frame cannot carry stay).
ModelArea fromWire(const WireArea &w, const ModelArea &before);

QByteArray imageOf(int index, const WireArea &w);
WireArea wireOfImage(const QByteArray &image);

// Case payload: five signed 16-bit values per area.
struct CaseValues {
    int v[5] = {0, 0, 0, 0, 0};
    bool operator==(const CaseValues &o) const;
};

// The emulator's state file: 64 area images, cases, parameters.
struct SensorState {
    QVector<WireArea> areas = QVector<WireArea>(kAreas);
    QVector<CaseValues> cases = QVector<CaseValues>(kAreas);
    Params params = defaultParams();
};
QByteArray stateFileOf(const SensorState &s);
bool parseStateFile(const QByteArray &bytes, SensorState *out);
// The sensor's state for a design held by the tool.
SensorState stateOfDesign(const QVector<ModelArea> &areas, const Params &params);

// A saved project file, strictly as the program writes it.
struct ProjectContent {
    QString header;
    QVector<int> dock; // 22
    QVector<ModelArea> areas;
};
bool parseProject(const QByteArray &bytes, ProjectContent *out, QString *why);
QString headerOf(int device); // "TRV_ZQ_30"
QString suffixOf(int device); // ".ZQ30"

// A plausible design as a sensor might hold it, for seeding the emulator.
SensorState randomSensorState(QRandomGenerator &rng);

} // namespace Walk
