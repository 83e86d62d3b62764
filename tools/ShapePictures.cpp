#include "tools/ShapePictures.h"

#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "graphics/StandaloneView.h"
#include "graphics/ViewWindow.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

using Points = QVector<QPoint>;

// The warning field of a forklift driving forward, used as the parent of the
// dependent kinds.
const Points kWarning{{1500, -300}, {1500, 2500},  {900, 4000},
                      {-900, 4000}, {-1500, 2500}, {-1500, -300}};

constexpr int kModel = 3; // the 36 m model
const QSize kSize(560, 470);
constexpr int kZoom = 33; // about 11 m across

struct Canvas {
    ViewWindow *view;
    QPainter *painter;
    QPointF at(double x, double y) const { return QPointF(view->mapFromScene(QPointF(x, -y))); }
    double pixels(double mm) const { return at(mm, 0).x() - at(0, 0).x(); }
};

void label(const Canvas &c, const QPointF &where, const QString &text)
{
    QPainter &p = *c.painter;
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    QPainterPath path;
    path.addText(where, f, text);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.fillPath(path, QColor(20, 40, 90));
}

void dashed(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 40, 90), 1.6, Qt::DashLine));
}

// A forklift body behind the sensor, its wheels and the travel direction.
void vehicle(const Canvas &c)
{
    QPainter &p = *c.painter;
    const QRectF body(c.at(-650, 0), c.at(650, -2600));
    p.setPen(QPen(QColor(40, 40, 50), 2));
    p.setBrush(QColor(90, 95, 110, 170));
    p.drawRoundedRect(body.normalized(), 6, 6);
    p.setBrush(QColor(30, 30, 35));
    for (double x : {-720.0, 580.0})
        for (double y : {-500.0, -2100.0})
            p.drawRect(QRectF(c.at(x, y), c.at(x + 140, y - 420)).normalized());
    p.setPen(QPen(Qt::white, 3));
    const QPointF tail = c.at(0, -1900), head = c.at(0, -700);
    p.drawLine(tail, head);
    p.drawLine(head, c.at(-250, -1000));
    p.drawLine(head, c.at(250, -1000));
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::black);
    p.drawEllipse(c.at(0, 0), 6, 6);
}

QImage draw(const AreaRecord &area, int output, const std::function<void(const Canvas &)> &marks)
{
    ZoneStore store;
    ScanRecord scan;
    ZoneStore::copyRecord(store.areas[0], area);
    StandaloneView v(&store, &scan, kModel, kSize);
    v.setZoom(kZoom);
    v.showPicture(0, output);
    v.view()->centerOn(0, -900);
    v.grab(); // the dependent zones take their parent from the first paint
    QImage image = v.grab();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const Canvas c{v.view(), &p};
    vehicle(c);
    if (marks)
        marks(c);
    return image;
}

AreaRecord record(int kind1, const Points &out1, int kind2 = 0, const Points &out2 = {},
                  int kind3 = 0, const Points &out3 = {})
{
    AreaRecord a;
    a.shape[0] = kind1;
    a.shape[1] = kind2;
    a.shape[2] = kind3;
    a.points[0] = out1;
    a.points[1] = out2;
    a.points[2] = out3;
    return a;
}

void corners(const Canvas &c, const Points &pts, bool numbered)
{
    QPainter &p = *c.painter;
    for (int i = 0; i < pts.size(); ++i) {
        const QPointF at = c.at(pts[i].x(), pts[i].y());
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(QColor(20, 40, 200));
        p.drawRect(QRectF(at - QPointF(4, 4), QSizeF(8, 8)));
        if (numbered)
            label(c, at + QPointF(pts[i].x() >= 0 ? 8 : -30, pts[i].y() > 1000 ? -8 : 18),
                  QStringLiteral("p%1").arg(i));
    }
}

} // namespace

namespace ShapePictures {

QVector<Picture> all()
{
    QVector<Picture> out;
    const Points mid{{1100, -200}, {1100, 1800},  {600, 2600},
                     {-600, 2600}, {-1100, 1800}, {-1100, -200}};
    const Points near{{900, -100}, {900, 1000}, {-900, 1000}, {-900, -100}};
    out << Picture{QStringLiteral("shape_polygon"),
                   draw(record(0, kWarning, 0, mid, 0, near), 0,
                        [](const Canvas &c) { corners(c, kWarning, false); })};

    const Points rect{{1400, 200}, {1400, 3200}, {-1400, 3200}, {-1400, 200}};
    out << Picture{QStringLiteral("shape_rectangle"),
                   draw(record(2, rect), 0, [rect](const Canvas &c) { corners(c, rect, true); })};

    const Points arc{{2819, -1026}, {-2819, -1026}};
    out << Picture{QStringLiteral("shape_arc"), draw(record(1, arc), 0, [arc](const Canvas &c) {
                       corners(c, arc, false);
                       dashed(*c.painter);
                       c.painter->drawLine(c.at(0, 0), c.at(0, 3000));
                       label(c, c.at(80, 1900), QStringLiteral("r = 3.0 m"));
                   })};

    out << Picture{QStringLiteral("shape_straight"),
                   draw(record(0, kWarning, 3, {{0, 2000}}), 1, [](const Canvas &c) {
                       dashed(*c.painter);
                       c.painter->drawLine(c.at(-2600, 2000), c.at(2600, 2000));
                       label(c, c.at(1650, 2150), QStringLiteral("Y = 2.0 m"));
                   })};

    out << Picture{QStringLiteral("shape_fan"),
                   draw(record(0, kWarning, 4, {{0, 1800}}), 1, [](const Canvas &c) {
                       dashed(*c.painter);
                       const double r = c.pixels(1800);
                       c.painter->drawEllipse(c.at(0, 0), r, r);
                       c.painter->drawLine(c.at(0, 0), c.at(-2400, -2400));
                       c.painter->drawLine(c.at(0, 0), c.at(2400, -2400));
                       label(c, c.at(1350, 1500), QStringLiteral("R = 1.8 m"));
                       label(c, c.at(-330, -3050), QStringLiteral("90°"));
                   })};

    out << Picture{QStringLiteral("shape_ratio"),
                   draw(record(0, kWarning, 5, {{0, 2000}}), 1, [](const Canvas &c) {
                       dashed(*c.painter);
                       c.painter->drawLine(c.at(-2600, 2000), c.at(2600, 2000));
                       c.painter->drawLine(c.at(-2600, 4000), c.at(2600, 4000));
                       label(c, c.at(1650, 2150), QStringLiteral("Y = 2.0 m"));
                       label(c, c.at(1650, 4150), QStringLiteral("4.3 m"));
                   })};
    return out;
}

} // namespace ShapePictures
