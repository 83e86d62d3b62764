#include "core/link/LinkProtocol.h"

namespace LinkProtocol {

const Command RBoot = {"RBoot", 7, 8, 6, BusyBoot};
const Command RPrda = {"RPrda", 7, 509, 507, BusyPrda};
const Command RPara = {"RPara", 7, 67, 65, BusyRPara};
const Command WPara = {"WPara", 67, 8, 6, BusyWPara};
const Command RArea = {"RArea", 9, 1264, 1262, BusyRArea};
const Command WArea = {"WArea", 1264, 8, 6, BusyWArea};
const Command RCase = {"RCase", 7, 647, 645, BusyRCase};
const Command WCase = {"WCase", 647, 8, 6, BusyWCase};
const Command WSimu = {"WSimu", 18, 23, 21, BusySimu};
const Command SCtrl = {"SCtrl", 12, 12, 10, BusyCtrl};
const Command RScan = {"RScan", 7, kSerialScanLength, 0, BusyScan};
const Command RStre = {"RStre", 7, kSerialScanLength, 0, BusyStre};
const Command RAuto = {"RAuto", 8, 0, 0, BusyIdle};

std::uint16_t crc16(const char *data, int length)
{
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < length; ++i) {
        crc ^= std::uint8_t(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0xA001) : std::uint16_t(crc >> 1);
    }
    return crc;
}

bool CheckFrameCrc(const QByteArray &frame, int n)
{
    if (n < 0 || frame.size() < n + 2)
        return false;
    const std::uint16_t crc = crc16(frame.constData(), n);
    return std::uint8_t(frame[n]) == (crc & 0xFF) && std::uint8_t(frame[n + 1]) == (crc >> 8);
}

void appendCrc(QByteArray &frame)
{
    const std::uint16_t crc = crc16(frame);
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
}

void put16(QByteArray &frame, int offset, int value)
{
    frame[offset] = char((value >> 8) & 0xFF);
    frame[offset + 1] = char(value & 0xFF);
}

int getU16(const QByteArray &frame, int offset)
{
    return (std::uint8_t(frame[offset]) << 8) | std::uint8_t(frame[offset + 1]);
}

int getS16(const QByteArray &frame, int offset)
{
    return std::int16_t(std::uint16_t(getU16(frame, offset)));
}

QByteArray request(const Command &command, const QByteArray &payload)
{
    QByteArray frame(command.requestLength - 2, '\0');
    frame.replace(0, 5, QByteArray::fromRawData(command.token, 5));
    const int room = command.requestLength - 7;
    frame.replace(5, qMin(payload.size(), room), payload.left(room));
    appendCrc(frame);
    return frame;
}

} // namespace LinkProtocol
