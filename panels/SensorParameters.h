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
// a filter level above 3 and an install direction above 1 become 0; in
// Ethernet mode a scan angle above 4 becomes 1.
void correctForDisplay(SensorParameters &p, bool ethernet);

// The 22 values the dock shows for a record (after correctForDisplay). In
// serial mode the Ethernet widgets keep what they showed: their entries in
// `shown` are passed through.
QVector<int> toDockValues(const SensorParameters &p, bool ethernet, const QVector<int> &shown);

// The record after the dock's widgets changed. In serial mode the scan angle,
// the Ethernet mode and the address keep their previous values. In Ethernet
// mode the 0.025 deg resolution (10 Hz only) forces the motor speed to 0.
SensorParameters fromDockValues(const QVector<int> &dock, bool ethernet,
                                const SensorParameters &previous);

// The dock's 22 values right after a record was shown (the widgets start
// from `shown`, usually the defaults of a freshly started tool).
QVector<int> shownAfterRead(SensorParameters &record, bool ethernet, const QVector<int> &shown);

// The widgets given new values one by one, as reading a project file does:
// each widget that actually changes updates the record from the whole dock;
// over Ethernet the 0.025 deg resolution also moves the motor speed widget.
// `dock` and `record` are updated in place.
void applyDockValues(QVector<int> &dock, SensorParameters &record, const QVector<int> &values,
                     bool ethernet);

} // namespace SensorParameterRules
