#pragma once

#include "core/zones/AreaRecord.h"

#include <QVector>

// Which area the sensor applies for a state of the vehicle, and how the case
// channels of a design cover the states a vehicle can be in. The rule: the
// first area, in index order, whose steering and speed ranges hold the
// values (bounds included) and whose operation mode is 0 or the vehicle's.
namespace CaseSelection {

// The ranges a chart covers: steering in degrees, speed as the sensor takes
// it, and the operation modes a case channel can name.
constexpr int kSteerMin = -180, kSteerMax = 180;
constexpr int kSpeedMin = -300, kSpeedMax = 300;
constexpr int kModes = 6; // 0 intelligent selection, 1..5

struct Channel {
    int steerMin = 0, steerMax = 0, speedMin = 0, speedMax = 0, operationMode = 0;
};
Channel channelOf(const AreaRecord &area);

bool holds(const Channel &c, int steer, int speed, int mode);

// The area that applies, -1 when none does.
int applies(const QVector<Channel> &channels, int steer, int speed, int mode);
// Every area whose channel holds the state, in index order.
QVector<int> holders(const QVector<Channel> &channels, int steer, int speed, int mode);

// An area takes part when it holds a zone or its case channel is not all
// zero: the untouched areas of a design are not counted against it.
bool inUse(const AreaRecord &area);
// Whether the case channel is other than all zero.
bool channelSet(const AreaRecord &area);
// Whether the channel holds at least one whole state of the chart in some
// operation mode 0..5.
bool holdsAnyState(const Channel &c);

// The chart of one operation mode: all 361 x 601 whole states, cut into
// blocks by the bounds of the case channels, so that within a block every
// state has the same area applying and the same holders. Column c holds the
// steering angles steerEdges[c] .. steerEdges[c + 1] - 1, row r the speeds
// speedEdges[r] .. speedEdges[r + 1] - 1. A design of 64 areas has at most
// 129 x 129 blocks, so the chart follows every edit.
struct ModeGrid {
    int mode = 0;
    QVector<int> steerEdges; // from kSteerMin to kSteerMax + 1
    QVector<int> speedEdges; // from kSpeedMin to kSpeedMax + 1
    QVector<qint8> applied;  // per block, row by row: the area that applies, -1 none
    QVector<quint8> held;    // per block: the areas in use that hold its states
    QVector<bool> used;      // per area: in use
    int gaps = 0;            // states no area in use applies to
    int overlaps = 0;        // states more than one area in use holds

    int columns() const { return steerEdges.size() - 1; }
    int rows() const { return speedEdges.size() - 1; }
    int blockCount() const { return applied.size(); }
    // The block of a state, -1 outside the chart.
    int blockAt(int steer, int speed) const;
    int states(int block) const;
    // No area applies, or only an untouched one: the sensor watches nothing.
    bool isGap(int block) const;
    bool isOverlap(int block) const { return held[block] > 1; }
    // The area that applies to a state, -1 none or outside the chart.
    int appliesAt(int steer, int speed) const;
};
ModeGrid modeGrid(const QVector<AreaRecord> &areas, int mode);

struct ModeCoverage {
    int gaps = 0;     // states (whole degrees and speed units) no area in use applies to
    int overlaps = 0; // states more than one area in use holds
};
struct Coverage {
    ModeCoverage modes[kModes];
    QVector<int> unreachable; // areas in use that no state selects
};
// Over every whole state of the chart, among the areas in use.
Coverage coverage(const QVector<AreaRecord> &areas);
// The same from the six grids already made (index = mode).
Coverage coverage(const QVector<ModeGrid> &grids);

// The areas that apply, in place of `area`, to the states its channel holds
// (any mode): those that shadow it. Ascending, without `area` itself.
QVector<int> appliedInstead(const QVector<ModeGrid> &grids, const QVector<AreaRecord> &areas,
                            int area);

// Two areas in use whose case channels hold common states: the later one
// is never selected there. `common` is the intersection; its operation mode
// is 0 when both channels name mode 0 (every mode), else the one mode.
struct Overlap {
    int earlier = -1;
    int later = -1;
    Channel common;
};
QVector<Overlap> overlaps(const QVector<AreaRecord> &areas);

} // namespace CaseSelection
