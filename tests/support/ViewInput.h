#pragma once

#include <QApplication>
#include <QGraphicsView>
#include <QMouseEvent>

// Mouse input on a view as a hand gives it.
namespace ViewInput {

inline void send(QWidget *viewport, QEvent::Type type, QPoint px, Qt::MouseButton button,
                 Qt::MouseButtons held, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, px, viewport->mapToGlobal(px), button, held, mods);
    QApplication::sendEvent(viewport, &e);
}

// Press, move in steps, release: a left drag by (dx, dy) view pixels.
inline void drag(QGraphicsView *view, QPoint from, QPoint by,
                 Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget *vp = view->viewport();
    send(vp, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, mods);
    for (int k = 1; k <= 4; ++k)
        send(vp, QEvent::MouseMove, from + by * k / 4, Qt::NoButton, Qt::LeftButton, mods);
    send(vp, QEvent::MouseButtonRelease, from + by, Qt::LeftButton, Qt::NoButton, mods);
}

inline void rightClick(QGraphicsView *view, QPoint at)
{
    send(view->viewport(), QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
    send(view->viewport(), QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
}

inline void click(QGraphicsView *view, QPoint at)
{
    send(view->viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(view->viewport(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// The view pixel of a sensor-frame point (scene y is the sensor's -Y).
inline QPoint pixelOf(QGraphicsView *view, int x, int y)
{
    return view->mapFromScene(QPointF(x, -y));
}

} // namespace ViewInput
