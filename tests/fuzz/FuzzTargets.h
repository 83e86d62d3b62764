#pragma once

#include <QByteArray>
#include <QString>

// Entry functions for the parsers of outside input. Each takes arbitrary
// bytes, runs them through the real code and checks what must hold whatever
// the bytes were; it returns what broke, or an empty string. The libFuzzer
// programs (fuzz-<name>) and the replay test call the same functions.
namespace FuzzTargets {

// A project file as the Open action and sector-cli read it: header, sensor
// section, area section; the design read must save and read back unchanged,
// encode for the sensor and draw.
QString projectFile(const QByteArray &bytes);

// Bytes arriving at the link controller in reads the input chooses,
// interleaved with requests, ticks and time-outs, over the serial port or
// Ethernet (see ReceiveTarget.cpp for the layout).
QString receivePath(const QByteArray &bytes);

// Builds inputs for receivePath.
namespace ReceiveInput {
enum Setup { Serial = 0, Tcp = 1, Udp = 3 };
enum Request { Information, Reboot, ReadAll, WriteAll, Scan, Intensity, Simulation };
// The bytes as reads of `piece` bytes each (0: one read).
QByteArray reads(const QByteArray &bytes, int piece = 0);
// The reply to the request outstanding, its payload starting with `start`.
QByteArray answer(const QByteArray &start = QByteArray());
QByteArray request(Request what);
QByteArray tick();
QByteArray timeout();
} // namespace ReceiveInput

// An RArea reply body into an area record, and back onto the wire.
QString areaCodec(const QByteArray &bytes);

// The parameter, case, simulation, product and status replies.
QString payloads(const QByteArray &bytes);

// A discovery answer's "MODE:" text.
QString discoveryAnswer(const QByteArray &bytes);

// A recording written by sector-cli record, as sector-cli render --scan
// reads it.
QString sweepCsv(const QByteArray &bytes);

struct Target {
    const char *name; // also the corpus folder under tests/data/fuzz/
    QString (*run)(const QByteArray &);
};

constexpr int kTargetCount = 6;
extern const Target kTargets[kTargetCount];

} // namespace FuzzTargets
