#include "tests/gui/walk/WalkProcess.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace Walk;

// Seeded random sequences of user actions on the whole main window, checked
// step by step against a model of the design (see tests/walk/). A short run
// here; build/soak-design runs the same walk for as long as wanted. Each
// sequence runs in a child process of this test, so that a crash of the
// program is reported with its seed and shortest action list too.
class TestDesignWalk : public QObject
{
    Q_OBJECT

    static WalkConfig config(bool link, bool faults, bool fast)
    {
        WalkConfig c;
        c.simProgram = QStringLiteral(SECTOR_SIM_PATH);
        c.mix.link = link;
        c.faults = faults;
        c.fastLink = fast;
        return c;
    }

    // Runs the sequences; every failing one is shrunk and reported.
    static void walk(const WalkConfig &c, quint32 firstSeed, int sequences, int steps)
    {
        ChildRunner runner(QCoreApplication::applicationFilePath(), c);
        QStringList failed;
        for (int i = 0; i < sequences; ++i) {
            const SequenceResult r = runner.runAndShrink(firstSeed + quint32(i), steps, 15000, 100);
            if (r.clean())
                continue;
            // In full, as QtTest cuts long failure messages.
            qWarning().noquote() << "\n" + r.report();
            failed << QString::number(r.seed);
        }
        QVERIFY2(failed.isEmpty(),
                 qPrintable(QStringLiteral("failing seeds (reported above): ") + failed.join(' ')));
    }

private Q_SLOTS:
    // Editing, undo, the clipboard, files and closing: no sensor.
    void editingAndFiles() { walk(config(false, false, false), 7000, 40, 40); }

    // Connect, read, write, monitoring and the IO simulation against the
    // emulator, with the link's real 20 ms tick and 2 s time-out.
    void linkRealTimers() { walk(config(true, false, false), 7100, 4, 30); }

    // The emulator drops, corrupts, splits, delays, rejects or hangs up; the
    // link's timers shortened so that time-outs take a moment.
    void linkFaults() { walk(config(true, true, true), 7200, 12, 30); }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QDir::tempPath().toLocal8Bit());
    QApplication app(argc, argv);
    // Nothing of a user's own layout is read or written, here or in the
    // children.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const int child = childMain(app.arguments(), QStringLiteral(SECTOR_SIM_PATH));
    if (child >= 0)
        return child;
    TestDesignWalk test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_designwalk.moc"
