#pragma once

#include <QColor>
#include <QGraphicsItem>

// The draggable markers of the edited output's points. They keep their size
// on screen: their scene size is divided by the view's scale, read through a
// pointer each time.
class HandleItem : public QGraphicsItem
{
public:
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    // To be called before the scale changes: the handle's scene size
    // follows it, and the scene must re-index the handle, or it keeps
    // looking for it where it was (and finds a deleted one there).
    void scaleWillChange() { prepareGeometryChange(); }

protected:
    HandleItem(QColor colour, int x, int y, double *scale, double width, double height,
               Qt::CursorShape cursor);
    double scale() const;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QColor m_colour;
    double *m_scale;
    double m_width; // pixels on screen
    double m_height;
    Qt::CursorShape m_cursor;
};

// A 15 x 15 pixel square for polygon, arc and rectangle vertices and for the
// centre handle.
class POINT_POINT : public HandleItem
{
public:
    POINT_POINT(QColor colour, int x, int y, double *scale);
    static constexpr int kSize = 15;

protected:
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
};

// A 50 x 5 pixel bar for the parameter point of Straight, Fan and Ratio; it
// moves only along the forward axis.
class POINT_RATIO : public HandleItem
{
public:
    POINT_RATIO(QColor colour, int x, int y, double *scale);
    static constexpr double kWidth = 50.0;
    static constexpr double kHeight = 5.0;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    double m_grabOffset = 0; // item y minus cursor y at the press
};
