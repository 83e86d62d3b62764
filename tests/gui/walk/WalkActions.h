#pragma once

#include "tests/gui/walk/WalkModel.h"

#include <QRandomGenerator>
#include <QString>
#include <QVector>

// The user actions of the walk. Each is stored with the choices made when
// it was generated, in terms that keep a meaning when earlier actions are
// dropped while a failure is shrunk: rows and handles are picked modulo
// what is there, and an action that no longer applies does nothing.

namespace Walk {

enum class Act {
    TypeCell,   // a: polar (0/1), b: row pick, c: column 1..2, text
    DeleteRow,  // a: polar, b: row pick
    Drag,       // a: handle pick, b: dx px, c: dy px, d: zoom level
    RightClick, // a: handle pick
    ViewDelete, // a: handle pick (pressed, then the Delete key)
    Shape,      // a: output 0..2, b: kind 0..4
    Combo,      // a: 0..3 parameter combos, 4 operation mode; b: key 0 Down 1 Up 2 Home 3 End; c:
                // presses
    Spin,       // a: 0..3 steer min/max, speed min/max; b: value
    Undo,
    Redo,
    Copy,
    Cut,
    Paste,
    DeleteArea,
    DeleteAll,
    SelectArea,   // a: area
    SelectOutput, // a: output, b: 1 by keyboard
    SensorParam,  // a: field, b: value
    New,          // a: device 3/4, b: answer 0 OK 1 Cancel
    Save,         // a: file choice
    Open,         // a: file choice
    Close,        // a: answer 0 Save 1 Close 2 Cancel, b: file choice
    Connect,      // a: 0 TCP 1 serial, b: answer 0 Save 1 Replace 2 Keep, c: file choice
    WriteAll,
    ReadAll, // b: answer 0 Save 1 Replace 2 Keep, c: file choice
    Disconnect,
    IoSelect, // a: area the forced inputs select
    Monitor,  // a: 1 on / 0 off, b: 1 through the dock's close (off: the Edition action)
    Wait,     // a: milliseconds
};

// The editors' widgets by what they edit: the shape buttons' kinds, the
// parameter combos (the four area indexes, then the operation mode) and the
// case spin boxes.
const char *const kKindNames[6] = {"Polygon", "Arc", "Rectangle", "Straight", "Fan", "Ratio"};
const char *const kComboNames[5] = {"Area_OpenDelay", "Area_CloseDelay", "Area_Hysteresis",
                                    "Area_DetectionSize", "VehicleOptionMode"};
const char *const kSpinNames[4] = {"SteerMinDgree", "SteerMaxDgree", "VehicleMinSpeed",
                                   "VehicleMaxSpeed"};

// A drag's zoom level that leaves the zoom as it is.
constexpr int kKeepZoom = -1000;

// File choices: where a save goes or which file an open takes.
enum FileChoice { FileNew = 0, FileSame, FileCancel, FileBad, FileMissing, FileOld };

struct Action {
    Act kind = Act::Wait;
    int a = 0, b = 0, c = 0, d = 0;
    QString text;
    QString describe() const;
    // One line, and back: for replaying an action in another process.
    QString serialize() const;
    static bool parse(const QString &line, Action *out);
};

// How the generator weighs its choices.
struct WalkMix {
    bool editing = true;
    bool files = true;
    bool link = true;
    bool close = true;
    // Variants that can be left out while a failure they find is open.
    bool keyboardTabs = true; // output tabs switched with the arrow keys
    bool zoom = true;         // drags at zoom levels other than the start's
};

// What the generator needs to know beyond the model.
struct WalkView {
    bool connected = false;
    bool monitoring = false;
    bool hasSaved = false;
};

Action generateAction(QRandomGenerator &rng, const DesignModel &m, const WalkView &v,
                      const WalkMix &mix);

} // namespace Walk
