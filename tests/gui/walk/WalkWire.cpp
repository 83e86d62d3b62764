#include "tests/gui/walk/WalkWire.h"

#include <QMap>
#include <QStringList>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace Walk {

namespace {
// Frame offsets of the area frame; images start at frame byte 5.
constexpr int kBlock[3] = {14, 30, 46};
constexpr int kPointOffset[3] = {62, 462, 862};
constexpr int kParams = 6;

void put16(QByteArray &b, int frameOffset, int v)
{
    b[frameOffset - 5] = char((v >> 8) & 0xFF);
    b[frameOffset - 4] = char(v & 0xFF);
}
int getU16(const QByteArray &b, int frameOffset)
{
    return (std::uint8_t(b[frameOffset - 5]) << 8) | std::uint8_t(b[frameOffset - 4]);
}
int getS16(const QByteArray &b, int frameOffset)
{
    return std::int16_t(getU16(b, frameOffset));
}
int s16(int v)
{
    return std::int16_t(v & 0xFFFF);
}
} // namespace

bool WireOutput::operator==(const WireOutput &o) const
{
    return kind == o.kind && count == o.count && arcStart == o.arcStart && arcEnd == o.arcEnd &&
           arcRadius == o.arcRadius && std::equal(dependent, dependent + 3, o.dependent) &&
           pointSlots == o.pointSlots;
}

bool WireArea::operator==(const WireArea &o) const
{
    return std::equal(params, params + 4, o.params) && out[0] == o.out[0] && out[1] == o.out[1] &&
           out[2] == o.out[2];
}

QString WireArea::describe() const
{
    const auto n = [](int v) { return QString::number(v); };
    QStringList parts{QStringLiteral("params=%1,%2,%3,%4")
                          .arg(n(params[0]), n(params[1]), n(params[2]), n(params[3]))};
    for (int c = 0; c < 3; ++c) {
        const WireOutput &w = out[c];
        parts << QStringLiteral("out%1 kind=%2 n=%3 arc=%4..%5 r%6 dep=%7 slots=%8")
                     .arg(n(c + 1), n(w.kind), n(w.count), n(w.arcStart), n(w.arcEnd),
                          n(w.arcRadius), n(w.dependent[0]),
                          describePoints(w.pointSlots.mid(0, qBound(0, w.count, 100))));
    }
    return parts.join(QLatin1Char(' '));
}

WireArea toWire(const ModelArea &a)
{
    WireArea w;
    for (int i = 0; i < 4; ++i)
        w.params[i] = a.f[size_t(i)] & 0xFFFF;
    for (int c = 0; c < 3; ++c) {
        WireOutput &o = w.out[c];
        const QVector<QPoint> &p = a.pts[c];
        o.kind = a.kind(c) & 0xFFFF;
        o.count = p.size() & 0xFFFF;
        if (a.kind(c) == 1 && p.size() == 2) {
            const float t0 = Geo::wireTheta(p[0]), t1 = Geo::wireTheta(p[1]);
            o.arcStart = s16(int(std::min(t0, t1) * Geo::kRadToDeg));
            o.arcEnd = s16(int(std::max(t0, t1) * Geo::kRadToDeg));
            o.arcRadius = int(Geo::toPolar(p[0]).r) & 0xFFFF;
        } else if (a.kind(c) >= 3 && a.kind(c) <= 5 && !p.isEmpty()) {
            for (int &d : o.dependent)
                d = p[0].y() & 0xFFFF;
        } else if (a.kind(c) == 0 || a.kind(c) == 2) {
            QMap<float, QPoint> byAngle;
            for (const QPoint &q : p)
                byAngle.insert(Geo::wireTheta(q), q);
            int slot = 0;
            for (const QPoint &q : byAngle) {
                if (slot == 100)
                    break;
                o.pointSlots[slot++] = QPoint(s16(q.x()), s16(q.y()));
            }
        }
    }
    return w;
}

namespace {
// The sensor lists a rectangle's corners by angle; read back, they go round
// the rectangle again from the first one listed, as the editors keep them.
void editingOrder(QVector<QPoint> &c)
{
    if (c.size() != 4)
        return;
    QVector<int> xs, ys;
    for (const QPoint &p : c) {
        if (!xs.contains(p.x()))
            xs << p.x();
        if (!ys.contains(p.y()))
            ys << p.y();
    }
    if (xs.size() != 2 || ys.size() != 2)
        return;
    for (int x : xs)
        for (int y : ys)
            if (!c.contains(QPoint(x, y)))
                return;
    const QPoint p0 = c[0];
    const int x2 = xs[0] == p0.x() ? xs[1] : xs[0];
    const int y2 = ys[0] == p0.y() ? ys[1] : ys[0];
    c = {p0, QPoint(p0.x(), y2), QPoint(x2, y2), QPoint(x2, p0.y())};
}
// An Arc point read back: the truncated point when it goes back as the same
// whole degrees (and, where asked, the same radius), else the nearest such
// point within three millimetres.
QPoint arcPointAsKept(int radius, int deg, bool keepRadius)
{
    const float r = float(radius), theta = float(deg) * Geo::kDegToRad;
    const QPoint plain(int(qFastCos(theta) * r), int(qFastSin(theta) * r));
    return Geo::pointGoingAs(plain, radius, deg, keepRadius);
}
} // namespace

ModelArea fromWire(const WireArea &w, const ModelArea &before)
{
    ModelArea a = before;
    for (int i = 0; i < 4; ++i)
        a.f[size_t(i)] = w.params[i];
    for (int c = 0; c < 3; ++c) {
        const WireOutput &o = w.out[c];
        const int kindByte = o.kind & 0xFF;
        if (kindByte <= 5)
            a.f[size_t(ModelArea::Kind1 + c)] = kindByte;
        QVector<QPoint> &p = a.pts[c];
        const int kind = a.kind(c);
        if (kind == 1) {
            p.clear();
            // Both keep the radius where they can; the second its angle first.
            p << arcPointAsKept(o.arcRadius, o.arcStart, true);
            QPoint second = arcPointAsKept(o.arcRadius, o.arcEnd, true);
            if (int(Geo::wireTheta(second) * Geo::kRadToDeg) != o.arcEnd)
                second = arcPointAsKept(o.arcRadius, o.arcEnd, false);
            p << second;
        } else if (kind >= 3 && kind <= 5) {
            p = {QPoint(0, o.dependent[kind - 3] & 0xFFFF)};
        } else if (kind == 0 || kind == 2) {
            p.clear();
            if (o.count >= 1 && o.count <= 100)
                p = o.pointSlots.mid(0, o.count);
            if (kind == 2)
                editingOrder(p);
        }
    }
    return a;
}

QByteArray imageOf(int index, const WireArea &w)
{
    QByteArray b(kImageSize, '\0');
    b[0] = char(index);
    for (int i = 0; i < 4; ++i)
        put16(b, kParams + 2 * i, w.params[i]);
    for (int c = 0; c < 3; ++c) {
        const WireOutput &o = w.out[c];
        const int k = kBlock[c];
        put16(b, k, o.kind);
        put16(b, k + 2, o.count);
        put16(b, k + 4, o.arcStart);
        put16(b, k + 6, o.arcEnd);
        put16(b, k + 8, o.arcRadius);
        for (int d = 0; d < 3; ++d)
            put16(b, k + 10 + 2 * d, o.dependent[d]);
        for (int s = 0; s < 100; ++s) {
            put16(b, kPointOffset[c] + 4 * s, o.pointSlots[s].x());
            put16(b, kPointOffset[c] + 4 * s + 2, o.pointSlots[s].y());
        }
    }
    return b;
}

WireArea wireOfImage(const QByteArray &b)
{
    WireArea w;
    for (int i = 0; i < 4; ++i)
        w.params[i] = getU16(b, kParams + 2 * i);
    for (int c = 0; c < 3; ++c) {
        WireOutput &o = w.out[c];
        const int k = kBlock[c];
        o.kind = getU16(b, k);
        o.count = getU16(b, k + 2);
        o.arcStart = getS16(b, k + 4);
        o.arcEnd = getS16(b, k + 6);
        o.arcRadius = getU16(b, k + 8);
        for (int d = 0; d < 3; ++d)
            o.dependent[d] = getU16(b, k + 10 + 2 * d);
        for (int s = 0; s < 100; ++s)
            o.pointSlots[s] =
                QPoint(getS16(b, kPointOffset[c] + 4 * s), getS16(b, kPointOffset[c] + 4 * s + 2));
    }
    return w;
}

bool CaseValues::operator==(const CaseValues &o) const
{
    return std::equal(v, v + 5, o.v);
}

QByteArray stateFileOf(const SensorState &s)
{
    QByteArray out("SECTORSIM1");
    for (int a = 0; a < kAreas; ++a)
        out += imageOf(a, s.areas[a]);
    QByteArray cases(640, '\0');
    for (int a = 0; a < kAreas; ++a)
        for (int i = 0; i < 5; ++i) {
            cases[10 * a + 2 * i] = char((s.cases[a].v[i] >> 8) & 0xFF);
            cases[10 * a + 2 * i + 1] = char(s.cases[a].v[i] & 0xFF);
        }
    out += cases;
    for (int v : s.params)
        out += char((v >> 8) & 0xFF), out += char(v & 0xFF);
    return out;
}

bool parseStateFile(const QByteArray &bytes, SensorState *out)
{
    if (bytes.size() != 10 + kAreas * kImageSize + 640 + 40 || !bytes.startsWith("SECTORSIM1"))
        return false;
    int at = 10;
    for (int a = 0; a < kAreas; ++a, at += kImageSize)
        out->areas[a] = wireOfImage(bytes.mid(at, kImageSize));
    const auto u16 = [&bytes](int i) {
        return (std::uint8_t(bytes[i]) << 8) | std::uint8_t(bytes[i + 1]);
    };
    for (int a = 0; a < kAreas; ++a)
        for (int i = 0; i < 5; ++i)
            out->cases[a].v[i] = std::int16_t(u16(at + 10 * a + 2 * i));
    at += 640;
    for (int i = 0; i < 20; ++i)
        out->params[size_t(i)] = u16(at + 2 * i);
    return true;
}

SensorState stateOfDesign(const QVector<ModelArea> &areas, const Params &params)
{
    SensorState s;
    for (int a = 0; a < kAreas; ++a) {
        s.areas[a] = toWire(areas[a]);
        for (int i = 0; i < 5; ++i)
            s.cases[a].v[i] = s16(areas[a].f[size_t(ModelArea::SteerMin + i)]);
    }
    for (int i = 0; i < 20; ++i)
        s.params[size_t(i)] = params[size_t(i)] & 0xFFFF;
    return s;
}

// ---------------------------------------------------------------- project file

QString headerOf(int device)
{
    static const char *const h[5] = {"TRV_ZQ_05", "TRV_ZQ_10", "TRV_ZQ_20", "TRV_ZQ_30",
                                     "TRV_ZQ_50"};
    return QString::fromLatin1(h[qBound(0, device, 4)]);
}

QString suffixOf(int device)
{
    return QLatin1Char('.') + headerOf(device).mid(4).remove(QLatin1Char('_'));
}

bool parseProject(const QByteArray &bytes, ProjectContent *out, QString *why)
{
    const QStringList lines = QString::fromLatin1(bytes).split(QLatin1Char('\n'));
    int at = 0;
    const auto next = [&]() -> QString { return at < lines.size() ? lines[at++] : QString(); };
    const auto fail = [&](const QString &what) {
        *why = QStringLiteral("line %1: %2").arg(at).arg(what);
        return false;
    };
    const auto number = [&](int *v) {
        bool ok = false;
        *v = next().toInt(&ok);
        return ok;
    };
    if (!bytes.endsWith('\n'))
        return fail(QStringLiteral("no line break at the end"));
    out->header = next();
    if (next() != QLatin1String("SensorSetting"))
        return fail(QStringLiteral("no SensorSetting"));
    out->dock.clear();
    for (int i = 0; i < 22; ++i) {
        int v;
        if (!number(&v))
            return fail(QStringLiteral("sensor value not a number"));
        out->dock << v;
    }
    if (next() != QLatin1String("CoordTableData"))
        return fail(QStringLiteral("no CoordTableData"));
    out->areas = QVector<ModelArea>(kAreas);
    for (int a = 0; a < kAreas; ++a) {
        int index;
        if (!number(&index) || index != a)
            return fail(QStringLiteral("area %1 missing").arg(a));
        ModelArea &m = out->areas[a];
        for (int &v : m.f)
            if (!number(&v))
                return fail(QStringLiteral("area %1 field not a number").arg(a));
        for (int c = 0; c < 3; ++c) {
            if (next() != QStringLiteral("Out%1CoordStr").arg(c + 1))
                return fail(QStringLiteral("area %1 Out%2 start tag").arg(a).arg(c + 1));
            for (QString l = next(); l != QStringLiteral("Out%1CoordEnd").arg(c + 1); l = next()) {
                const QStringList xy = l.split(QLatin1Char(','));
                bool okX = false, okY = false;
                if (xy.size() != 2 || at >= lines.size())
                    return fail(
                        QStringLiteral("area %1 Out%2 point \"%3\"").arg(a).arg(c + 1).arg(l));
                m.pts[c] << QPoint(xy[0].toInt(&okX), xy[1].toInt(&okY));
                if (!okX || !okY)
                    return fail(QStringLiteral("area %1 point \"%2\"").arg(a).arg(l));
            }
        }
    }
    if (next() != QLatin1String("CoordTableDataEnd"))
        return fail(QStringLiteral("no CoordTableDataEnd"));
    if (at != lines.size() - 1 || !lines.last().isEmpty())
        return fail(QStringLiteral("lines after the end tag"));
    return true;
}

// ---------------------------------------------------------------- seeding

namespace {
QPoint randomPoint(QRandomGenerator &rng, int reach)
{
    return QPoint(rng.bounded(-reach, reach + 1), rng.bounded(-reach / 3, reach + 1));
}
} // namespace

SensorState randomSensorState(QRandomGenerator &rng)
{
    SensorState s;
    for (int a = 0; a < kAreas; ++a) {
        ModelArea m;
        m.f[0] = rng.bounded(26);
        m.f[1] = rng.bounded(26);
        m.f[2] = rng.bounded(11);
        m.f[3] = rng.bounded(10);
        for (int c = 0; c < 3; ++c) {
            const int kind = c == 0 ? rng.bounded(3) : rng.bounded(6);
            m.f[size_t(ModelArea::Kind1 + c)] = kind;
            QVector<QPoint> &p = m.pts[c];
            if (kind == 0) {
                for (int n = rng.bounded(rng.bounded(4) == 0 ? 100 : 8); n > 0; --n)
                    p << randomPoint(rng, 6000);
            } else if (kind == 1) {
                const int r = rng.bounded(100, 20000);
                const float t0 = float(rng.bounded(-80, 250)) * Geo::kDegToRad;
                const float t1 = float(rng.bounded(-80, 250)) * Geo::kDegToRad;
                p << Geo::fromPolar(float(r), t0) << Geo::fromPolar(float(r), t1);
            } else if (kind == 2) {
                const QPoint c0 = randomPoint(rng, 5000), c2 = randomPoint(rng, 5000);
                p << c0 << QPoint(c0.x(), c2.y()) << c2 << QPoint(c2.x(), c0.y());
            } else {
                p << QPoint(0, rng.bounded(0, 30000));
            }
        }
        s.areas[a] = toWire(m);
        s.cases[a].v[0] = rng.bounded(-180, 181);
        s.cases[a].v[1] = rng.bounded(-180, 181);
        s.cases[a].v[2] = rng.bounded(-300, 301);
        s.cases[a].v[3] = rng.bounded(-300, 301);
        s.cases[a].v[4] = rng.bounded(6);
    }
    // Parameters the settings dock can show as they are.
    static const int items[18] = {6, 5, 3, 3, 0, 5, 3, 3, 0, 4, 2, 2, 5, 4, 2, 2, 6, 2};
    for (int i = 0; i < 18; ++i)
        s.params[size_t(i)] = items[i] ? rng.bounded(items[i]) : rng.bounded(1, 128);
    s.params[14] = 0; // the mounting direction is never edited
    if (s.params[12] == 0)
        s.params[11] = 0; // 0.025 deg runs at 10 Hz only
    s.params[18] = (rng.bounded(192, 224) << 8) | rng.bounded(256);
    s.params[19] = (rng.bounded(256) << 8) | rng.bounded(1, 255);
    return s;
}

} // namespace Walk
