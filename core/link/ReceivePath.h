#pragma once

#include "core/link/LinkProtocol.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <functional>

struct ScanRecord;

// Cutting frames out of the bytes that arrive from the sensor. Every
// operation works on the accumulated receive buffer in place.
namespace ReceivePath {

// At or above this size no parser runs: the buffer is cut back to its last
// scan stream packet, or emptied.
constexpr int kCeiling = 50000;

enum class Take { None, Incomplete, BadCrc, Frame };

// The first occurrence of the command's reply token: when the whole reply is
// buffered its bytes are removed (and only they), and the frame is handed
// back if its CRC passes. Bytes before the token stay. `at` receives where
// the token was (-1: nowhere).
Take takeReply(QByteArray &buffer, const LinkProtocol::Command &command, QByteArray *frame,
               int *at = nullptr);

// A serial RScan/RStre reply: 640 big-endian values stored in reverse order
// of arrival, each clamped to the maximum range.
bool takeSerialScan(QByteArray &buffer, const LinkProtocol::Command &command,
                    std::array<std::uint16_t, 640> &values, int maxRange, int *at = nullptr);

// Every complete scan stream packet in the buffer, into the scan record's
// rings. onSweep runs as each sweep closes, while the rings hold it. Returns
// how many sweeps were closed.
int takeStream(QByteArray &buffer, ScanRecord &scan, int maxRange,
               const std::function<void()> &onSweep = {});

// Which reply tokens occur anywhere in the buffer, found in one pass: the
// parsers of absent tokens have nothing to do. Bit i stands for kReplyTokens[i].
extern const LinkProtocol::Command *const kReplyTokens[12];
std::uint32_t presentTokens(const char *data, int size);

// The 50000-byte rule.
void trimOverfull(QByteArray &buffer);

} // namespace ReceivePath
