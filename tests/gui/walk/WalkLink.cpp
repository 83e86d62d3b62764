// The walk's file and link actions: new project, save, open, closing the
// window, connecting to the emulator, Write All, Read All, disconnecting,
// the IO simulation and monitoring mode.

#define QTEST_QPA_MOUSE_HANDLING

#include "tests/gui/walk/WalkSession.h"

#include "core/link/SERIAL_COMM.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"
#include "ui_mainwindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMap>
#include <QSpinBox>
#include <QtTest>

namespace Walk {

namespace {
const QStringList kReadDone{QStringLiteral("参数读取完成"), QStringLiteral("Parameters Read OK")};
// A write ends with the check that reads everything back.
const QStringList kVerified{QStringLiteral("写入并校验完成：传感器中的数据与写入的数据一致。"),
                            QStringLiteral("Written and verified: the sensor holds what was sent.")};
const QStringList kVerifyFailed{QStringLiteral("校验失败"), QStringLiteral("Verify failed")};
const QStringList kCopyCut{QStringLiteral("传感器数据未能完整读取，未作比较"),
                           QStringLiteral("Not everything could be read from the sensor; nothing was compared")};
const QStringList kWriteDone{QStringLiteral("参数写入完成"),
                             QStringLiteral("Parameters Write Complete")};
const QStringList kRejected{QStringLiteral("参数设置异常"),
                            QStringLiteral("Parameters Setting Error"),
                            QStringLiteral("内存写入错误"), QStringLiteral("FLASH Write Error")};
const QStringList kGaveUp{QStringLiteral("读写参数超时,请检查连接"),
                          QStringLiteral("Connect OverTimer, Check Connect")};
const char *const kWrites[] = {"WArea", "WCase", "WPara"};
const char *const kReads[] = {"RArea", "RCase", "RPara"};
} // namespace

// ---------------------------------------------------------------- files

QString WalkSession::fileFor(int choice, int pick, bool save, int suffixless)
{
    const QString suffix = suffixOf(m_model.device);
    switch (choice) {
    case FileCancel: return QString();
    case FileSame:
        if (!m_saved.isEmpty())
            return m_saved.last().path;
        Q_FALLTHROUGH();
    case FileNew:
        return QDir(m_dir).filePath(QStringLiteral("design%1").arg(++m_files)) +
               (suffixless ? QString() : suffix);
    case FileBad:
        if (pick % 2) {
            // A folder where the file should go.
            const QString folder =
                QDir(m_dir).filePath(QStringLiteral("folder%1").arg(++m_files) + suffix);
            QDir().mkpath(folder);
            return folder;
        }
        return QDir(m_dir).filePath(QStringLiteral("no-such-folder/design") + suffix);
    case FileOld:
        if (!save && !m_saved.isEmpty())
            return m_saved[pick % m_saved.size()].path;
        Q_FALLTHROUGH();
    default: return QDir(m_dir).filePath(QStringLiteral("missing") + suffix);
    }
}

bool WalkSession::savedAs(const QString &answer, bool expectSaved)
{
    const QString suffix = suffixOf(m_model.device);
    const QString path = answer.endsWith(suffix) ? answer : answer + suffix;
    if (!expectSaved)
        return m_boxes.isEmpty() && fail("save", "saving to %1 failed without a message", path);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return fail("save", "%1 was not written", path);
    ProjectContent content;
    QString why;
    if (!parseProject(f.readAll(), &content, &why))
        return fail("save", "%1: %2", path, why);
    if (content.header != headerOf(m_model.device))
        return fail("save", "header %1, model %2", content.header, headerOf(m_model.device));
    if (content.dock != dockLines(m_model.params)) {
        QStringList a, b;
        for (int v : content.dock)
            a << QString::number(v);
        for (int v : dockLines(m_model.params))
            b << QString::number(v);
        return fail("save", "sensor settings in the file %1, model %2", a.join(','), b.join(','));
    }
    for (int i = 0; i < kAreas; ++i)
        if (content.areas[i] != m_model.areas[i])
            return fail("save", "area %1 in the file\n  model: %2\n  file:  %3", i,
                        m_model.areas[i].describe(), content.areas[i].describe());
    if (!m_boxes.isEmpty())
        return fail("save", "a saved design showed \"%1\"", m_boxes.first().text);
    m_model.modified = Tri::False;
    for (int i = 0; i < m_saved.size(); ++i)
        if (m_saved[i].path == path)
            m_saved.removeAt(i--);
    m_saved << Saved{path, m_model.device, m_model.areas, m_model.params};
    return true;
}

bool WalkSession::askedRightly(bool asked, const char *check)
{
    if (m_model.modified == Tri::Unknown || (m_model.modified == Tri::True) == asked)
        return true;
    return fail(check, "unsaved changes: %1, question asked: %2",
                int(m_model.modified == Tri::True), int(asked));
}

void WalkSession::newProject(int device, int answer)
{
    expectPrompts({-1, answer, {}});
    (device == 4 ? ui->Laser50 : ui->Laser30)->trigger();
    bool asked = false;
    for (const UiPrompt::Box &b : m_boxes)
        asked = asked || b.buttons.size() == 2;
    if (!askedRightly(asked, "new"))
        return;
    if (asked && answer == 1) {
        m_model.modified = Tri::True;
        return;
    }
    // The new project: points, parameter indexes and kinds cleared, the
    // case channels kept; sensor settings to their defaults; nothing to undo.
    m_model.device = device;
    for (ModelArea &a : m_model.areas) {
        for (auto &p : a.pts)
            p.clear();
        for (int i : {0, 1, 2, 3, 9, 10, 11})
            a.f[size_t(i)] = 0;
    }
    m_model.params = defaultParams();
    m_model.modified = Tri::False;
    m_model.resetHistories();
}

void WalkSession::save(int choice, int suffixless)
{
    const QString answer = fileFor(choice, m_files, true, suffixless);
    expectPrompts({-1, -1, {answer}});
    ui->Save->trigger();
    if (answer.isEmpty() && !m_boxes.isEmpty())
        fail("save", "a cancelled save showed \"%1\"", m_boxes.first().text);
    else if (!answer.isEmpty())
        savedAs(answer, choice != FileBad);
}

void WalkSession::open(int choice, int pick)
{
    const QString answer = fileFor(choice, pick, false, 0);
    expectPrompts({-1, -1, {answer}});
    ui->Open->trigger();
    if (answer.isEmpty())
        return;
    const Saved *file = nullptr;
    for (const Saved &s : qAsConst(m_saved))
        if (s.path == answer)
            file = &s;
    if (!file || file->device != m_model.device) {
        // A missing file or one of another model: a message, the design stays.
        if (m_boxes.isEmpty())
            fail("open", "%1 was refused without a message", answer);
        if (file) {
            m_model.touched(false);
            m_model.refusedFile();
        }
        return;
    }
    m_model.areas = file->areas;
    m_model.params = file->params;
    m_model.modified = Tri::True;
    m_model.readFromFile();
}

void WalkSession::closeWindow(int answer, int choice)
{
    const QString file = answer == 0 ? fileFor(choice, m_files, true, 0) : QString();
    expectThree(answer, file);
    m_window->close();
    QCoreApplication::processEvents();
    const bool asked = askedThree();
    if (!askedRightly(asked, "close"))
        return;
    bool shouldClose = true;
    if (!asked) {
        m_plan.files.clear(); // no question, no save dialog
    } else {
        m_model.modified = Tri::True;
        m_boxes.removeFirst(); // the question itself
        if (answer == 2) {
            shouldClose = false;
        } else if (answer == 0) {
            // A cancelled or failed save keeps the window and the design.
            shouldClose = !file.isEmpty() && savedAs(file, choice != FileBad);
            if (failed())
                return;
        }
    }
    if (m_window->isVisible() == shouldClose)
        return void(fail("close", "the window %1", shouldClose ? "stayed open" : "closed"));
    m_closed = shouldClose;
}

// ---------------------------------------------------------------- link

bool WalkSession::ensureSim()
{
    if (!m_sim)
        m_sim = std::make_unique<WalkSim>(m_config.simProgram, QDir(m_dir).filePath("sensor.state"),
                                          m_sensor, m_faults, m_seed);
    return m_sim->ready() || fail("emulator", m_sim->error());
}

bool WalkSession::startsAtZero(const char *token)
{
    for (const QByteArray &f : qAsConst(m_sent))
        if (f.startsWith(token))
            return f.size() < 6 || f[5] == 0 ||
                   fail("link", "the transfer began with %1 for area %2", token, int(f[5]));
    return true;
}

QString WalkSession::traffic() const
{
    // How many frames of each kind went out and came back, and the last few.
    QMap<QByteArray, int> sent, received;
    for (const QByteArray &f : m_sent)
        ++sent[f.left(5)];
    for (const QByteArray &f : m_received)
        ++received[f.left(5)];
    QStringList out;
    for (auto it = sent.cbegin(); it != sent.cend(); ++it)
        out << QStringLiteral("%1 %2/%3")
                   .arg(QString::fromLatin1(it.key()))
                   .arg(it.value())
                   .arg(received.value(it.key()));
    QStringList last;
    for (const QByteArray &f : m_sent.mid(qMax(0, m_sent.size() - 4)))
        last << QString::fromLatin1(f.left(5)) +
                    (f.size() > 5 ? QString::number(int(f[5])) : QString());
    SERIAL_COMM *link = m_window->link();
    return QStringLiteral("sent/answered %1; last sent %2; boxes: %3; Read All %4; link busy "
                          "with code %5, reply time-out %6")
        .arg(out.join(QStringLiteral(", ")), last.join(' '))
        .arg(m_boxes.size())
        .arg(ui->ReadAllSetting->isEnabled() ? "enabled" : "disabled")
        .arg(link->busyCode())
        .arg(link->replyTimer()->isActive() ? "running" : "stopped");
}

int WalkSession::framesSent(const char *token) const
{
    int n = 0;
    for (const QByteArray &f : m_sent)
        if (f.startsWith(token))
            ++n;
    return n;
}

WalkSession::Outcome WalkSession::waitTransfer(bool write)
{
    QElapsedTimer t;
    t.start();
    const QStringList &done = write ? kWriteDone : kReadDone;
    while (t.elapsed() < m_config.linkTimeoutMs()) {
        bool written = false;
        for (const UiPrompt::Box &b : qAsConst(m_boxes)) {
            // After a write the program reads everything back: the write
            // is over once that check has ended (or was cut short).
            if (write && done.contains(b.text))
                written = true;
            if (written && (kVerified.contains(b.text) || kCopyCut.contains(b.text)))
                return Outcome::Done;
            if (written && kVerifyFailed.contains(b.title)) {
                fail("write", "the read-back found differences: %1", b.text);
                return Outcome::Done;
            }
            if (!write && done.contains(b.text))
                return Outcome::Done;
            if (kGaveUp.contains(b.text))
                return Outcome::GaveUp;
            if (write && kRejected.contains(b.text))
                return Outcome::Rejected;
        }
        if (!ui->DisConnection->isEnabled())
            return Outcome::GaveUp;
        int writes = 0;
        for (const char *w : kWrites)
            writes += framesSent(w);
        if (write && !m_boxes.isEmpty() && writes == 0 && t.elapsed() > 200)
            return Outcome::Refused;
        QTest::qWait(2);
    }
    return Outcome::Timeout;
}

void WalkSession::applyRead()
{
    for (int a = 0; a < kAreas; ++a) {
        ModelArea m = fromWire(m_sensor.areas[a], m_model.areas[a]);
        for (int i = 0; i < 5; ++i)
            m.f[size_t(ModelArea::SteerMin + i)] = m_sensor.cases[a].v[i];
        m_model.areas[a] = m;
    }
    m_model.params = m_sensor.params;
    // The design now is the sensor's: whether that counts as unsaved, and
    // whether the old undo steps survive, is the program's choice.
    m_model.modified = Tri::Unknown;
    m_model.readFromSensor();
}

bool WalkSession::sensorEquals(const SensorState &want, const QString &what)
{
    SensorState held;
    if (!m_sim->state(&held))
        return fail("sensor", "the emulator's state cannot be read");
    for (int a = 0; a < kAreas; ++a)
        if (held.areas[a] != want.areas[a])
            return fail("sensor", "%1: area %2\n  model:    %3\n  emulator: %4", what, a,
                        want.areas[a].describe(), held.areas[a].describe());
    for (int a = 0; a < kAreas; ++a)
        if (!(held.cases[a] == want.cases[a]))
            return fail("sensor", "%1: case values of area %2", what, a);
    return held.params == want.params || fail("sensor", "%1: sensor parameters", what);
}

void WalkSession::connectLink(int transport, int answer, int choice)
{
    if (m_connected || !ensureSim())
        return;
    if (!ui->Connection->isEnabled())
        return void(fail("link", "Connection is disabled while disconnected"));
    if (transport == 0) {
        if (!ui->EthernetConnection->isChecked())
            ui->EthernetConnection->trigger();
        auto *box =
            m_window->ethernetSettings()->findChild<QComboBox *>(QStringLiteral("Eth_ComboBox"));
        box->clear();
        box->addItem(QStringLiteral("127.0.0.1"));
        m_window->setSensorPort(m_sim->tcpPort());
    } else {
        if (!ui->SerialConnection->isChecked())
            ui->SerialConnection->trigger();
        auto *box = m_window->serialSettings()->findChild<QComboBox *>(
            QStringLiteral("serialPortInfoListBox"));
        if (box->findText(m_sim->serialDevice()) < 0)
            box->addItem(m_sim->serialDevice());
        box->setCurrentIndex(box->findText(m_sim->serialDevice()));
    }
    const QString file = fileFor(choice, m_files, true, 0);
    expectThree(answer, file);
    ui->Connection->trigger();
    const int effective = askedBeforeReading(answer, choice, file);
    if (effective < 0) {
        QTest::qWait(m_config.fastLink ? 20 : 100);
        if (!failed() && (ui->DisConnection->isEnabled() || !m_sent.isEmpty()))
            fail("connect", "connected although the design was not saved");
        return;
    }
    if (!ui->DisConnection->isEnabled())
        return void(fail("connect", "not connected after Connection"));
    m_connected = true;
    if (effective == 2) {
        QTest::qWait(m_config.fastLink ? 60 : 200);
        for (const char *t : kReads)
            if (framesSent(t))
                return void(fail("connect", "Keep sent %1: the design would be replaced", t));
        return;
    }
    finishRead(QStringLiteral("the read on connecting"));
}

void WalkSession::writeAll()
{
    if (!m_connected)
        return;
    const TravelVerdict verdict = canTravel(
        m_model.areas, m_config.avoid.contains(QStringLiteral("arc-radius")) ? 1.0f : 1.5f);
    const SensorState before = m_sensor;
    const SensorState want = stateOfDesign(m_model.areas, m_model.params);
    ui->WriteAllSetting->trigger();
    int writes = 0;
    if (verdict.travel == Travel::Broken) {
        QTest::qWait(m_config.fastLink ? 30 : 120);
        for (const char *t : kWrites)
            writes += framesSent(t);
        if (writes)
            fail("write", "a design that cannot travel was sent (%1)", verdict.why);
        else if (m_boxes.isEmpty())
            fail("write", "Write All did nothing and said nothing (%1)", verdict.why);
        return;
    }
    const Outcome outcome = waitTransfer(true);
    for (const char *t : kWrites)
        writes += framesSent(t);
    if (!startsAtZero("WArea"))
        return;
    switch (outcome) {
    case Outcome::Done:
        if (sensorEquals(want, QStringLiteral("after Write All")))
            m_sensor = want;
        return;
    case Outcome::Refused:
        if (verdict.travel != Travel::Either)
            fail("write", "a design that travels was refused: \"%1\"", m_boxes.first().text);
        return;
    case Outcome::Rejected: {
        // The sensor refused: the whole write stops there.
        const int at = m_sentAtRefusal;
        QTest::qWait(m_config.fastLink ? 60 : 300);
        for (int i = at; i < m_sent.size(); ++i)
            for (const char *t : kWrites)
                if (m_sent[i].startsWith(t))
                    return void(fail("write", "%1 sent after the sensor refused a write", t));
        sensorEquals(before, QStringLiteral("after a refused write"));
        return;
    }
    case Outcome::GaveUp: {
        // Cut short: every area holds the old or the new image, nothing else.
        SensorState held;
        if (!m_sim->state(&held))
            return void(fail("sensor", "state unreadable"));
        for (int a = 0; a < kAreas; ++a)
            if (held.areas[a] != before.areas[a] && held.areas[a] != want.areas[a])
                return void(fail("sensor", "cut-short write left area %1 neither old nor new: %2",
                                 a, held.areas[a].describe()));
        if ((held.cases != before.cases && held.cases != want.cases) ||
            (held.params != before.params && held.params != want.params))
            return void(fail("sensor", "cut-short write left cases or parameters neither old "
                                       "nor new"));
        m_sensor = held;
        m_connected = false;
        return;
    }
    default: fail("link", "Write All did not end: %1", traffic());
    }
}

int WalkSession::askedBeforeReading(int answer, int choice, const QString &file)
{
    const bool asked = askedThree();
    if (!askedRightly(asked, "replace"))
        return -1;
    if (!asked) {
        m_plan.files.clear();
        return 1;
    }
    m_model.modified = Tri::True;
    m_boxes.removeFirst(); // the question
    if (answer != 0)
        return answer;
    const bool saved = !file.isEmpty() && savedAs(file, choice != FileBad);
    return saved ? 1 : -1;
}

void WalkSession::readAll(int answer, int choice)
{
    if (!m_connected)
        return;
    const QString file = fileFor(choice, m_files, true, 0);
    expectThree(answer, file);
    ui->ReadAllSetting->trigger();
    if (askedBeforeReading(answer, choice, file) != 1) {
        QTest::qWait(m_config.fastLink ? 30 : 120);
        for (const char *t : kReads)
            if (!failed() && framesSent(t))
                fail("replace", "%1 sent although nothing was to be read", t);
        return;
    }
    finishRead(QStringLiteral("Read All"));
}

void WalkSession::finishRead(const QString &what)
{
    const Outcome outcome = waitTransfer(false);
    if (!startsAtZero("RArea"))
        return;
    if (outcome == Outcome::Done)
        applyRead();
    else if (outcome == Outcome::Timeout)
        fail("link", "%1 did not end: %2", what, traffic());
    else
        m_connected = false; // cut short: the design stays as it was
}

void WalkSession::disconnectLink()
{
    if (!m_connected)
        return;
    ui->DisConnection->trigger();
    m_connected = false;
    m_ioOn = false;
}

void WalkSession::ioSelect(int area)
{
    if (!m_connected || !ui->IOSimulation->isEnabled())
        return;
    if (!ui->IOSimulation->isChecked())
        ui->IOSimulation->trigger();
    if (!ui->InportGrouptBox->isChecked())
        QTest::keyClick(ui->InportGrouptBox, Qt::Key_Space);
    QSpinBox *spin = ui->InputspinBox;
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(area));
    QTest::keyClick(spin, Qt::Key_Return);
    m_ioOn = ui->InportGrouptBox->isChecked();
    m_ioWord = spin->value();
    if (m_ioWord != area)
        fail("io", "typed %1 into the input word, it shows %2", area, m_ioWord);
}

void WalkSession::monitor(bool on, bool byDock)
{
    if (on) {
        if (byDock)
            ui->EditionControlDock->close();
        else
            ui->Monitoring->trigger();
    } else if (!ui->Edition->isChecked()) {
        ui->Edition->trigger();
    }
    m_monitoring = on;
    if (m_window->viewMode() != (on ? 1 : 0))
        fail("monitor", "view mode %1 after switching %2", m_window->viewMode(), on ? "on" : "off");
}

void WalkSession::waitIdle(int ms)
{
    QTest::qWait(m_config.fastLink ? ms / 4 : ms);
}

int WalkSession::reportedArea() const
{
    return m_ioOn ? (m_ioWord & 63) : 0;
}

void WalkSession::settleMonitoring()
{
    if (!m_monitoring || !m_connected)
        return;
    const int want = reportedArea();
    if (want == m_lastReport && m_config.avoid.contains(QStringLiteral("monitor-entry"))) {
        m_model.current = m_store.currentArea;
        return;
    }
    QElapsedTimer t;
    t.start();
    while (m_store.currentArea != want && t.elapsed() < 800)
        QTest::qWait(5);
    m_model.current = want;
    m_lastReport = want;
}

} // namespace Walk
