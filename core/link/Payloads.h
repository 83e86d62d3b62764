#pragma once

#include "core/sensor/SensorParameters.h"
#include "core/zones/AreaRecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <array>
#include <cstdint>

class ZoneStore;
struct SimulationRequest;

// Payloads of the parameter, case, simulation, control and information
// frames. Offsets count from the start of the frame; the payload begins at 5.
namespace Payloads {

// RPara reply / WPara request: 20 unsigned 16-bit fields, 20 reserved bytes.
QByteArray encodeWPara(const SensorParameters &p);
SensorParameters decodeRPara(const QByteArray &frame);

// RCase reply / WCase request: ten bytes per area.
QByteArray encodeWCase(const ZoneStore &store);
// The case values of all 64 areas into the first 64 records.
void decodeRCase(const QByteArray &frame, QVector<AreaRecord> &areas);

QByteArray encodeWSimu(const SimulationRequest &s);

struct SimuReply {
    std::uint32_t inputs; // the byte widened as a signed byte
    std::uint32_t outputs;
    std::int16_t temperature;  // hundredths of a degree
    std::uint16_t rotateSpeed; // r/min
    std::uint16_t driveVoltage;
    std::uint16_t sendVoltage;
    std::uint16_t receiveVoltage;
};
SimuReply decodeWSimuReply(const QByteArray &frame);

// The sensor control record: sleep mode, motor speed, scan angle, filter
// level, enabled.
QByteArray encodeSCtrl(const std::array<int, 5> &control);

QByteArray encodeRAuto(bool on);
QByteArray encodeRArea(int index);

struct ProductInfo {
    int type = 0;
    int firmware = 0; // x 100
    int serial = 0;
    int year = 0;
    int month = 0;
    int day = 0;
};
ProductInfo decodeRPrda(const QByteArray &frame);
// "ZQxxxx-ETH" for type 9; empty for a type without a name.
QString productName(int type);
// The four lines of the product information box; language 1 Chinese, 0 English.
QString productText(const ProductInfo &info, int chinese);

// Status byte of a write reply (offset 5).
int writeStatus(const QByteArray &frame);

} // namespace Payloads
