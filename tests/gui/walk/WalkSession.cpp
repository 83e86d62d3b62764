#include "tests/gui/walk/WalkSession.h"

#include "core/link/SERIAL_COMM.h"
#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include <QtTest>

namespace Walk {

namespace {
WalkSession *g_current = nullptr;

// The sequence's emulator faults, from its seed.
QString faultsFor(QRandomGenerator &rng, const WalkConfig &c)
{
    if (!c.faults)
        return QString();
    const int r = rng.bounded(100);
    const int timeout = c.fastLink ? c.replyTimeoutMs : 2000;
    if (r < 55)
        return QString();
    // Rare enough that a full read of 66 exchanges usually gets through.
    if (r < 63)
        return QStringLiteral("drop=0.0%1").arg(rng.bounded(5, 21), 2, 10, QLatin1Char('0'));
    if (r < 70)
        return QStringLiteral("corrupt=0.0%1").arg(rng.bounded(5, 21), 2, 10, QLatin1Char('0'));
    if (r < 78)
        return QStringLiteral("split=1");
    if (r < 84) {
        // Mostly well inside the reply time-out; now and then beyond it.
        const bool slow = rng.bounded(4) == 0 && !c.avoid.contains(QStringLiteral("slow-replies"));
        const int ms = slow ? timeout + rng.bounded(20, 100) : rng.bounded(2, timeout / 4);
        return QStringLiteral("delay=%1").arg(ms);
    }
    if (r < 92)
        return QStringLiteral("reject=%1").arg(rng.bounded(1, 3));
    return QStringLiteral("close-after=%1").arg(rng.bounded(20, 160));
}
} // namespace

WalkSession::WalkSession(const WalkConfig &config, quint32 seed, const QString &dir)
    : m_config(config)
    , m_seed(seed)
    , m_dir(dir)
{
    QRandomGenerator rng(seed ^ 0x5eed5eedu);
    m_faults = faultsFor(rng, config);
    m_sensor = randomSensorState(rng);
    const bool liveScan = rng.bounded(10) < 3;

    g_current = this;
    UiPrompt::setBoxAnswer([](const UiPrompt::Box &b) { return g_current->answerBox(b); });
    UiPrompt::setFileAnswer(
        [](const UiPrompt::FileQuestion &q) { return g_current->answerFile(q); });

    m_window = std::make_unique<MainWindow>(&m_store, &m_scan);
    ui = m_window->form();
    if (config.fastLink) {
        m_window->link()->sendTick()->setInterval(config.sendTickMs);
        m_window->link()->replyTimer()->setInterval(config.replyTimeoutMs);
    }
    // Token and area index of every frame written.
    QObject::connect(m_window->link(), &SERIAL_COMM::FrameSent, m_window.get(),
                     [this](const QByteArray &f) { m_sent << f.left(6); });
    QObject::connect(m_window->link(), &SERIAL_COMM::FrameReceived, m_window.get(),
                     [this](const QByteArray &f) { m_received << f.left(6); });
    m_window->resize(1190, 715);
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        fail(QStringLiteral("window"), QStringLiteral("the main window was never shown"));
    // The user watches the live scan in some sequences only.
    if (!liveScan) {
        ui->Distance->trigger();
        ui->Intensity->trigger();
    }
    checkAll();
}

WalkSession::~WalkSession()
{
    m_window.reset();
    m_sim.reset();
    UiPrompt::setBoxAnswer(nullptr);
    UiPrompt::setFileAnswer(nullptr);
    g_current = nullptr;
}

QString WalkSession::setup() const
{
    return setupFor(m_config, m_seed);
}

QString WalkSession::setupFor(const WalkConfig &config, quint32 seed)
{
    QRandomGenerator rng(seed ^ 0x5eed5eedu);
    const QString faults = faultsFor(rng, config);
    return faults.isEmpty() ? QStringLiteral("no faults") : QStringLiteral("faults ") + faults;
}

WalkView WalkSession::view() const
{
    WalkView v;
    v.connected = m_connected;
    v.monitoring = m_monitoring;
    v.hasSaved = !m_saved.isEmpty();
    return v;
}

// ---------------------------------------------------------------- prompts

int WalkSession::answerBox(const UiPrompt::Box &box)
{
    m_boxes << box;
    static const QStringList refusals{
        QStringLiteral("参数设置异常"), QStringLiteral("内存写入错误"),
        QStringLiteral("Parameters Setting Error"), QStringLiteral("FLASH Write Error")};
    if (m_sentAtRefusal < 0 && refusals.contains(box.text))
        m_sentAtRefusal = m_sent.size();
    const bool warning =
        box.title == QStringLiteral("警告") || box.title == QLatin1String("Warning");
    // The read question also offers Compare, which the walk never picks.
    if ((box.buttons.size() == 3 || box.buttons.size() == 4) && warning)
        return m_plan.three >= 0 ? m_plan.three : 2;
    if (box.buttons.size() == 2 && warning)
        return m_plan.two >= 0 ? m_plan.two : 1;
    return 0;
}

QString WalkSession::answerFile(const UiPrompt::FileQuestion &q)
{
    if (m_plan.files.isEmpty()) {
        m_unplannedFiles << q.caption;
        return QString();
    }
    return m_plan.files.takeFirst();
}

void WalkSession::expectPrompts(const Plan &plan)
{
    m_plan = plan;
    m_boxes.clear();
    m_unplannedFiles.clear();
    m_sent.clear();
    m_received.clear();
    m_sentAtRefusal = -1;
}

bool WalkSession::askedThree() const
{
    for (const UiPrompt::Box &b : m_boxes)
        if (b.buttons.size() == 3 || b.buttons.size() == 4)
            return true;
    return false;
}

bool WalkSession::fail(const QString &check, const QString &detail)
{
    if (!m_failure.isSet())
        m_failure = Failure{true, m_step, check, detail};
    return false;
}

// ---------------------------------------------------------------- one step

bool WalkSession::step(int index, const Action &a)
{
    if (failed())
        return false;
    if (m_closed)
        return true;
    m_step = index;
    expectPrompts(Plan());
    switch (a.kind) {
    case Act::TypeCell: typeCell(a); break;
    case Act::DeleteRow: deleteRow(a); break;
    case Act::Drag: dragHandle(a); break;
    case Act::RightClick: clickHandle(a, true, false); break;
    case Act::ViewDelete: clickHandle(a, false, true); break;
    case Act::Shape: pickShape(a); break;
    case Act::Combo: stepCombo(a); break;
    case Act::Spin: typeSpin(a); break;
    case Act::Undo: undoRedo(false); break;
    case Act::Redo: undoRedo(true); break;
    case Act::Copy:
    case Act::Cut:
    case Act::Paste:
    case Act::DeleteArea:
    case Act::DeleteAll: clipboard(a.kind); break;
    case Act::SelectArea: selectArea(a.a); break;
    case Act::SelectOutput: selectOutput(a.a, a.b != 0); break;
    case Act::SensorParam: sensorParam(a.a, a.b); break;
    case Act::New: newProject(a.a, a.b); break;
    case Act::Save: save(a.a, a.b); break;
    case Act::Open: open(a.a, a.b); break;
    case Act::Close: closeWindow(a.a, a.b); break;
    case Act::Connect: connectLink(a.a, a.b, a.c); break;
    case Act::WriteAll: writeAll(); break;
    case Act::ReadAll: readAll(a.b, a.c); break;
    case Act::Disconnect: disconnectLink(); break;
    case Act::IoSelect: ioSelect(a.a); break;
    case Act::Monitor: monitor(a.a != 0, a.b != 0); break;
    case Act::Wait: waitIdle(a.a); break;
    }
    if (failed())
        return false;
    if (!m_unplannedFiles.isEmpty())
        return fail(QStringLiteral("prompt"),
                    QStringLiteral("unexpected file dialog \"%1\"").arg(m_unplannedFiles.first()));
    // Let the link and the view catch up, as a person's pause would.
    QCoreApplication::processEvents();
    if (m_closed)
        return true;
    return checkAll();
}

} // namespace Walk
