#include "core/zones/ZoneStore.h"

ZoneStore::ZoneStore()
    : areas(kAreaCount, AreaRecord()), emptyRecord(), undoSeed(1, AreaRecord())
{
    undoPos.fill(0);
    undoHistory.fill(undoSeed, kAreaCount);
}

int ZoneStore::clampedCurrentArea()
{
    if (currentArea > kAreaCount - 1)
        currentArea = kAreaCount - 1;
    return currentArea;
}

AreaRecord &ZoneStore::currentRecord()
{
    return areas[clampedCurrentArea()];
}

void ZoneStore::copyRecord(AreaRecord &dst, const AreaRecord &src)
{
    if (&dst == &src)
        return;
    for (int i = 0; i < 12; ++i)
        dst.setIntField(i, src.intField(i));
    for (int c = 0; c < kOutputCount; ++c)
        dst.points[c] = src.points[c];
}

void ZoneStore::resetForNewProject()
{
    modified = false;
    for (AreaRecord &a : areas) {
        for (auto &list : a.points)
            list.clear();
        a.openDelay = 0;
        a.closeDelay = 0;
        a.hysteresis = 0;
        a.detectionSize = 0;
        for (int &k : a.shape)
            k = ShapePolygon;
    }
}

void ZoneStore::setAllDetectionSize(int index)
{
    for (AreaRecord &a : areas)
        a.detectionSize = index;
}

void ZoneStore::resetUndo()
{
    for (int n = 0; n < kAreaCount; ++n) {
        undoHistory[n] = QVector<AreaRecord>{areas[n]};
        undoPos[n] = 0;
    }
}

void ZoneStore::saveUndo(int area)
{
    if (area < 0 || area >= kAreaCount)
        return;
    modified = true;
    QVector<AreaRecord> &history = undoHistory[area];
    int &pos = undoPos[area];
    if (pos < history.size() - 1)
        history.erase(history.begin() + pos + 1, history.end());
    if (history.size() > kUndoLimit - 1)
        history.removeFirst();
    history.append(areas[area]);
    pos = history.size() - 1;
}

void ZoneStore::saveAllUndo()
{
    modified = true;
    for (int n = 0; n < kAreaCount; ++n)
        saveUndo(n);
}

void ZoneStore::undo(int area)
{
    modified = true;
    if (area < 0 || area >= kAreaCount)
        return;
    int &pos = undoPos[area];
    const QVector<AreaRecord> &history = undoHistory[area];
    if (pos >= history.size())
        return;
    if (pos > 0) {
        --pos;
        copyRecord(areas[area], history[pos]);
    }
}

void ZoneStore::redo(int area)
{
    modified = true;
    if (area < 0 || area >= kAreaCount)
        return;
    int &pos = undoPos[area];
    const QVector<AreaRecord> &history = undoHistory[area];
    ++pos;
    if (pos >= history.size()) {
        --pos;
        return;
    }
    copyRecord(areas[area], history[pos]);
}
