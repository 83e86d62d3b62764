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

struct ModeCoverage {
    int gaps = 0;     // states (whole degrees and speed units) no area holds
    int overlaps = 0; // states more than one area in use holds
};
struct Coverage {
    ModeCoverage modes[kModes];
    QVector<int> unreachable; // areas in use that no state selects
};
// Over every whole state of the chart, among the areas in use.
Coverage coverage(const QVector<AreaRecord> &areas);

} // namespace CaseSelection
