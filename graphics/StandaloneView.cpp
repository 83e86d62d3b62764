#include "graphics/StandaloneView.h"

#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/ViewWindow.h"

#include <QPainter>

StandaloneView::StandaloneView(ZoneStore *store, ScanRecord *scan, int model, QSize viewport)
    : m_store(store), m_view(std::make_unique<ViewWindow>())
{
    m_type.type = model;
    m_view->setScene(&m_scene);
    m_view->SetDeviceType(&m_type);
    m_controller = new OPTION_SCENE(&m_type, &m_scene, store, scan, m_view->backgroundItems(),
                                    m_view.get());
    QObject::connect(m_view.get(), qOverload<double>(&ViewWindow::ChangeSetupMatrix), m_controller,
                     &OPTION_SCENE::ChangeScaleSize);
    QObject::connect(m_controller, &OPTION_SCENE::HandlesDeleted, m_view.get(),
                     &ViewWindow::forgetCurrentItem);
    // The viewport alone, at exactly the size asked for.
    m_view->setFrameStyle(QFrame::NoFrame);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->resize(viewport);
    m_view->setAttribute(Qt::WA_DontShowOnScreen);
    m_view->show();
    m_view->ApplyZoom();
    m_view->centerOn(0, 0);
}

StandaloneView::~StandaloneView() = default;

void StandaloneView::showArea(int area, int output)
{
    m_store->currentArea = area;
    m_store->currentChannel = output;
    m_controller->CoordTableUpdatePointItem();
    m_controller->UpdataPaintOutline();
    m_controller->UpdataPaintIntensity();
}

void StandaloneView::showPicture(int area, int output)
{
    m_store->currentArea = area;
    m_store->currentChannel = output;
    m_controller->setHandlesVisible(false);
    m_controller->PaintOutItemSetZValue();
    m_controller->UpdataPaintOutline();
    m_controller->UpdataPaintIntensity();
}

void StandaloneView::setZoom(int level)
{
    m_view->ChangeSetupMatrix(level);
    m_view->centerOn(0, 0);
}

QImage StandaloneView::grab()
{
    QImage image(m_view->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    // The axis labels are sized in points. Off screen there is no screen to
    // take a resolution from (Qt 5's offscreen platform says 100 dpi, Qt 6's
    // 96), so the picture is drawn at 96 dpi, as on a common desktop.
    const int dotsPerMeter = qRound(96 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter p(&image);
    render(&p);
    return image;
}

void StandaloneView::render(QPainter *painter)
{
    const QRect r = m_view->viewport()->rect();
    m_view->render(painter, QRectF(r), r);
}
