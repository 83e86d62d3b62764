#pragma once

#include "core/zones/DeviceType.h"

#include <QGraphicsScene>
#include <QImage>
#include <memory>

class OPTION_SCENE;
class ViewWindow;
class ZoneStore;
struct ScanRecord;

// The view and scene controller set up as the main window sets them up, but
// on their own: for pictures rendered off screen and for measurements. The
// picture comes from the view's own drawing code.
class StandaloneView
{
public:
    StandaloneView(ZoneStore *store, ScanRecord *scan, int model, QSize viewport);
    ~StandaloneView();

    ViewWindow *view() const { return m_view.get(); }
    OPTION_SCENE *scene() const { return m_controller; }
    QGraphicsScene *graphicsScene() { return &m_scene; }

    // Shows area `area` with output `output` (0..2) as the edited one.
    void showArea(int area, int output);
    // The same as a picture for a document: no handles at all. None are
    // made, so a zone of any number of points costs only its drawing.
    void showPicture(int area, int output);
    void setZoom(int level);

    // The viewport as the screen would show it.
    QImage grab();
    // The same drawing into any paint device of the viewport's size.
    void render(QPainter *painter);

private:
    ZoneStore *m_store;
    DEVICETYPE m_type;
    QGraphicsScene m_scene;
    std::unique_ptr<ViewWindow> m_view;
    OPTION_SCENE *m_controller;
};
