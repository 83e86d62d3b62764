// The walk's editing actions: the coordinate tables, the view's handles,
// the shape buttons and parameter widgets, undo and the area commands. Each
// is done with mouse and keys as a person would, and predicted by the
// model's own rules.

// Mouse events go through the window system layer, as a person's do.
#define QTEST_QPA_MOUSE_HANDLING

#include "tests/gui/walk/WalkSession.h"

#include "graphics/OPTION_SCENE.h"
#include "graphics/ViewWindow.h"
#include "gui/MainWindow.h"
#include "gui/editors/AREA_TABLE.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QGraphicsItem>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QtTest>

namespace Walk {

namespace {

int typedXY(float v)
{
    // Typed millimetres: positive values round half up, negative ones lose
    // their fraction; beyond 16 bits the value is held at the limit.
    if (v >= 32767.0f)
        return 32767;
    if (v <= -32768.0f)
        return -32768;
    const float t = std::trunc(v);
    return qBound(-32768, int(t) + (v - t >= 0.5f ? 1 : 0), 32767);
}

QString describeAll(const QVector<ModelArea> &outcomes)
{
    QStringList out;
    for (const ModelArea &a : outcomes)
        out << a.describe();
    return out.join(QStringLiteral("\n   or:    "));
}

QPoint clampedPolar(float r, float theta)
{
    return QPoint(Geo::clamp16(std::cos(theta) * r), Geo::clamp16(std::sin(theta) * r));
}

// What typing `text` into a cell may leave in the area (first: the plain
// expectation). Empty when the cell already shows that text: nothing is
// committed then.
QVector<ModelArea> typedOutcomes(const ModelArea &before, int out, bool polar, int row, int col,
                                 const QString &text)
{
    bool ok = false;
    const float v = text.toFloat(&ok);
    QVector<ModelArea> outcomes;
    const QVector<QPoint> &p = before.pts[out];
    if (row < p.size()) {
        if (!ok) // not a number: the old value stays
            return {before};
        QVector<QPoint> tries;
        if (!polar) {
            QPoint q = p[row];
            (col == 1 ? q.rx() : q.ry()) = typedXY(v);
            tries << q;
        } else {
            Geo::Polar pol = Geo::toPolar(p[row]);
            // An Arc's whole degree, typed or kept while the distance
            // changes, goes as that degree.
            bool whole = false;
            int degrees = 0;
            if (before.kind(out) == 1 && p.size() == 2) {
                if (col == 1) {
                    whole = Geo::onWholeDegree(p[row]);
                    degrees = Geo::wireDegrees(p[row]);
                } else {
                    float d = std::fmod(v, 360.0f);
                    if (d >= 270.0f)
                        d -= 360.0f;
                    else if (d < -90.0f)
                        d += 360.0f;
                    whole = std::fabs(d - std::round(d)) < 1e-4f;
                    degrees = int(std::round(d));
                }
            }
            if (col == 1)
                pol.r = v;
            else
                pol.theta = v * Geo::kDegToRad;
            const auto kept = [&](float r) {
                const QPoint q = clampedPolar(r, pol.theta);
                return whole ? Geo::pointGoingAs(q, int(r), degrees, true) : q;
            };
            tries << kept(pol.r);
            // A distance beyond 16 bits may be held before the conversion
            // too, not only the coordinates after it.
            if (pol.r > 32767.0f || pol.r < -32768.0f)
                tries << kept(qBound(-32768.0f, pol.r, 32767.0f));
        }
        for (const QPoint &q : tries) {
            ModelArea a = before;
            a.pts[out][row] = q;
            applyConstraints(a, out, row);
            if (!outcomes.contains(a))
                outcomes << a;
        }
        return outcomes;
    }
    // The blank row of a polygon appends a vertex for a non-zero number.
    if (!ok || v == 0.0f || before.kind(out) != 0)
        return {before};
    ModelArea a = before;
    if (!polar)
        a.pts[out] << (col == 1 ? QPoint(typedXY(v), 0) : QPoint(0, typedXY(v)));
    else
        a.pts[out] << (col == 1 ? clampedPolar(v, 0.0f) : clampedPolar(20.0f, v * Geo::kDegToRad));
    return {a};
}

// The arc constraint as the view applies it while a handle moves: each
// report of the dragged handle's position pulls the other point onto its
// circle, keeping the other point's own angle.
ModelArea arcFollow(ModelArea a, int out, int i, const QVector<QPointF> &reports)
{
    QVector<QPoint> &p = a.pts[out];
    for (const QPointF &s : reports) {
        p[i] = QPoint(int(s.x()), int(-s.y()));
        p[1 - i] = Geo::arcPartner(p[i], p[1 - i], i == 1);
    }
    return a;
}

// The list the program reads back from its handles: the first `vertices`
// are vertices wherever they are (the sensor's origin included); a handle
// after them is the centre handle, a vertex only once it has left the origin.
QVector<QPoint> fromHandles(const QVector<QPointF> &handles, int vertices)
{
    QVector<QPoint> out;
    for (int k = 0; k < handles.size(); ++k)
        if (k < vertices || handles[k] != QPointF(0, 0))
            out << QPoint(int(handles[k].x()), int(-handles[k].y()));
    return out;
}
} // namespace

QTableWidget *WalkSession::visibleTable(bool polar, int *out)
{
    // The tables of the output page on show; its XY or polar page brought
    // forward through the tab bars, as the user does.
    *out = ui->AreaEditTab->currentIndex();
    if (*out < 0 || *out > 2)
        return nullptr;
    const QString n = QString::number(*out + 1);
    auto *pages = m_window->findChild<QTabWidget *>(QStringLiteral("TableCoordinatesOut") + n);
    auto *forms = m_window->findChild<QTabWidget *>(QStringLiteral("CoordinatesTabOut") + n);
    for (auto [tabs, index] : {std::pair<QTabWidget *, int>{pages, 0}, {forms, polar ? 1 : 0}}) {
        if (tabs && tabs->currentIndex() != index)
            QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier,
                              tabs->tabBar()->tabRect(index).center());
    }
    return m_window->findChild<QTableWidget *>(
        (polar ? QStringLiteral("PolarTableWidgeOut") : QStringLiteral("CoordTableWidgetOut")) + n);
}

void WalkSession::settle(const ModelArea &before, const QVector<ModelArea> &allowed, Commit commit,
                         NoopKind where)
{
    const ModelArea seen = programArea(m_model.current);
    if (!allowed.contains(seen))
        return void(fail("design", "area %1 after the action\n  model:   %2\n  program: %3",
                         m_model.current, describeAll(allowed), seen.describe()));
    m_model.cur() = seen;
    if (commit == Commit::Edit)
        m_model.editCommitted(m_model.current, before, where);
    else if (commit == Commit::Area)
        m_model.areaReplaced(m_model.current, before);
}

void WalkSession::typeCell(const Action &a)
{
    int out = 0;
    QTableWidget *t = m_monitoring ? nullptr : visibleTable(a.a != 0, &out);
    if (!t || t->rowCount() == 0)
        return;
    const int row = a.b % t->rowCount();
    QTableWidgetItem *item = t->item(row, a.c);
    if (!item)
        return void(fail("tables", "no cell at %1,%2", row, a.c));
    const ModelArea before = m_model.cur();
    const bool same = item->text() == a.text;
    const QVector<ModelArea> outcomes =
        same ? QVector<ModelArea>{before} : typedOutcomes(before, out, a.a != 0, row, a.c, a.text);

    t->scrollToItem(item);
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, Qt::NoModifier,
                       t->visualItemRect(item).center());
    QLineEdit *editor = nullptr;
    for (QLineEdit *e : t->viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            editor = e;
    if (!editor)
        return void(fail("tables", "double-click on row %1 opened no editor", row));
    editor->selectAll();
    if (a.text.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else
        QTest::keyClicks(editor, a.text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The item view commits the editor's text on its next turn.
    QCoreApplication::processEvents();
    settle(before, outcomes, same ? Commit::None : Commit::Edit, NoopTable);
}

void WalkSession::deleteRow(const Action &a)
{
    int out = 0;
    QTableWidget *t = m_monitoring ? nullptr : visibleTable(a.a != 0, &out);
    if (!t || t->rowCount() == 0)
        return;
    const int row = a.b % t->rowCount();
    QTableWidgetItem *item = t->item(row, 1);
    if (!item)
        return;
    t->scrollToItem(item);
    QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier,
                      t->visualItemRect(item).center());
    const ModelArea before = m_model.cur();
    ModelArea after = before;
    const bool removes = before.kind(out) == 0 && row < before.pts[out].size();
    if (removes)
        after.pts[out].removeAt(row);
    QTest::keyClick(t, Qt::Key_Delete);
    settle(before, {after}, removes ? Commit::Edit : Commit::None, NoopTable);
}

bool WalkSession::pickHandle(int pick, int *index, QPoint *pixel, QVector<QPointF> *positions)
{
    // The view's handles where they are: the vertex handles in point order,
    // then the centre handle if the view shows one.
    const QList<QGraphicsItem *> &shown = m_window->optionScene()->handles();
    const int vertices = expectedHandles().size();
    positions->clear();
    if (m_config.avoid.contains(QStringLiteral("origin")) &&
        m_model.cur().pts[m_model.channel].contains(QPoint(0, 0)))
        return false;
    for (int i = 0; i < shown.size() && i <= vertices; ++i)
        positions->append(shown[i]->pos());
    if (positions->size() > vertices &&
        (positions->last() != QPointF(0, 0) || m_model.cur().kind(m_model.channel) != 0))
        positions->removeLast();
    if (positions->isEmpty())
        return false;
    *index = pick % positions->size();
    ViewWindow *view = ui->graphicsView;
    *pixel = view->mapFromScene(positions->at(*index));
    // Only a handle a person can hit alone, well inside the view.
    if (!view->viewport()->rect().adjusted(12, 12, -12, -12).contains(*pixel))
        return false;
    for (int j = 0; j < positions->size(); ++j) {
        const QPoint o = view->mapFromScene(positions->at(j));
        if (j != *index && qAbs(o.x() - pixel->x()) <= 16 && qAbs(o.y() - pixel->y()) <= 16)
            return false;
    }
    return true;
}

void WalkSession::dragHandle(const Action &a)
{
    ViewWindow *view = ui->graphicsView;
    if (a.d > kKeepZoom)
        ui->ZoomSlider->setValue(a.d);
    int i = 0;
    QPoint px;
    QVector<QPointF> hs;
    if (!pickHandle(a.a, &i, &px, &hs))
        return;
    const QPoint d(a.b, a.c);
    if (!view->viewport()->rect().adjusted(4, 4, -4, -4).contains(px + d))
        return;
    // Where the handle goes after each of the 3 moves: the item is moved
    // by the mouse's way since the press, taken through the item's own
    // coordinates as they are at that move; rounding may leave it a hair
    // off the plain sum, which then truncates a millimetre lower.
    const QPointF start = hs[i];
    const QPointF down = view->mapToScene(px);
    QVector<QPointF> at;
    QPointF pos = start;
    for (int k = 1; k <= 3; ++k) {
        const QPointF mouse = view->mapToScene(px + d * k / 3);
        pos = (start + ((mouse - pos) + pos)) - ((down - pos) + pos);
        at << pos;
    }
    const QPointF end = at.last();
    const QPointF plainEnd = start + (view->mapToScene(px + d) - down);

    const ModelArea before = m_model.cur();
    const int ch = m_model.channel, kind = before.kind(ch), n = before.pts[ch].size();
    QVector<ModelArea> outcomes{before};
    if (!m_monitoring) {
        ModelArea after = before;
        if (kind == 0) {
            if (end == QPointF(0, 0) || plainEnd == QPointF(0, 0))
                return; // dropping on the sensor removes a vertex by design
            outcomes.clear();
            for (const QPointF &e : {end, plainEnd}) {
                QVector<QPointF> moved = hs;
                moved[i] = e;
                after.pts[ch] = fromHandles(moved, n);
                if (!outcomes.contains(after))
                    outcomes << after;
            }
        } else if (ch > 0 && kind >= 3 && kind <= 5) {
            // The bar slides along the forward axis only.
            if (view->mapToScene(px).y() >= 0 || view->mapToScene(px + d).y() >= 0)
                return;
            after.pts[ch][0] = QPoint(0, int(-end.y()));
            outcomes = {after};
            // Mouse plus grab offset may land a rounding step off the sum
            // above; a millimetre either way is the same drag.
            const double grabbed =
                view->mapToScene(px + d).y() + (start.y() - view->mapToScene(px).y());
            after.pts[ch][0] = QPoint(0, int(-grabbed));
            if (!outcomes.contains(after))
                outcomes << after;
        } else if (kind == 1 && n == 2) {
            // Reports lag one move behind the mouse or follow it; either way
            // the other point ends on the dragged point's circle.
            outcomes = {arcFollow(before, ch, i, {start, at[0], at[1], end}),
                        arcFollow(before, ch, i, {at[0], at[1], end, end}),
                        arcFollow(before, ch, i, {end})};
        } else if (kind == 2 && n == 4) {
            static const int takesX[4] = {1, 0, 3, 2};
            static const int takesY[4] = {3, 2, 1, 0};
            outcomes.clear();
            for (const QPointF &e : {end, plainEnd}) {
                QVector<QPoint> &p = after.pts[ch];
                p[i] = QPoint(int(e.x()), int(-e.y()));
                p[takesX[i]].setX(p[i].x());
                p[takesY[i]].setY(p[i].y());
                if (!outcomes.contains(after))
                    outcomes << after;
            }
        }
    }

    QWidget *vp = view->viewport();
    QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, px);
    for (int k = 1; k <= 3; ++k)
        QTest::mouseMove(vp, px + d * k / 3);
    QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, px + d);
    settle(before, outcomes, m_monitoring ? Commit::None : Commit::Edit, NoopView);
}

void WalkSession::clickHandle(const Action &a, bool right, bool deleteKey)
{
    int i = 0;
    QPoint px;
    QVector<QPointF> hs;
    if (!pickHandle(a.a, &i, &px, &hs))
        return;
    const ModelArea before = m_model.cur();
    const int ch = m_model.channel, kind = before.kind(ch), n = before.pts[ch].size();
    if (deleteKey && (kind != 0 || i >= n))
        return; // Delete in the view is offered for polygon vertices
    QWidget *vp = ui->graphicsView->viewport();
    const Qt::MouseButton button = right ? Qt::RightButton : Qt::LeftButton;
    hs = hs.mid(0, n); // the centre handle is no vertex

    // A click reports the handle where it is: a polygon's list is read back
    // from its handles, an arc's other point is pulled onto the circle.
    QVector<ModelArea> clicked{before};
    ModelArea after = before;
    const bool dependent = ch > 0 && kind >= 3 && kind <= 5;
    if (!m_monitoring && (kind == 0 || dependent)) {
        QVector<QPointF> left = hs;
        if (right && i < n && kind == 0)
            left.removeAt(i);
        after.pts[ch] = fromHandles(left, left.size());
        clicked = {after};
    } else if (!m_monitoring && kind == 1 && n == 2 && i < 2) {
        clicked << arcFollow(before, ch, i, {hs[i]});
    }
    QTest::mousePress(vp, button, Qt::NoModifier, px);
    QTest::mouseRelease(vp, button, Qt::NoModifier, px);
    // A right-click on the centre handle deletes no vertex: a no-op of its own.
    const NoopKind noop = right && kind == 0 && i >= n ? NoopDelete : NoopView;
    settle(before, clicked, m_monitoring ? Commit::None : Commit::Edit, noop);
    if (!deleteKey || failed() || m_monitoring)
        return;

    const ModelArea pressed = m_model.cur();
    QVector<QPointF> left;
    for (QGraphicsItem *h : m_window->optionScene()->handles())
        left << h->pos();
    left = left.mid(0, pressed.pts[ch].size());
    if (i < left.size())
        left.removeAt(i);
    ModelArea gone = pressed;
    gone.pts[ch] = fromHandles(left, left.size());
    QTest::keyClick(ui->graphicsView, Qt::Key_Delete);
    settle(pressed, {gone}, Commit::Edit, NoopView);
}

void WalkSession::pickShape(const Action &a)
{
    const int out = ui->AreaEditTab->currentIndex();
    if (m_monitoring || out < 0 || out > 2)
        return;
    auto *button = m_window->findChild<QPushButton *>(
        QStringLiteral("Button%1Out%2").arg(kKindNames[qBound(0, a.b, 5)]).arg(out + 1));
    if (!button || !button->isEnabled())
        return;
    const ModelArea before = m_model.cur();
    ModelArea after = before;
    const bool changes = before.kind(out) != a.b;
    if (changes) {
        after.f[size_t(ModelArea::Kind1 + out)] = a.b;
        if (a.b == 1)
            after.pts[out] = QVector<QPoint>(2, QPoint(20, 0));
        else if (a.b == 2)
            after.pts[out] = QVector<QPoint>(4, QPoint(20, 0));
        else if (a.b >= 3)
            after.pts[out] = {QPoint(0, 20)};
    }
    QTest::mouseClick(button, Qt::LeftButton);
    settle(before, {after}, changes ? Commit::Edit : Commit::None);
}

void WalkSession::stepCombo(const Action &a)
{
    if (m_monitoring)
        return;
    static const int fields[5] = {ModelArea::OpenDelay, ModelArea::CloseDelay,
                                  ModelArea::Hysteresis, ModelArea::DetectionSize,
                                  ModelArea::OperationMode};
    const int which = qBound(0, a.a, 4);
    QTabBar *tabs = ui->ParametersEditTab->tabBar();
    const int page = which == 4 ? 1 : 0;
    if (ui->ParametersEditTab->currentIndex() != page)
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(page).center());
    auto *combo = m_window->findChild<QComboBox *>(QString::fromLatin1(kComboNames[which]));
    static const Qt::Key keys[4] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End};
    for (int k = 0; k < a.c && !failed(); ++k) {
        const ModelArea before = m_model.cur();
        int index = before.f[size_t(fields[which])];
        const int last = combo->count() - 1;
        switch (a.b) {
        case 0: index = qMin(index + 1, last); break;
        case 1: index = qMax(index - 1, 0); break;
        case 2: index = 0; break;
        default: index = last; break;
        }
        ModelArea after = before;
        after.f[size_t(fields[which])] = index;
        QTest::keyClick(combo, keys[qBound(0, a.b, 3)]);
        settle(before, {after}, after != before ? Commit::Edit : Commit::None);
    }
}

void WalkSession::typeSpin(const Action &a)
{
    if (m_monitoring)
        return;
    QTabBar *tabs = ui->ParametersEditTab->tabBar();
    if (ui->ParametersEditTab->currentIndex() != 1)
        QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
    auto *spin = m_window->findChild<QSpinBox *>(kSpinNames[qBound(0, a.a, 3)]);
    const ModelArea before = m_model.cur();
    ModelArea after = before;
    after.f[size_t(ModelArea::SteerMin + qBound(0, a.a, 3))] = a.b;
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(a.b));
    QTest::keyClick(spin, Qt::Key_Return);
    settle(before, {after}, Commit::Edit);
}

void WalkSession::undoRedo(bool redo)
{
    const QVector<ModelArea> outcomes = m_model.undoOutcomes(m_model.current, redo);
    (redo ? ui->Redo : ui->Undo)->trigger();
    const ModelArea seen = programArea(m_model.current);
    if (!m_model.undoResolved(m_model.current, redo, seen))
        fail("undo", "%1 in area %2\n  model:   %3\n  program: %4", redo ? "Redo" : "Undo",
             m_model.current, describeAll(outcomes), seen.describe());
}

void WalkSession::clipboard(Act kind)
{
    const ModelArea before = m_model.cur();
    switch (kind) {
    case Act::Copy:
        ui->Copy->trigger();
        m_model.clipboard = before;
        settle(before, {before}, Commit::None);
        return;
    case Act::Cut:
        ui->Cut->trigger();
        m_model.clipboard = before;
        settle(before, {ModelArea()}, Commit::Area);
        return;
    case Act::Paste:
        ui->Paste->trigger();
        settle(before, {m_model.clipboard}, Commit::Area);
        return;
    case Act::DeleteArea:
        ui->Delete->trigger();
        settle(before, {ModelArea()}, Commit::Area);
        return;
    default: break;
    }
    ui->DeleteAll->trigger();
    for (int area = 0; area < kAreas; ++area) {
        const ModelArea was = m_model.areas[area];
        m_model.areas[area] = ModelArea();
        m_model.areaReplaced(area, was);
    }
}

void WalkSession::selectArea(int area)
{
    if (m_monitoring)
        return;
    QTableWidget *list = ui->AreaTableWidget;
    QTableWidgetItem *item = list->item(qBound(0, area, kAreas - 1), 0);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualItemRect(item).center());
    m_model.current = qBound(0, area, kAreas - 1);
}

void WalkSession::selectOutput(int out, bool keyboard)
{
    if (m_monitoring)
        return;
    QTabBar *bar = ui->AreaEditTab->tabBar();
    if (!keyboard) {
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(out).center());
    } else {
        for (int at = bar->currentIndex(); at != out; at += at < out ? 1 : -1)
            QTest::keyClick(bar, at < out ? Qt::Key_Right : Qt::Key_Left);
    }
    // Whichever way the page came up, it is the output the user now edits.
    m_model.channel = out;
}

void WalkSession::sensorParam(int field, int value)
{
    // Fields 11 and 12 (motor speed, angle) depend on each other: not walked.
    static const QStringList names =
        QStringLiteral(
            "ControlMode RS232BaudRate RS232CommVerify RS232StopBit RS485IDAddress RS485BaudRate "
            "RS485CommVerify RS485StopBit CANIDAddress CANBaudRate SensorOutputLogic - - "
            "ScanFilterLevel")
            .split(' ');
    if (names.value(field, "-") == "-")
        return;
    QWidget *w = m_window->findChild<QWidget *>("Para_" + names[field]);
    if (!w || !w->isEnabled())
        return;
    const bool changed = m_model.params[size_t(field)] != value;
    if (auto *c = qobject_cast<QComboBox *>(w))
        c->setCurrentIndex(value);
    else if (auto *s = qobject_cast<QSpinBox *>(w))
        s->setValue(value);
    m_model.params[size_t(field)] = value;
    // The sensor settings travel with the design; whether they count as a
    // change of it is the program's choice.
    if (changed && m_model.modified == Tri::False)
        m_model.modified = Tri::Unknown;
}

} // namespace Walk
