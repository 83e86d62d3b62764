#pragma once

#include "core/zones/AreaRecord.h"

#include <QVector>
#include <array>
#include <cstdint>

// The IO and case-channel simulation request: written by the IO simulation
// panel, read and sent periodically by the sensor link.
struct SimulationRequest {
    std::uint8_t inputOn = 0;
    std::uint8_t outputOn = 0;
    std::uint8_t faultOn = 0;
    std::uint8_t caseOn = 0;
    std::uint32_t inputWord = 0;  // bits 0..5 = inputs 1..6
    std::uint32_t outputWord = 0; // bits 0..2 = Out1..Out3
    std::uint8_t faultState = 0;
    std::int32_t steeringAngle = 0;
    std::int32_t vehicleSpeed = 0;
    std::int32_t operationMode = 0;
};

// Everything the user designs for one sensor. A plain data structure with
// exactly one instance per process; the editors that change it announce the
// change themselves.
class ZoneStore
{
public:
    static constexpr int kUndoLimit = 100;

    ZoneStore();

    double sceneWidth = 0;
    double sceneHeight = 0;
    bool modified = false;
    int currentArea = 0;    // 0..63
    int currentChannel = 0; // 0 Out1, 1 Out2, 2 Out3
    QVector<AreaRecord> areas; // always 64 entries
    AreaRecord clipboard;
    const AreaRecord emptyRecord;
    std::array<int, kAreaCount> undoPos{};
    QVector<QVector<AreaRecord>> undoHistory; // per area, at most kUndoLimit snapshots
    // The one-entry list the undo histories are seeded from.
    const QVector<AreaRecord> undoSeed;
    SimulationRequest simulation;

    // Clamps the current area index to 63 (signed comparison), writes the
    // clamped value back and returns it. Every access to the current area
    // goes through here.
    int clampedCurrentArea();
    AreaRecord &currentRecord();

    // Copies all twelve integers and each point list of src into dst.
    static void copyRecord(AreaRecord &dst, const AreaRecord &src);

    // The zone part of a new project: clears the modified flag, every point
    // list, the four parameter indexes and the shape kinds. Case-channel
    // fields, clipboard, undo state, current area and channel stay.
    void resetForNewProject();

    // Starts every area's history afresh from what it holds now: Undo then
    // has nothing to return to. Used when a whole design is replaced (new
    // project, a file read, a read from the sensor), so no step of the
    // replaced design can come back.
    void resetUndo();

    // Records the state of an area after a finished edit: sets the modified
    // flag, discards the redo branch, keeps at most kUndoLimit entries and
    // appends a copy of the area's record.
    void saveUndo(int area);
    // The same for every area, after a project was read.
    void saveAllUndo();
    // Steps an area back to its previous recorded state, or on to the next
    // one. Both set the modified flag; at either end nothing else changes.
    void undo(int area);
    void redo(int area);

    // Sets the detection-size index of all 64 areas (1 after start-up).
    void setAllDetectionSize(int index);
};
