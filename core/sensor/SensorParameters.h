#pragma once

#include <QVector>
#include <cstdint>

// The sensor's own configuration as the tool holds it: mostly indexes into
// the item lists of the sensor settings dock. Read from and written to the
// sensor as twenty 32-bit values in this order.
struct SensorParameters {
    std::int32_t ControlMode = 0;
    std::int32_t RS232BaudRate = 0;
    std::int32_t RS232CommVerify = 0;
    std::int32_t RS232StopBit = 0;
    std::int32_t RS485IDAddress = 127;
    std::int32_t RS485BaudRate = 0;
    std::int32_t RS485CommVerify = 0;
    std::int32_t RS485StopBit = 0;
    std::int32_t CANIDAddress = 127;
    std::int32_t CANBaudRate = 0;
    std::int32_t SensorOutputLogic = 0;
    std::int32_t ScanMotorSpeed = 1;
    std::int32_t ScanSensorAngle = 1;
    std::int32_t ScanFilterLevel = 0;
    std::int32_t SensorInstallDir = 0;
    std::int32_t CrossFilterEnable = 1;
    std::int32_t CrossFilterNumber = 2;
    std::int32_t SensorEtherMode = 0;
    std::int32_t SensorIPAddressHigh = (192 << 8) | 168; // 49320
    std::int32_t SensorIPAddressLow = (1 << 8) | 88;     // 344

    static constexpr int kFieldCount = 20;
    std::int32_t field(int i) const;
    void setField(int i, std::int32_t v);
    bool operator==(const SensorParameters &o) const;
};

// The rules that keep the record and the dock's 22 widget values in step.
// Dock values are in project-file order (see SensorDockValues).
namespace SensorParameterRules {

// Corrections applied to a record before it is shown: a motor speed above 1,
// a filter level above 3 and an install direction above 1 become 0, a scan
// angle above 4 becomes 1 (its widget could not show it).
void correctForDisplay(SensorParameters &p);

// The 22 values the dock shows for a record (after correctForDisplay): every
// field, whatever the connection type, so the dock always shows what a
// write would send.
QVector<int> toDockValues(const SensorParameters &p);

// The record after the dock's widgets changed. In serial mode the scan angle,
// the Ethernet mode and the address keep their previous values. In Ethernet
// mode the 0.025 deg resolution (10 Hz only) forces the motor speed to 0.
SensorParameters fromDockValues(const QVector<int> &dock, bool ethernet,
                                const SensorParameters &previous);

// The dock's 22 values right after a record was shown; the record is
// corrected in place.
QVector<int> shownAfterRead(SensorParameters &record);

// The record after a project file's sensor section: every field takes the
// file's value as its widget holds it (a combo index past the list is -1, a
// spin box clamps), whatever the connection type, so that the file, the
// dock and what a write sends agree; the 0.025 deg resolution (10 Hz only)
// forces the motor speed to 0. Returns the dock's values.
QVector<int> applyFile(SensorParameters &record, const QVector<int> &fileValues);

} // namespace SensorParameterRules
