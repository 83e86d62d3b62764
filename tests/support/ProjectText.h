#pragma once

#include "core/project/ProjectFile.h"
#include "core/sensor/SensorDockValues.h"
#include "core/zones/ZoneStore.h"

#include <QIODevice>
#include <QStringList>
#include <QTextStream>

// Project file text: what the writer saves for a design, and area blocks
// written out by hand.

inline QByteArray projectBytes(const ZoneStore &s, int model = 3,
                               const QVector<int> &dock = SensorDockValues::defaults())
{
    QByteArray bytes;
    QTextStream out(&bytes, QIODevice::WriteOnly);
    ProjectFile::writeProject(out, model, dock, s);
    out.flush();
    return bytes;
}

// One area block as the writer lays it out: the index, the twelve integers
// of the record, then each output's point lines ("x,y") between its tags.
inline QString areaBlock(int n, const QList<int> &fields, const QStringList &out1 = {},
                         const QStringList &out2 = {}, const QStringList &out3 = {})
{
    QStringList lines{QString::number(n)};
    for (int f : fields)
        lines << QString::number(f);
    const QStringList *outs[3] = {&out1, &out2, &out3};
    for (int c = 1; c <= 3; ++c)
        lines << QStringLiteral("Out%1CoordStr").arg(c) << *outs[c - 1]
              << QStringLiteral("Out%1CoordEnd").arg(c);
    return lines.join('\n') + '\n';
}
