#pragma once

#include <QByteArray>
#include <cstdint>

// The sensor's command frames: a five-letter token, a payload of fixed length
// per token and direction, and a CRC-16/MODBUS sent low byte first. All other
// integers are big-endian.
namespace LinkProtocol {

struct Command {
    const char *token;
    int requestLength; // whole frame, CRC included
    int replyLength;   // 0: no reply
    int crcOver;       // bytes covered by the reply's CRC; 0: the reply has none
    int busyCode;      // what the link holds while the request is outstanding
};

enum BusyCode : int {
    BusyIdle = 0,
    BusyPrda = 1,
    BusyScan = 3,
    BusyStre = 4,
    BusyBoot = 5,
    BusyRArea = 6,
    BusyWArea = 7,
    BusyRPara = 8,
    BusyWPara = 9,
    BusyRCase = 10,
    BusyWCase = 11,
    BusySimu = 12,
    BusyCtrl = 14,
};

extern const Command RBoot, RPrda, RPara, WPara, RArea, WArea, RCase, WCase, WSimu, SCtrl, RScan,
    RStre, RAuto;

// The scan stream packet's magic, and the serial scan replies.
constexpr char kStreamMagic[] = "CRVN";
constexpr int kStreamHeader = 16;
constexpr int kSerialScanLength = 1285;
constexpr int kSerialScanValues = 640;

std::uint16_t crc16(const char *data, int length);
inline std::uint16_t crc16(const QByteArray &data) { return crc16(data.constData(), data.size()); }

// Compares bytes n and n+1 of the frame with the CRC of bytes 0..n-1.
bool CheckFrameCrc(const QByteArray &frame, int n);

// Appends the CRC of everything in frame, low byte first.
void appendCrc(QByteArray &frame);

// Big-endian field access.
void put16(QByteArray &frame, int offset, int value);
int getU16(const QByteArray &frame, int offset);
int getS16(const QByteArray &frame, int offset);

// A request of the given command: token, payload (zero-padded to the
// command's length), CRC.
QByteArray request(const Command &command, const QByteArray &payload = QByteArray());

} // namespace LinkProtocol
