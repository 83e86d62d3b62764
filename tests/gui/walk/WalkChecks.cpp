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
            return fail("link", "the link closed by itself, no fault injected");
        m_connected = false; // the link gave up after the emulator's faults
        m_ioOn = false;
    }
    if (!m_connected && connected)
        return fail("link", "connected without a Connection");
    const SimulationRequest &s = m_store.simulation;
    if (!m_connected && (s.inputOn || s.outputOn || s.faultOn || s.caseOn))
        return fail("link", "an IO simulation is still on after the link closed");
    for (QProgressDialog *p : m_window->findChildren<QProgressDialog *>())
        if (p->isVisible())
            return fail("link", "the transfer's progress dialog stays open");
    settleMonitoring();
    return true;
}

bool WalkSession::checkDesign()
{
    for (int a = 0; a < kAreas; ++a) {
        const ModelArea seen = programArea(a);
        if (seen != m_model.areas[a])
            return fail("design", "area %1%2\n  model:   %3\n  program: %4", a,
                        a == m_model.current ? " (current)" : "", m_model.areas[a].describe(),
                        seen.describe());
    }
    const SensorParameters &p = m_window->sensorParameters();
    for (int i = 0; i < 20; ++i)
        if (p.field(i) != m_model.params[size_t(i)])
            return fail("parameters", "sensor field %1: model %2, program %3", i,
                        m_model.params[size_t(i)], p.field(i));
    if (m_store.currentArea != m_model.current)
        return fail("current area", "the program edits area %1, %2 area %3", m_store.currentArea,
                    m_monitoring && m_connected ? "the sensor reports" : "the user chose",
                    m_model.current);
    if (m_store.currentChannel != m_model.channel)
        return fail("editors", "the program edits Out%1, the user chose Out%2",
                    m_store.currentChannel + 1, m_model.channel + 1);
    if (m_model.modified == Tri::Unknown)
        m_model.modified = m_store.modified ? Tri::True : Tri::False;
    else if (m_store.modified != (m_model.modified == Tri::True))
        return fail("modified", "unsaved-changes flag %1, model %2", int(m_store.modified),
                    int(m_model.modified == Tri::True));
    return true;
}

bool WalkSession::checkHandles()
{
    const QList<QGraphicsItem *> &shown = m_window->optionScene()->handles();
    if (m_monitoring) {
        for (QGraphicsItem *h : shown)
            if (h->isVisible())
                return fail("view", "a point handle is shown in monitoring mode");
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
    const QString points = describePoints(m_model.cur().pts[m_model.channel]);
    if (!sizeOk)
        return fail("view", "handles [%1] for Out%2 points %3", seen.join(' '), m_model.channel + 1,
                    points);
    for (int i = 0; i < shown.size(); ++i) {
        const QPoint wanted =
            i < want.size() ? QPoint(int(want[i].x()), int(-want[i].y())) : QPoint();
        if (at(shown[i]) != wanted || !shown[i]->isVisible())
            return fail("view", "handle %1 at %2 (%3), Out%4 points %5", i, seen[i],
                        shown[i]->isVisible() ? "shown" : "hidden", m_model.channel + 1, points);
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
} // namespace

bool WalkSession::checkEditors()
{
    const ModelArea &a = m_model.cur();
    const int area = m_model.current;
    if (ui->AreaEditTab->currentIndex() != m_model.channel)
        return fail("editors", "the output tab shows Out%1, the view edits Out%2",
                    ui->AreaEditTab->currentIndex() + 1, m_model.channel + 1);
    for (int out = 0; out < 3; ++out) {
        for (bool polar : {false, true}) {
            const auto *t = m_window->findChild<QTableWidget *>(
                QString(polar ? "PolarTableWidgeOut%1" : "CoordTableWidgetOut%1").arg(out + 1));
            const QString want = wantedText(a.pts[out], polar, a.kind(out) == 0);
            const QString seen = tableText(t);
            if (seen != want)
                return fail("tables", "%1 of area %2\n  model:   %3\n  program: %4",
                            t->objectName(), area, want, seen);
        }
    }
    // The parameter combos hold fields 0 to 3 and the operation mode; the
    // spin boxes fields 4 to 7.
    for (int i = 0; i < 9; ++i) {
        const int field = i < 4 ? i : i == 4 ? int(ModelArea::OperationMode) : i - 1;
        const char *name = i < 5 ? kComboNames[i] : kSpinNames[i - 5];
        const QWidget *w = m_window->findChild<QWidget *>(QString::fromLatin1(name));
        const int shows = i < 5 ? qobject_cast<const QComboBox *>(w)->currentIndex()
                                : qobject_cast<const QSpinBox *>(w)->value();
        if (shows != a.f[size_t(field)])
            return fail("controls", "%1 shows %2, area %3 holds %4", name, shows, area,
                        a.f[size_t(field)]);
    }
    for (int out = 0; out < 3; ++out) {
        for (int k = 0; k < 6; ++k) {
            const auto *b = m_window->findChild<QPushButton *>(
                QStringLiteral("Button%1Out%2").arg(kKindNames[k]).arg(out + 1));
            if (b->isChecked() != (k == a.kind(out)))
                return fail("controls", "%1 %2, area %3 Out%4 is kind %5", b->objectName(),
                            b->isChecked() ? "checked" : "unchecked", area, out + 1, a.kind(out));
        }
    }
    for (const QModelIndex &row : ui->AreaTableWidget->selectionModel()->selectedRows())
        if (row.row() != area)
            return fail("list", "the area list selects area %1, the editors show area %2",
                        row.row(), area);
    return true;
}

} // namespace Walk
