#pragma once

#include <QPoint>
#include <QStringList>
#include <QVector>

// "x,y x,y ..." <-> point lists, so that expectations read like the tables.
inline QVector<QPoint> pts(const QString &text)
{
    QVector<QPoint> list;
    for (const QString &p : text.split(' ', Qt::SkipEmptyParts))
        list << QPoint(p.section(',', 0, 0).toInt(), p.section(',', 1, 1).toInt());
    return list;
}

inline QString str(const QVector<QPoint> &list)
{
    QStringList out;
    for (const QPoint &p : list)
        out << QStringLiteral("%1,%2").arg(p.x()).arg(p.y());
    return out.join(' ');
}
