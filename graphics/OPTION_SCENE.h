#pragma once

#include "core/zones/AreaRecord.h"

#include <QList>
#include <QObject>

class QGraphicsItem;
class QGraphicsScene;
class ScanItem;
class ZoneItem;
class PAINT_OUT1;
class PAINT_OUT2;
class PAINT_OUT3;
class PAINT_OUTLINE;
class PAINT_STRENGTH;
class ZoneStore;
struct DEVICETYPE;
struct ScanRecord;

// Builds and runs the scene: the three zone items, the two live scan items
// and one draggable handle per point of the edited output, kept in step with
// the zone store both ways.
class OPTION_SCENE : public QObject
{
    Q_OBJECT
public:
    OPTION_SCENE(DEVICETYPE *type, QGraphicsScene *scene, ZoneStore *store, ScanRecord *scan,
                 QList<QGraphicsItem *> *background, QObject *parent = nullptr);

    void SetDeviceType(DEVICETYPE *type);

    double *scaleSize() { return &m_scale; }
    const QList<QGraphicsItem *> &handles() const { return m_handles; }
    ZoneItem *zoneItem(int output) const;
    ScanItem *outlineItem() const;
    ScanItem *intensityItem() const;
    int sceneWidth() const { return m_width; }

    // Shows or hides every handle (pictures rendered for documents have none).
    void setHandlesVisible(bool visible);

Q_SIGNALS:
    void PointItemChannelSignal();
    // Handles were deleted: a view must not keep pointing at one.
    void HandlesDeleted();
    // The user deleted a polygon vertex in the view: an edit to record.
    void PointItemDeleted();

public Q_SLOTS:
    void UpdataPaintOutline();
    void UpdataPaintIntensity();
    void PaintOutItemSetZValue();
    void AddCenterPointItemSlots();
    void CoordTableUpdatePointItem();
    void PointItemUpdateCoordTable();
    void ChangeScaleSize(double scale);
    void MovePointItemSlots(QGraphicsItem *Item);
    void DeletePointItemSlots(QGraphicsItem *Item);

private:
    void setSpan(DEVICETYPE *type);
    // Recomputes the three outlines when the current area, its points or
    // the span changed since the last time.
    void refreshZones(bool force = false);
    void constrainedUpdate(int output, int kind, QGraphicsItem *item);

    int m_width = 0;
    int m_height = 0;
    double m_scale = 1.0;
    ZoneStore *m_store;
    ScanRecord *m_scan;
    QGraphicsScene *m_scene;
    QList<QGraphicsItem *> *m_background;
    QList<QGraphicsItem *> m_handles;
    PAINT_OUT1 *m_out1 = nullptr;
    PAINT_OUT2 *m_out2 = nullptr;
    PAINT_OUT3 *m_out3 = nullptr;
    PAINT_OUTLINE *m_outline = nullptr;
    PAINT_STRENGTH *m_strength = nullptr;
    bool m_handlesVisible = true;
    // The handle that adds a vertex when dragged off the sensor; null when
    // there is none.
    QGraphicsItem *m_centre = nullptr;

    // What the outlines were last computed from.
    AreaRecord m_drawnArea;
    int m_drawnIndex = -1;
    int m_drawnWidth = -1;
};
