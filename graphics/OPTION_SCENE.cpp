#include "graphics/OPTION_SCENE.h"

#include "core/zones/DeviceType.h"
#include "core/zones/PointEdits.h"
#include "core/zones/ZoneGeometry.h"
#include "core/zones/ZoneStore.h"
#include "graphics/PointHandles.h"
#include "graphics/ScanItems.h"
#include "graphics/ZoneItems.h"

#include <QGraphicsScene>
#include <QTransform>

OPTION_SCENE::OPTION_SCENE(DEVICETYPE *type, QGraphicsScene *scene, ZoneStore *store,
                           ScanRecord *scan, QList<QGraphicsItem *> *background, QObject *parent)
    : QObject(parent), m_store(store), m_scan(scan), m_scene(scene), m_background(background)
{
    m_scale = 1.0;
    setSpan(type);
    m_out1 = new PAINT_OUT1(m_width, m_height, store);
    m_out2 = new PAINT_OUT2(m_width, m_height, store);
    m_out3 = new PAINT_OUT3(m_width, m_height, store);
    m_outline = new PAINT_OUTLINE(m_width, m_height, scan, &m_scale);
    m_strength = new PAINT_STRENGTH(m_width, m_height, scan, &m_scale);
    for (QGraphicsItem *item : std::initializer_list<QGraphicsItem *>{m_out1, m_out2, m_out3, m_outline, m_strength}) {
        m_scene->addItem(item);
        item->setPos(0, 0);
        m_background->append(item);
    }
    m_store->sceneWidth = m_width;
    m_store->sceneHeight = m_height;
    AddCenterPointItemSlots();
    connect(m_out1, &PAINT_OUT1::PaintOut1Path, m_out2, &PAINT_OUT2::PaintOut1Path);
    connect(m_out2, &PAINT_OUT2::PaintOut2Path, m_out3, &PAINT_OUT3::PaintOut2Path);
    refreshZones(true);
}

void OPTION_SCENE::setSpan(DEVICETYPE *type)
{
    const DeviceModelInfo *m = deviceModelInfo(type ? type->type : -1);
    if (!m)
        return;
    m_width = m_height = int(m->sceneSpan);
    m_scene->setSceneRect(-m_width / 2.0, -m_height / 2.0, m_width, m_height);
}

void OPTION_SCENE::SetDeviceType(DEVICETYPE *type)
{
    setSpan(type);
    for (ZoneItem *z : std::initializer_list<ZoneItem *>{m_out1, m_out2, m_out3})
        z->setSceneSpan(m_width, m_height);
    m_outline->setSceneSpan(m_width, m_height);
    m_strength->setSceneSpan(m_width, m_height);
    m_store->sceneWidth = m_width;
    m_store->sceneHeight = m_height;
    refreshZones();
}

ZoneItem *OPTION_SCENE::zoneItem(int output) const
{
    switch (output) {
    case 0: return m_out1;
    case 1: return m_out2;
    case 2: return m_out3;
    default: return nullptr;
    }
}

ScanItem *OPTION_SCENE::outlineItem() const { return m_outline; }
ScanItem *OPTION_SCENE::intensityItem() const { return m_strength; }

void OPTION_SCENE::refreshZones(bool force)
{
    const int index = m_store->clampedCurrentArea();
    const AreaRecord &area = m_store->areas[index];
    if (!force && index == m_drawnIndex && m_width == m_drawnWidth && area == m_drawnArea)
        return;
    m_drawnArea = area;
    m_drawnIndex = index;
    m_drawnWidth = m_width;
    // The chain: each output derives from the outline the one above handed
    // on last; one that draws nothing hands nothing on.
    const ZoneGeometry::Outline o1 =
        ZoneGeometry::buildOutline(0, area.shape[0], area.points[0], QPainterPath(), m_width, m_height);
    m_out1->setOutline(o1);
    if (o1.handsOn)
        Q_EMIT m_out1->PaintOut1Path(o1.handed);
    const ZoneGeometry::Outline o2 = ZoneGeometry::buildOutline(
        1, area.shape[1], area.points[1], m_out2->parentPath(), m_width, m_height);
    m_out2->setOutline(o2);
    if (o2.handsOn)
        Q_EMIT m_out2->PaintOut2Path(o2.handed);
    m_out3->setOutline(ZoneGeometry::buildOutline(2, area.shape[2], area.points[2],
                                                  m_out3->parentPath(), m_width, m_height));
    for (ZoneItem *z : std::initializer_list<ZoneItem *>{m_out1, m_out2, m_out3})
        z->update();
}

void OPTION_SCENE::UpdataPaintOutline()
{
    refreshZones();
    m_outline->rebuild();
    m_outline->update();
}

void OPTION_SCENE::UpdataPaintIntensity()
{
    m_strength->rebuild();
    m_strength->update();
}

void OPTION_SCENE::PaintOutItemSetZValue()
{
    static const double z[3][3] = {{3, 2, 1}, {2, 3, 1}, {1, 2, 3}};
    const int c = m_store->currentChannel;
    if (c < 0 || c > 2)
        return;
    m_out1->setZValue(z[c][0]);
    m_out2->setZValue(z[c][1]);
    m_out3->setZValue(z[c][2]);
}

void OPTION_SCENE::AddCenterPointItemSlots()
{
    QGraphicsItem *top = nullptr;
    const QList<QGraphicsItem *> at = m_scene->items(QPointF(0, 0));
    if (!at.isEmpty())
        top = at.first();
    if (top && !m_background->contains(top))
        return;
    const int c = m_store->currentChannel;
    if (c < 0 || c > 2)
        return;
    if (m_store->currentRecord().shape[c] != ShapePolygon)
        return;
    auto *centre = new POINT_POINT(Qt::blue, 0, 0, &m_scale);
    centre->setVisible(m_handlesVisible);
    m_scene->addItem(centre);
    m_handles.append(centre);
    m_centre = centre;
}

void OPTION_SCENE::CoordTableUpdatePointItem()
{
    m_centre = nullptr;
    for (QGraphicsItem *h : qAsConst(m_handles)) {
        m_scene->removeItem(h);
        delete h;
    }
    m_handles.clear();
    Q_EMIT HandlesDeleted();
    const int c = m_store->currentChannel;
    if (c >= 0 && c <= 2) {
        const AreaRecord &area = m_store->currentRecord();
        const int kind = area.shape[c];
        const bool ratio = c > 0 && kind >= ShapeStraight && kind <= ShapeRatio;
        for (const QPoint &p : area.points[c]) {
            QGraphicsItem *h = ratio ? static_cast<QGraphicsItem *>(new POINT_RATIO(Qt::blue, 0, 0, &m_scale))
                                     : new POINT_POINT(Qt::blue, 0, 0, &m_scale);
            // Placed in floating point: -y of the most negative int is no int.
            h->setPos(ZoneGeometry::toScene(p));
            h->setVisible(m_handlesVisible);
            m_scene->addItem(h);
            m_handles.append(h);
        }
    }
    PaintOutItemSetZValue();
    AddCenterPointItemSlots();
    refreshZones();
}

void OPTION_SCENE::PointItemUpdateCoordTable()
{
    const int c = m_store->currentChannel;
    if (c >= 0 && c <= 2) {
        QVector<QPoint> &list = m_store->currentRecord().points[c];
        list.clear();
        for (QGraphicsItem *h : qAsConst(m_handles)) {
            const QPointF p = h->scenePos();
            // The centre handle, while it sits on the sensor, is no vertex; a
            // vertex the user put on the sensor is one like any other.
            if (h == m_centre && p.x() == 0 && p.y() == 0)
                continue;
            list.append(QPoint(int(p.x()), int(-p.y())));
        }
        refreshZones();
    }
    Q_EMIT PointItemChannelSignal();
}

void OPTION_SCENE::ChangeScaleSize(double scale)
{
    for (QGraphicsItem *h : qAsConst(m_handles))
        static_cast<HandleItem *>(h)->scaleWillChange();
    m_scale = scale;
    // The scan polygons are thinned for the new zoom now, not while painting.
    m_outline->rethin();
    m_strength->rethin();
}

void OPTION_SCENE::MovePointItemSlots(QGraphicsItem *Item)
{
    const int c = m_store->currentChannel;
    if (c < 0 || c > 2)
        return;
    const int kind = m_store->currentRecord().shape[c];
    if (kind == ShapePolygon || (c > 0 && kind >= ShapeStraight && kind <= ShapeRatio))
        PointItemUpdateCoordTable();
    else
        constrainedUpdate(c, kind, Item);
}

void OPTION_SCENE::constrainedUpdate(int output, int kind, QGraphicsItem *item)
{
    QVector<QPoint> &p = m_store->currentRecord().points[output];
    int i = m_handles.indexOf(item);
    if (i < 0)
        i = m_handles.size();
    // A handle that is no longer in the list may be gone: never touch it.
    const QPointF pos = i < m_handles.size() ? m_handles[i]->scenePos() : QPointF();
    const QPoint dragged(int(pos.x()), int(-pos.y()));
    if (kind == ShapeArc && p.size() == 2) {
        if (i == 0 || i == 1) {
            p[i] = dragged;
            const int j = 1 - i;
            p[j] = PointEdits::arcPartner(p[i], p[j], j == 0);
            if (j < m_handles.size())
                m_handles[j]->setPos(ZoneGeometry::toScene(p[j]));
        }
        refreshZones();
        Q_EMIT PointItemChannelSignal();
    } else if (kind == ShapeRectangle && p.size() == 4) {
        if (i >= 0 && i <= 3) {
            static const int takesX[4] = {1, 0, 3, 2};
            static const int takesY[4] = {3, 2, 1, 0};
            p[i] = dragged;
            const int jx = takesX[i], jy = takesY[i];
            p[jx].setX(dragged.x());
            p[jy].setY(dragged.y());
            if (jx < m_handles.size())
                m_handles[jx]->setPos(dragged.x(), m_handles[jx]->pos().y());
            if (jy < m_handles.size())
                m_handles[jy]->setPos(m_handles[jy]->pos().x(), -qreal(dragged.y()));
        }
        refreshZones();
        Q_EMIT PointItemChannelSignal();
    }
}

void OPTION_SCENE::DeletePointItemSlots(QGraphicsItem *Item)
{
    const int c = m_store->currentChannel;
    if (c < 0 || c > 2 || m_store->currentRecord().shape[c] != ShapePolygon)
        return;
    const int i = m_handles.indexOf(Item);
    if (i < 0)
        return;
    const QVector<QPoint> before = m_store->currentRecord().points[c];
    if (Item == m_centre)
        m_centre = nullptr;
    m_handles.removeAt(i);
    m_scene->removeItem(Item);
    delete Item;
    Q_EMIT HandlesDeleted();
    PointItemUpdateCoordTable();
    // The centre handle is no vertex: removing it changes nothing worth an
    // undo step.
    if (m_store->currentRecord().points[c] != before)
        Q_EMIT PointItemDeleted();
}

void OPTION_SCENE::setHandlesVisible(bool visible)
{
    m_handlesVisible = visible;
    for (QGraphicsItem *h : qAsConst(m_handles))
        h->setVisible(visible);
}
