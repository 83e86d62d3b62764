#pragma once

#include <QString>

// The sensor model. Held by value in the main window and passed by pointer;
// receivers keep the pointer and read the current model through it.
struct DEVICETYPE {
    int type = 3;
};

enum DeviceModel : int { Laser05 = 0, Laser10 = 1, Laser20 = 2, Laser30 = 3, Laser50 = 4 };

constexpr int kDeviceModelCount = 5;

// Everything a model selects, in one place.
struct DeviceModelInfo {
    const char *name;        // "Laser30"
    const char *header;      // project file header line
    const char *suffix;      // project file suffix, with the dot
    double sceneSpan;        // width and height of the scene, mm
    int maximumRange;        // the link's clamp for received distances, mm
    int zoomMinimum;         // zoom slider minimum and start value
};

bool isValidDeviceModel(int type);
// nullptr for a value outside 0..4.
const DeviceModelInfo *deviceModelInfo(int type);
// Index of the model whose header line is exactly line, or -1. Compared in
// the order 05, 10, 20, 30, 50.
int deviceModelFromHeader(const QString &line);
// Index of the model with the given program name ("Laser50"), or -1.
int deviceModelFromName(const QString &name);
// The save dialog's filter, "(*.ZQ30)".
QString deviceModelFilter(int type);
// Appends the model's suffix unless the name already ends in exactly it
// (case-sensitive: "a.zq30" becomes "a.zq30.ZQ30").
QString withDeviceSuffix(const QString &fileName, int type);

constexpr int kZoomSliderMaximum = 350;
