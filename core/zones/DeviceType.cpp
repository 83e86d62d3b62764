#include "core/zones/DeviceType.h"

namespace {
const DeviceModelInfo kModels[kDeviceModelCount] = {
    {"Laser05", "TRV_ZQ_05", ".ZQ05", 12000, 6000, 70},
    {"Laser10", "TRV_ZQ_10", ".ZQ10", 24000, 12000, 30},
    {"Laser20", "TRV_ZQ_20", ".ZQ20", 48000, 24000, -20},
    {"Laser30", "TRV_ZQ_30", ".ZQ30", 72000, 36000, -55},
    {"Laser50", "TRV_ZQ_50", ".ZQ50", 120000, 60000, -90},
};
} // namespace

bool isValidDeviceModel(int type)
{
    return type >= 0 && type < kDeviceModelCount;
}

const DeviceModelInfo *deviceModelInfo(int type)
{
    return isValidDeviceModel(type) ? &kModels[type] : nullptr;
}

int deviceModelFromHeader(const QString &line)
{
    for (int i = 0; i < kDeviceModelCount; ++i)
        if (line == QLatin1String(kModels[i].header))
            return i;
    return -1;
}

int deviceModelFromName(const QString &name)
{
    for (int i = 0; i < kDeviceModelCount; ++i)
        if (name == QLatin1String(kModels[i].name))
            return i;
    return -1;
}

QString deviceModelFilter(int type)
{
    const DeviceModelInfo *m = deviceModelInfo(type);
    return m ? QStringLiteral("(*%1)").arg(QLatin1String(m->suffix)) : QString();
}

QString withDeviceSuffix(const QString &fileName, int type)
{
    const DeviceModelInfo *m = deviceModelInfo(type);
    if (!m)
        return fileName;
    const QString suffix = QLatin1String(m->suffix);
    // Only the last five characters count, compared case-sensitively.
    if (fileName.right(5) == suffix)
        return fileName;
    return fileName + suffix;
}
