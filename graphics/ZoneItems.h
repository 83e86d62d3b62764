#pragma once

#include "core/zones/ZoneGeometry.h"

#include <QGraphicsObject>
#include <QImage>
#include <QPainterPath>
#include <QTransform>

class ZoneStore;

// What the three zone items share: the scene span, the store, and the
// outline of their output, which the scene controller computes whenever the
// store changes so that painting only draws.
class ZoneItem : public QGraphicsObject
{
    Q_OBJECT
public:
    ZoneItem(int output, double sceneWidth, double sceneHeight, ZoneStore *store);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    void setSceneSpan(double width, double height);
    double sceneWidth() const { return m_width; }
    double sceneHeight() const { return m_height; }
    int output() const { return m_output; }

    void setOutline(const ZoneGeometry::Outline &outline)
    {
        m_outline = outline;
        m_picture = QImage();
    }
    const ZoneGeometry::Outline &outline() const { return m_outline; }

protected:
    int m_output;
    double m_width;
    double m_height;
    ZoneStore *m_store;
    ZoneGeometry::Outline m_outline;

private:
    // A large outline's last picture of the viewport, and what it was drawn
    // for: the view repaints everything with each scan that arrives, and a
    // zone of thousands of points need not be drawn again until it, the
    // zoom, the place or its colour change.
    QImage m_picture;
    QTransform m_pictureTransform;
    QRect m_pictureViewport;
    QColor m_pictureFill;
};

// The zone of Out1; hands its outline to Out2.
class PAINT_OUT1 : public ZoneItem
{
    Q_OBJECT
public:
    PAINT_OUT1(double sceneWidth, double sceneHeight, ZoneStore *store)
        : ZoneItem(0, sceneWidth, sceneHeight, store)
    {
    }
Q_SIGNALS:
    void PaintOut1Path(QPainterPath path);
};

// The zone of Out2, its own or derived from Out1; hands its outline to Out3.
class PAINT_OUT2 : public ZoneItem
{
    Q_OBJECT
public:
    PAINT_OUT2(double sceneWidth, double sceneHeight, ZoneStore *store)
        : ZoneItem(1, sceneWidth, sceneHeight, store)
    {
    }
    const QPainterPath &parentPath() const { return m_parent; }
public Q_SLOTS:
    void PaintOut1Path(QPainterPath Path) { m_parent = Path; }
Q_SIGNALS:
    void PaintOut2Path(QPainterPath path);

private:
    QPainterPath m_parent;
};

// The zone of Out3, its own or derived from Out2.
class PAINT_OUT3 : public ZoneItem
{
    Q_OBJECT
public:
    PAINT_OUT3(double sceneWidth, double sceneHeight, ZoneStore *store)
        : ZoneItem(2, sceneWidth, sceneHeight, store)
    {
    }
    const QPainterPath &parentPath() const { return m_parent; }
public Q_SLOTS:
    void PaintOut2Path(QPainterPath Path) { m_parent = Path; }

private:
    QPainterPath m_parent;
};
