#include "tests/gui/walk/WalkActions.h"

#include <QStringList>

namespace Walk {

namespace {
const char *const kFileNames[] = {"new", "same", "cancel", "bad", "missing", "old"};
const char *const kKeys[] = {"Down", "Up", "Home", "End"};

QString file(int choice)
{
    return QString::fromLatin1(kFileNames[qBound(0, choice, 5)]);
}
} // namespace

QString Action::describe() const
{
    switch (kind) {
    case Act::TypeCell:
        return QStringLiteral("type %1 row#%2 col %3 \"%4\"")
            .arg(a ? "polar" : "xy")
            .arg(b)
            .arg(c)
            .arg(text);
    case Act::DeleteRow:
        return QStringLiteral("Delete key in %1 table row#%2").arg(a ? "polar" : "xy").arg(b);
    case Act::Drag:
        return QStringLiteral("drag handle#%1 by (%2,%3) px").arg(a).arg(b).arg(c) +
               (d == kKeepZoom ? QString() : QStringLiteral(" at zoom %1").arg(d));
    case Act::RightClick: return QStringLiteral("right-click handle#%1").arg(a);
    case Act::ViewDelete: return QStringLiteral("click handle#%1, Delete key in view").arg(a);
    case Act::Shape: return QStringLiteral("shape button %1").arg(kKindNames[qBound(0, b, 5)]);
    case Act::Combo:
        return QStringLiteral("%1: %2 x%3")
            .arg(kComboNames[qBound(0, a, 4)], kKeys[qBound(0, b, 3)])
            .arg(c);
    case Act::Spin:
        return QStringLiteral("%1 type %2 Enter").arg(kSpinNames[qBound(0, a, 3)]).arg(b);
    case Act::Undo: return QStringLiteral("Undo");
    case Act::Redo: return QStringLiteral("Redo");
    case Act::Copy: return QStringLiteral("Copy");
    case Act::Cut: return QStringLiteral("Cut");
    case Act::Paste: return QStringLiteral("Paste");
    case Act::DeleteArea: return QStringLiteral("Delete area");
    case Act::DeleteAll: return QStringLiteral("Delete all");
    case Act::SelectArea: return QStringLiteral("click area %1 in the list").arg(a);
    case Act::SelectOutput:
        return QStringLiteral("output tab Out%1%2").arg(a + 1).arg(b ? " by keyboard" : "");
    case Act::SensorParam: return QStringLiteral("sensor field %1 := %2").arg(a).arg(b);
    case Act::New:
        return QStringLiteral("New Laser%1, answer %2")
            .arg(a == 4 ? 50 : 30)
            .arg(b ? "Cancel" : "OK");
    case Act::Save: return QStringLiteral("Save to %1 file").arg(file(a));
    case Act::Open: return QStringLiteral("Open %1 file#%2").arg(file(a)).arg(b);
    case Act::Close:
        return QStringLiteral("close window, answer %1, %2 file")
            .arg(QStringList{"Save", "Close", "Cancel"}.value(a), file(b));
    case Act::Connect:
        return QStringLiteral("connect %1, answer %2, %3 file")
            .arg(a ? "serial" : "TCP", QStringList{"Save", "Replace", "Keep"}.value(b), file(c));
    case Act::WriteAll: return QStringLiteral("Write All");
    case Act::ReadAll:
        return QStringLiteral("Read All, answer %1, %2 file")
            .arg(QStringList{"Save", "Replace", "Keep"}.value(b), file(c));
    case Act::Disconnect: return QStringLiteral("Disconnect");
    case Act::IoSelect: return QStringLiteral("IO simulation: inputs select area %1").arg(a);
    case Act::Monitor:
        if (a)
            return b ? QStringLiteral("monitoring: close the edition dock")
                     : QStringLiteral("monitoring: Monitoring action");
        return QStringLiteral("edition: Edition action");
    case Act::Wait: return QStringLiteral("wait %1 ms").arg(a);
    }
    return QString();
}

QString Action::serialize() const
{
    QStringList f;
    for (int v : {int(kind), a, b, c, d})
        f << QString::number(v);
    return (f << QString::fromLatin1(text.toUtf8().toBase64())).join(' ');
}

bool Action::parse(const QString &line, Action *out)
{
    const QStringList f = line.split(QLatin1Char(' '));
    if (f.size() < 5 || f.size() > 6)
        return false;
    bool ok = true;
    int v[5];
    for (int i = 0; i < 5; ++i) {
        bool one = false;
        v[i] = f[i].toInt(&one);
        ok = ok && one;
    }
    *out =
        Action{Act(v[0]), v[1], v[2],
               v[3],      v[4], QString::fromUtf8(QByteArray::fromBase64(f.value(5).toLatin1()))};
    return ok && v[0] >= 0 && v[0] <= int(Act::Wait);
}

namespace {

QString typedText(QRandomGenerator &rng, bool polar, int column)
{
    const int r = rng.bounded(100);
    if (r < 10) {
        static const char *const junk[] = {"abc", "", "1,5", "--3", "12a", "x", " ", "0x10"};
        return QString::fromLatin1(junk[rng.bounded(8)]);
    }
    if (r < 20) {
        static const char *const huge[] = {"99999", "-70000", "1e9",    "-123456789",
                                           "40000", "32768",  "-32769", "2147483648"};
        return QString::fromLatin1(huge[rng.bounded(8)]);
    }
    if (r < 25)
        return QStringLiteral("0");
    if (r < 40) {
        // Fractions: rounding and truncation.
        const double v = rng.bounded(6000.0) - 3000.0;
        return QString::number(v, 'f', rng.bounded(1, 3));
    }
    if (polar && column == 2)
        return QString::number(rng.bounded(-90, 270));
    if (polar)
        return QString::number(rng.bounded(0, 5000));
    return QString::number(rng.bounded(-4000, 4001));
}

int smallArea(QRandomGenerator &rng)
{
    // Mostly a few areas, so that edits meet again.
    return rng.bounded(4) == 0 ? rng.bounded(64) : rng.bounded(4);
}

struct Weighted {
    Act act;
    int weight;
};

} // namespace

Action generateAction(QRandomGenerator &rng, const DesignModel &m, const WalkView &v,
                      const WalkMix &mix)
{
    const bool edit = mix.editing && !v.monitoring;
    QVector<Weighted> table;
    const auto add = [&table](Act a, int w, bool on) {
        if (on && w > 0)
            table.append({a, w});
    };
    add(Act::TypeCell, 180, edit);
    add(Act::DeleteRow, 25, edit);
    add(Act::Drag, 120, mix.editing);
    add(Act::RightClick, 25, mix.editing);
    add(Act::ViewDelete, 20, mix.editing);
    add(Act::Shape, 60, edit);
    add(Act::Combo, 50, edit);
    add(Act::Spin, 35, edit);
    add(Act::Undo, 70, mix.editing);
    add(Act::Redo, 40, mix.editing);
    add(Act::Copy, 20, mix.editing);
    add(Act::Cut, 12, mix.editing);
    add(Act::Paste, 25, mix.editing);
    add(Act::DeleteArea, 10, mix.editing);
    add(Act::DeleteAll, 3, mix.editing);
    add(Act::SelectArea, 70, edit);
    add(Act::SelectOutput, 50, edit);
    add(Act::SensorParam, 15, mix.editing);
    add(Act::New, 8, mix.editing || mix.files);
    add(Act::Save, 20, mix.files);
    add(Act::Open, v.hasSaved ? 15 : 3, mix.files);
    add(Act::Close, 4, mix.close);
    add(Act::Connect, 18, mix.link && !v.connected);
    add(Act::WriteAll, 15, mix.link && v.connected);
    add(Act::ReadAll, 8, mix.link && v.connected);
    add(Act::Disconnect, 10, mix.link && v.connected);
    add(Act::IoSelect, 15, mix.link && v.connected);
    add(Act::Monitor, v.monitoring ? 30 : 15, mix.link);
    add(Act::Wait, 5, mix.link && v.connected);

    int total = 0;
    for (const Weighted &w : table)
        total += w.weight;
    int pick = rng.bounded(total);
    Act kind = table.first().act;
    for (const Weighted &w : table) {
        if (pick < w.weight) {
            kind = w.act;
            break;
        }
        pick -= w.weight;
    }

    Action a;
    a.kind = kind;
    switch (kind) {
    case Act::TypeCell:
        a.a = rng.bounded(4) == 0 ? 1 : 0;
        // The blank row of a polygon a quarter of the time.
        a.b = rng.bounded(4) == 0 ? 999 : rng.bounded(1000);
        a.c = rng.bounded(1, 3);
        a.text = typedText(rng, a.a == 1, a.c);
        break;
    case Act::DeleteRow:
        a.a = rng.bounded(2);
        a.b = rng.bounded(1000);
        break;
    case Act::Drag: {
        a.a = rng.bounded(6) == 0 ? 999 : rng.bounded(1000);
        do {
            a.b = rng.bounded(-60, 61);
            a.c = rng.bounded(-60, 61);
        } while (a.b == 0 && a.c == 0);
        static const int zooms[] = {0, 50, 100};
        a.d = zooms[rng.bounded(3)];
        if (!mix.zoom)
            a.d = kKeepZoom;
        break;
    }
    case Act::RightClick:
    case Act::ViewDelete: a.a = rng.bounded(1000); break;
    case Act::Shape: {
        // Rectangles rarely: their template cannot travel until spread out.
        static const int kinds[] = {0, 0, 1, 1, 2, 3, 4};
        a.b = kinds[rng.bounded(7)];
        if (m.channel == 0 && a.b > 2)
            a.b = rng.bounded(2);
        break;
    }
    case Act::Combo:
        a.a = rng.bounded(5);
        a.b = rng.bounded(4);
        a.c = a.b >= 2 ? 1 : rng.bounded(1, 4);
        break;
    case Act::Spin:
        a.a = rng.bounded(4);
        a.b = a.a < 2 ? rng.bounded(-180, 181) : rng.bounded(-300, 301);
        break;
    case Act::SelectArea: a.a = smallArea(rng); break;
    case Act::SelectOutput:
        a.a = rng.bounded(3);
        a.b = rng.bounded(5) == 0 && mix.keyboardTabs ? 1 : 0;
        break;
    case Act::SensorParam: {
        static const int fields[] = {10, 13, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        static const int items[] = {2, 4, 5, 3, 3, 127, 5, 3, 3, 127, 4};
        const int i = rng.bounded(11);
        a.a = fields[i];
        a.b = items[i] == 127 ? rng.bounded(1, 128) : rng.bounded(items[i]);
        break;
    }
    case Act::New:
        a.a = rng.bounded(4) == 0 ? 4 : 3;
        a.b = rng.bounded(5) == 0 ? 1 : 0;
        break;
    case Act::Save: {
        const int r = rng.bounded(100);
        a.a = r < 65 ? FileNew : r < 75 ? FileSame : r < 85 ? FileCancel : FileBad;
        a.b = rng.bounded(2); // 1: the name is typed without its suffix
        break;
    }
    case Act::Open: {
        const int r = rng.bounded(100);
        a.a = r < 75 ? FileOld : r < 88 ? FileCancel : FileMissing;
        a.b = rng.bounded(1000);
        break;
    }
    case Act::Close: {
        const int r = rng.bounded(100);
        a.a = r < 45 ? 0 : r < 55 ? 1 : 2;
        const int f = rng.bounded(100);
        a.b = f < 45 ? FileCancel : f < 75 ? FileBad : FileNew;
        break;
    }
    case Act::ReadAll:
    case Act::Connect: {
        a.a = rng.bounded(10) < 7 ? 0 : 1;
        const int r = rng.bounded(100);
        a.b = r < 35 ? 0 : r < 70 ? 1 : 2;
        const int f = rng.bounded(100);
        a.c = f < 70 ? FileNew : f < 90 ? FileCancel : FileBad;
        break;
    }
    case Act::IoSelect: a.a = smallArea(rng); break;
    case Act::Monitor:
        a.a = v.monitoring ? 0 : 1;
        a.b = rng.bounded(3) == 0 ? 1 : 0;
        break;
    case Act::Wait: a.a = rng.bounded(100, 600); break;
    default: break;
    }
    return a;
}

} // namespace Walk
