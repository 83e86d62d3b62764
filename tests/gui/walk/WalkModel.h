#pragma once

#include <QPoint>
#include <QString>
#include <QVector>
#include <array>
#include <functional>

// The walk's reference model: what the design must hold after each user
// action, kept by rules of its own, independent of the program's code.

namespace Walk {

constexpr int kAreas = 64;
constexpr int kUndoCap = 100;

// One area as the user designs it: 12 integers in file order (4 parameter
// indexes, 5 case values, 3 shape kinds) and 3 point lists.
struct ModelArea {
    enum Field {
        OpenDelay,
        CloseDelay,
        Hysteresis,
        DetectionSize,
        SteerMin,
        SteerMax,
        SpeedMin,
        SpeedMax,
        OperationMode,
        Kind1,
        Kind2,
        Kind3
    };
    std::array<int, 12> f{};
    QVector<QPoint> pts[3];

    int kind(int out) const { return f[Kind1 + out]; }
    bool operator==(const ModelArea &o) const;
    bool operator!=(const ModelArea &o) const { return !(*this == o); }
    // "od=1 cd=0 hy=0 ds=1 case=0,0,0,0,0 kinds=0,1,0 out1=[..] out2=[..] out3=[..]"
    QString describe() const;
};
QString describePoints(const QVector<QPoint> &pts);

// The twenty sensor parameters in wire order; defaults as a fresh tool has.
using Params = std::array<int, 20>;
Params defaultParams();
// The 22 values the settings dock and the project file carry for a record.
QVector<int> dockLines(const Params &p);

// Polar views in single precision, as the program promises its users.
namespace Geo {
struct Polar {
    float r = 0;
    float theta = 0; // radians in [-pi/2, 3pi/2)
};
Polar toPolar(QPoint p);
// Truncated toward zero.
QPoint fromPolar(float r, float theta);
// A typed or computed coordinate held to the sensor's 16 bits.
int clamp16(float v);
// The polar angle the area frame sorts by (atan2 rounded first).
float wireTheta(QPoint p);
QString polarText(float v); // %g with 6 digits
// What a point of an Arc goes as on the wire: whole degrees, truncated, and
// the truncated distance.
int wireDegrees(QPoint p);
int wireRadius(QPoint p);
// The point within three millimetres of `near`, nearest the exact position
// at `radius` and `degrees`, that goes as `degrees` (and `radius` if asked);
// `near` when it already does or none does.
QPoint pointGoingAs(QPoint near, int radius, int degrees, bool keepRadius);
// Within 0.05 degrees, or 1.5 mm along its circle, of its whole degree.
bool onWholeDegree(QPoint p);
// The other point of an Arc pulled onto the edited one's circle; one that
// sat on a whole degree stays on it.
QPoint arcPartner(QPoint edited, QPoint other, bool otherIsFirst);
constexpr float kRadToDeg = 57.29578f;
constexpr float kDegToRad = 0.017453292f;
} // namespace Geo

// After point `row` of `out` changed: an arc keeps both points on the edited
// one's circle, a rectangle its corners axis-aligned; dependent kinds of
// Out2 and Out3 keep x = 0 (after edits of Out2 or Out3).
void applyConstraints(ModelArea &a, int out, int row);

// Three-valued: a rule that the program's behaviour settles either way.
enum class Tri { False, True, Unknown };

// One possible undo history of an area.
struct UndoTrack {
    QVector<ModelArea> entries;
    int pos = 0;
};

// What the rules leave to the program about undo steps, each way it could
// have chosen: whether an edit that changed nothing and an area command
// (paste, cut, delete) record a step, and whether a design read from the
// sensor, read from a file, or refused as a file of another model starts
// the histories afresh, records on top, or leaves them.
// Edits that changed nothing, by where they were made; each may or may not
// leave a step.
enum NoopKind { NoopTable, NoopControl, NoopView, NoopDelete, NoopKinds };

struct UndoPolicy {
    bool noopRecords[NoopKinds];
    bool areaRecords;
    bool readResets;
    bool openResets;
    int refusedOpen; // 0 leaves, 1 records on top, 2 starts afresh
};

// Whether a design would reach the sensor as it stands.
enum class Travel { Intact, Broken, Either };
struct TravelVerdict {
    Travel travel = Travel::Intact;
    QString why; // the first reason, for messages
};
// Arc points closer than `arcSlack` mm in radius travel as one circle (the
// editor's own constraint truncates both coordinates); from 2 mm on they do
// not; in between the program may refuse.
TravelVerdict canTravel(const QVector<ModelArea> &areas, float arcSlack = 1.5f);

class DesignModel
{
public:
    DesignModel();

    QVector<ModelArea> areas;
    ModelArea clipboard;
    Params params;
    int current = 0;
    int channel = 0;
    int device = 3;
    Tri modified = Tri::False;

    ModelArea &cur() { return areas[current]; }

    // A finished edit of `area` whose record was `before`: a change is
    // recorded and sets the flag; an edit that changed nothing may record
    // an identical step and may set the flag.
    void editCommitted(int area, const ModelArea &before, NoopKind where);
    // A whole-area command (paste, cut, delete).
    void areaReplaced(int area, const ModelArea &before);
    // Something that may or may not count as a change: only the flag.
    void touched(bool changed);

    // The records undo or redo may produce, one per distinct outcome.
    QVector<ModelArea> undoOutcomes(int area, bool redo) const;
    // Keeps the ways of recording that produce `seen`; false when none does.
    bool undoResolved(int area, bool redo, const ModelArea &seen);

    // A new project: the histories start afresh.
    void resetHistories();
    // The whole design replaced by a read from the sensor, by a file, or
    // left by a file of another model.
    void readFromSensor();
    void readFromFile();
    void refusedFile();

    static constexpr int kPolicies = 16 * 2 * 2 * 2 * 3;
    static UndoPolicy policy(int i);

private:
    void push(int area, int p);
    void restart(int area, int p);
    void replaced(const std::function<int(const UndoPolicy &)> &how);

    // Per area, one history for each way of recording still possible.
    QVector<QVector<UndoTrack>> m_undo;
    QVector<bool> m_alive;
};

} // namespace Walk
