#include "core/zones/AreaRecord.h"

namespace {
int *fieldPtr(AreaRecord &r, int i)
{
    switch (i) {
    case 0: return &r.openDelay;
    case 1: return &r.closeDelay;
    case 2: return &r.hysteresis;
    case 3: return &r.detectionSize;
    case 4: return &r.steerMin;
    case 5: return &r.steerMax;
    case 6: return &r.speedMin;
    case 7: return &r.speedMax;
    case 8: return &r.operationMode;
    case 9: return &r.shape[0];
    case 10: return &r.shape[1];
    case 11: return &r.shape[2];
    default: return nullptr;
    }
}
} // namespace

int AreaRecord::intField(int i) const
{
    const int *p = fieldPtr(const_cast<AreaRecord &>(*this), i);
    return p ? *p : 0;
}

void AreaRecord::setIntField(int i, int value)
{
    if (int *p = fieldPtr(*this, i))
        *p = value;
}

bool AreaRecord::operator==(const AreaRecord &o) const
{
    for (int i = 0; i < 12; ++i)
        if (intField(i) != o.intField(i))
            return false;
    for (int c = 0; c < kOutputCount; ++c)
        if (points[c] != o.points[c])
            return false;
    return true;
}
