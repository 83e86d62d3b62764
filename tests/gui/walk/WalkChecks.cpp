// After every step: the design the program holds against the model, and
// what its editors, its view and its link show against the design.

#include "tests/gui/walk/WalkSession.h"

#include "graphics/OPTION_SCENE.h"
#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QGraphicsItem>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

namespace Walk {

ModelArea WalkSession::programArea(int area) const
{
    const AreaRecord &r = m_store.areas[area];
    ModelArea m;
    m.f = {r.openDelay, r.closeDelay, r.hysteresis,    r.detectionSize, r.steerMin, r.steerMax,
           r.speedMin,  r.speedMax,   r.operationMode, r.shape[0],      r.shape[1], r.shape[2]};
    for (int c = 0; c < 3; ++c)
        m.pts[c] = r.points[c];
    return m;
}

QVector<QPointF> WalkSession::expectedHandles() const
{
    // One handle per point of the edited output, where the point is.
    QVector<QPointF> out;
    if (m_model.channel < 0 || m_model.channel > 2)
        return out;
    for (const QPoint &p : m_model.areas[m_model.current].pts[m_model.channel])
        out << QPointF(p.x(), -p.y());
    return out;
}

bool WalkSession::checkAll()
{
    return checkLinkState() && checkDesign() && checkHandles() && (m_monitoring || checkEditors());
}

bool WalkSession::checkLinkState()
{
    const bool connected = ui->DisConnection->isEnabled();
    if (m_connected && !connected) {
        if (m_faults.isEmpty())
            return fail(QStringLiteral("link"),
                        QStringLiteral("the link closed by itself, no fault injected"));
        m_connected = false; // the link gave up after the emulator's faults
        m_ioOn = false;
    }
    if (!m_connected && connected)
        return fail(QStringLiteral("link"), QStringLiteral("connected without a Connection"));
    const SimulationRequest &s = m_store.simulation;
    if (!m_connected && (s.inputOn || s.outputOn || s.faultOn || s.caseOn))
        return fail(QStringLiteral("link"),
                    QStringLiteral("an IO simulation is still on after the link closed"));
    for (QProgressDialog *p : m_window->findChildren<QProgressDialog *>())
        if (p->isVisible())
            return fail(QStringLiteral("link"),
                        QStringLiteral("the transfer's progress dialog stays open"));
    settleMonitoring();
    return true;
}

bool WalkSession::checkDesign()
{
    for (int a = 0; a < kAreas; ++a) {
        const ModelArea seen = programArea(a);
        if (seen != m_model.areas[a])
            return fail(QStringLiteral("design"),
                        QStringLiteral("area %1%2\n  model:   %3\n  program: %4")
                            .arg(a)
                            .arg(a == m_model.current ? " (current)" : "")
                            .arg(m_model.areas[a].describe(), seen.describe()));
    }
    const SensorParameters &p = m_window->sensorParameters();
    for (int i = 0; i < 20; ++i)
        if (p.field(i) != m_model.params[size_t(i)])
            return fail(QStringLiteral("parameters"),
                        QStringLiteral("sensor field %1: model %2, program %3")
                            .arg(i)
                            .arg(m_model.params[size_t(i)])
                            .arg(p.field(i)));
    if (m_store.currentArea != m_model.current)
        return fail(QStringLiteral("current area"),
                    QStringLiteral("the program edits area %1, %2 area %3")
                        .arg(m_store.currentArea)
                        .arg(m_monitoring && m_connected ? "the sensor reports" : "the user chose")
                        .arg(m_model.current));
    if (m_store.currentChannel != m_model.channel)
        return fail(QStringLiteral("editors"),
                    QStringLiteral("the program edits Out%1, the user chose Out%2")
                        .arg(m_store.currentChannel + 1)
                        .arg(m_model.channel + 1));
    if (m_model.modified == Tri::Unknown)
        m_model.modified = m_store.modified ? Tri::True : Tri::False;
    else if (m_store.modified != (m_model.modified == Tri::True))
        return fail(QStringLiteral("modified"), QStringLiteral("unsaved-changes flag %1, model %2")
                                                    .arg(m_store.modified)
                                                    .arg(m_model.modified == Tri::True));
    return true;
}

bool WalkSession::checkHandles()
{
    const QList<QGraphicsItem *> &shown = m_window->optionScene()->handles();
    if (m_monitoring) {
        for (QGraphicsItem *h : shown)
            if (h->isVisible())
                return fail(QStringLiteral("view"),
                            QStringLiteral("a point handle is shown in monitoring mode"));
        return true;
    }
    const QVector<QPointF> want = expectedHandles();
    const int kind = m_model.cur().kind(m_model.channel);
    // Vertex handles in point order; a polygon may add the centre handle.
    // A handle between two millimetres stands for the point it truncates to.
    const auto at = [](const QGraphicsItem *h) {
        return QPoint(int(h->pos().x()), int(-h->pos().y()));
    };
    const bool sizeOk =
        shown.size() == want.size() ||
        (kind == 0 && shown.size() == want.size() + 1 && shown.last()->pos() == QPointF(0, 0));
    QStringList seen;
    for (QGraphicsItem *h : shown)
        seen << QStringLiteral("%1,%2").arg(h->pos().x()).arg(-h->pos().y());
    if (!sizeOk)
        return fail(QStringLiteral("view"),
                    QStringLiteral("handles [%1] for Out%2 points %3")
                        .arg(seen.join(' '))
                        .arg(m_model.channel + 1)
                        .arg(describePoints(m_model.cur().pts[m_model.channel])));
    for (int i = 0; i < shown.size(); ++i) {
        const QPoint wanted =
            i < want.size() ? QPoint(int(want[i].x()), int(-want[i].y())) : QPoint();
        if (at(shown[i]) != wanted || !shown[i]->isVisible())
            return fail(QStringLiteral("view"),
                        QStringLiteral("handle %1 at %2 (%3), Out%4 points %5")
                            .arg(i)
                            .arg(seen[i], shown[i]->isVisible() ? "shown" : "hidden")
                            .arg(m_model.channel + 1)
                            .arg(describePoints(m_model.cur().pts[m_model.channel])));
    }
    return true;
}

namespace {
QString tableText(const QTableWidget *t)
{
    QStringList rows;
    for (int r = 0; r < t->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < t->columnCount(); ++c)
            cells << (t->item(r, c) ? t->item(r, c)->text() : QStringLiteral("-"));
        rows << cells.join(QLatin1Char(','));
    }
    return rows.join(QLatin1Char(' '));
}

QString wantedText(const QVector<QPoint> &pts, bool polar, bool blank)
{
    QStringList rows;
    for (int i = 0; i < pts.size(); ++i) {
        if (polar) {
            const Geo::Polar p = Geo::toPolar(pts[i]);
            rows << QStringLiteral("%1,%2,%3")
                        .arg(i + 1)
                        .arg(Geo::polarText(p.r), Geo::polarText(p.theta * Geo::kRadToDeg));
        } else {
            rows << QStringLiteral("%1,%2,%3").arg(i + 1).arg(pts[i].x()).arg(pts[i].y());
        }
    }
    if (blank)
        rows << QStringLiteral("%1,0,0").arg(pts.size() + 1);
    return rows.join(QLatin1Char(' '));
}

const char *const kKindNames[] = {"Polygon", "Arc", "Rectangle", "Straight", "Fan", "Ratio"};
} // namespace

bool WalkSession::checkEditors()
{
    const ModelArea &a = m_model.cur();
    const int area = m_model.current;
    if (ui->AreaEditTab->currentIndex() != m_model.channel)
        return fail(QStringLiteral("editors"),
                    QStringLiteral("the output tab shows Out%1, the view edits Out%2")
                        .arg(ui->AreaEditTab->currentIndex() + 1)
                        .arg(m_model.channel + 1));
    for (int out = 0; out < 3; ++out) {
        for (bool polar : {false, true}) {
            const auto *t = m_window->findChild<QTableWidget *>(
                (polar ? QStringLiteral("PolarTableWidgeOut")
                       : QStringLiteral("CoordTableWidgetOut")) +
                QString::number(out + 1));
            const QString want = wantedText(a.pts[out], polar, a.kind(out) == 0);
            const QString seen = tableText(t);
            if (seen != want)
                return fail(QStringLiteral("tables"),
                            QStringLiteral("%1 of area %2\n  model:   %3\n  program: %4")
                                .arg(t->objectName())
                                .arg(area)
                                .arg(want, seen));
        }
    }
    static const char *const combos[] = {"Area_OpenDelay", "Area_CloseDelay", "Area_Hysteresis",
                                         "Area_DetectionSize"};
    for (int i = 0; i < 4; ++i) {
        const auto *c = m_window->findChild<QComboBox *>(QString::fromLatin1(combos[i]));
        if (c->currentIndex() != a.f[size_t(i)])
            return fail(QStringLiteral("controls"), QStringLiteral("%1 shows %2, area %3 holds %4")
                                                        .arg(combos[i])
                                                        .arg(c->currentIndex())
                                                        .arg(area)
                                                        .arg(a.f[size_t(i)]));
    }
    static const char *const spins[] = {"SteerMinDgree", "SteerMaxDgree", "VehicleMinSpeed",
                                        "VehicleMaxSpeed"};
    for (int i = 0; i < 4; ++i) {
        const auto *s = m_window->findChild<QSpinBox *>(QString::fromLatin1(spins[i]));
        if (s->value() != a.f[size_t(4 + i)])
            return fail(QStringLiteral("controls"), QStringLiteral("%1 shows %2, area %3 holds %4")
                                                        .arg(spins[i])
                                                        .arg(s->value())
                                                        .arg(area)
                                                        .arg(a.f[size_t(4 + i)]));
    }
    if (ui->VehicleOptionMode->currentIndex() != a.f[ModelArea::OperationMode])
        return fail(QStringLiteral("controls"),
                    QStringLiteral("VehicleOptionMode shows %1, area %2 holds %3")
                        .arg(ui->VehicleOptionMode->currentIndex())
                        .arg(area)
                        .arg(a.f[ModelArea::OperationMode]));
    for (int out = 0; out < 3; ++out) {
        for (int k = 0; k < 6; ++k) {
            const auto *b = m_window->findChild<QPushButton *>(
                QStringLiteral("Button%1Out%2").arg(kKindNames[k]).arg(out + 1));
            if (b->isChecked() != (k == a.kind(out)))
                return fail(QStringLiteral("controls"),
                            QStringLiteral("%1 %2, area %3 Out%4 is kind %5")
                                .arg(b->objectName(), b->isChecked() ? "checked" : "unchecked")
                                .arg(area)
                                .arg(out + 1)
                                .arg(a.kind(out)));
        }
    }
    for (const QModelIndex &row : ui->AreaTableWidget->selectionModel()->selectedRows())
        if (row.row() != area)
            return fail(QStringLiteral("list"),
                        QStringLiteral("the area list selects area %1, the editors show area %2")
                            .arg(row.row())
                            .arg(area));
    return true;
}

} // namespace Walk
