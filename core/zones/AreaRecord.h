#pragma once

#include <QPoint>
#include <QVector>

// Shape kinds of one output's point list. 0..2 stand on their own points,
// 3..5 are derived from the outputs above and carry one parameter point.
enum ShapeKind : int {
    ShapePolygon = 0,
    ShapeArc = 1,
    ShapeRectangle = 2,
    ShapeStraight = 3,
    ShapeFan = 4,
    ShapeRatio = 5,
};

constexpr int kAreaCount = 64;
constexpr int kOutputCount = 3;
// The sensor keeps at most this many points (distinct angles) per output,
// each coordinate a signed 16-bit value.
constexpr int kMaxPointsPerOutput = 100;

// One of the sensor's 64 areas. Copied by value everywhere; QVector's implicit
// sharing detaches on write, so a copy never sees later edits of its source.
struct AreaRecord {
    int openDelay = 0;     // index 0..25, i x 20 ms
    int closeDelay = 0;    // index 0..25, i x 20 ms
    int hysteresis = 0;    // index 0..10, 0 off, i %
    int detectionSize = 0; // index 0..9, (i + 1) x 0.5 deg
    int steerMin = 0;      // degrees -180..180
    int steerMax = 0;
    int speedMin = 0; // -300..300, passed to the sensor unchanged
    int speedMax = 0;
    int operationMode = 0; // 0 intelligent selection, i operation mode i
    int shape[kOutputCount] = {ShapePolygon, ShapePolygon, ShapePolygon};
    QVector<QPoint> points[kOutputCount];

    // The twelve integer fields in file and wire order.
    int intField(int i) const;
    void setIntField(int i, int value);

    bool operator==(const AreaRecord &o) const;
    bool operator!=(const AreaRecord &o) const { return !(*this == o); }
};
