#pragma once

#include "tests/gui/walk/WalkActions.h"
#include "tests/gui/walk/WalkSim.h"

#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "gui/UiPrompt.h"

#include <QStringList>
#include <functional>
#include <memory>

class MainWindow;
class QTableWidget;
namespace Ui {
class MainWindow;
}

namespace Walk {

struct WalkConfig {
    WalkMix mix;
    QString simProgram;
    // The link's 20 ms tick and 2 s reply time-out, shortened for long runs.
    bool fastLink = false;
    int sendTickMs = 1;
    int replyTimeoutMs = 120;
    // Longest wait for a transfer to end.
    int linkTimeoutMs() const { return fastLink ? 8000 : 30000; }
    // Some sequences' emulators drop, corrupt, split, delay, reject or close.
    bool faults = true;
    // Known failures to step around while they are open, so that the walk
    // finds what lies behind them: "keyboard-tabs", "zoom" (not generated),
    // "monitor-entry" (monitoring need not follow a report it saw before),
    // "arc-radius" (arcs 1 to 2 mm off a circle may be refused), "origin"
    // (no handle actions while a polygon has a vertex at the sensor),
    // "slow-replies" (no emulator answering later than the reply time-out).
    QStringList avoid;
};

struct Failure {
    bool set = false;
    int step = -1;  // -1: the freshly started window
    QString check;  // what differed: "design", "tables", "sensor", ...
    QString detail; // model against program
    bool isSet() const { return set; }
};

// One sequence: a fresh main window (and, once the link is used, a fresh
// emulator), the model, and every action performed on both.
class WalkSession
{
public:
    WalkSession(const WalkConfig &config, quint32 seed, const QString &dir);
    ~WalkSession();

    // Performs the action on the window and on the model, then compares
    // them. False once a comparison failed (see failure()).
    bool step(int index, const Action &action);
    WalkView view() const;
    const DesignModel &model() const { return m_model; }
    const Failure &failure() const { return m_failure; }
    bool closed() const { return m_closed; }
    // The sequence's emulator set-up, for messages.
    QString setup() const;
    static QString setupFor(const WalkConfig &config, quint32 seed);

private:
    struct Plan {
        int three = -1; // the three-button question (connect, close)
        int two = -1;   // the two-button question (new project)
        QStringList files;
    };
    struct Saved {
        QString path;
        int device;
        QVector<ModelArea> areas;
        Params params;
    };

    // ---- prompts
    int answerBox(const UiPrompt::Box &box);
    QString answerFile(const UiPrompt::FileQuestion &q);
    void expectPrompts(const Plan &plan);
    // The three-button question answered `answer`, a save going to `file`.
    void expectThree(int answer, const QString &file)
    {
        expectPrompts({answer, -1, answer == 0 ? QStringList{file} : QStringList()});
    }
    bool askedThree() const;
    // The question about unsaved changes came exactly when there were some.
    bool askedRightly(bool asked, const char *check);

    // ---- failures
    bool fail(const QString &check, const QString &detail);
    // The detail from a format and its %1.. arguments, in one pass.
    template <typename... A> bool fail(const QString &check, const char *format, const A &...args)
    {
        if constexpr (sizeof...(A) == 0)
            return fail(check, QString::fromUtf8(format));
        else
            return fail(check, QString::fromUtf8(format).arg(text(args)...));
    }
    static QString text(const QString &s) { return s; }
    static QString text(const char *s) { return QString::fromUtf8(s); }
    static QString text(double v) { return QString::number(v); }
    static QString text(int v) { return QString::number(v); }
    bool failed() const { return m_failure.isSet(); }

    // ---- editing (WalkEditing.cpp)
    void typeCell(const Action &a);
    void deleteRow(const Action &a);
    void dragHandle(const Action &a);
    void clickHandle(const Action &a, bool right, bool deleteKey);
    void pickShape(const Action &a);
    void stepCombo(const Action &a);
    void typeSpin(const Action &a);
    void undoRedo(bool redo);
    void clipboard(Act kind);
    void selectArea(int area);
    void selectOutput(int out, bool keyboard);
    void sensorParam(int field, int value);
    QTableWidget *visibleTable(bool polar, int *out);
    // After an edit of the current area: the program's record must be one
    // of `allowed` (the first is the plain expectation); then the model
    // records it as a finished edit, an area command, or nothing.
    enum class Commit { None, Edit, Area };
    void settle(const ModelArea &before, const QVector<ModelArea> &allowed, Commit commit,
                NoopKind where = NoopControl);
    // A handle a person can grab alone: its index in the view's order and
    // its pixel.
    bool pickHandle(int pick, int *index, QPoint *pixel, QVector<QPointF> *positions);

    // ---- files and link (WalkLink.cpp)
    QString fileFor(int choice, int pick, bool save, int suffixless);
    void newProject(int device, int answer);
    void save(int choice, int suffixless);
    void open(int choice, int pick);
    void closeWindow(int answer, int choice);
    bool savedAs(const QString &path, bool expectSaved);
    void connectLink(int transport, int answer, int choice);
    void writeAll();
    void readAll(int answer, int choice);
    // The question before a full read replaces unsaved work: 1 read, 2 keep
    // the design and read nothing, -1 nothing happens (a save that did not
    // happen); a failure when it was asked or not asked wrongly.
    int askedBeforeReading(int answer, int choice, const QString &file);
    // Waits for a read to end and takes it into the model.
    void finishRead(const QString &what);
    void disconnectLink();
    void ioSelect(int area);
    void monitor(bool on, bool byDock);
    void waitIdle(int ms);
    bool ensureSim();
    // Waits for a transfer to end; the texts of the boxes it showed.
    enum class Outcome { Done, Refused, GaveUp, Rejected, Timeout };
    Outcome waitTransfer(bool write);
    void applyRead();
    bool sensorEquals(const SensorState &want, const QString &what);
    int framesSent(const char *token) const;
    QString traffic() const;
    // Every transfer begins at area 0.
    bool startsAtZero(const char *token);
    void settleMonitoring();
    int reportedArea() const;

    // ---- checks (WalkChecks.cpp)
    bool checkAll();
    bool checkDesign();
    bool checkEditors();
    bool checkHandles();
    bool checkLinkState();
    QVector<QPointF> expectedHandles() const;
    ModelArea programArea(int area) const;

    WalkConfig m_config;
    quint32 m_seed;
    QString m_dir;
    ZoneStore m_store;
    ScanRecord m_scan;
    std::unique_ptr<MainWindow> m_window;
    Ui::MainWindow *ui = nullptr;
    DesignModel m_model;
    Failure m_failure;
    int m_step = -1;

    // Prompts seen during the current action and the answers planned.
    Plan m_plan;
    QList<UiPrompt::Box> m_boxes;
    QStringList m_unplannedFiles;
    // Frames the link wrote and received during the current action.
    QList<QByteArray> m_sent;
    QList<QByteArray> m_received;
    // Frames written before the sensor's first refusal of a write.
    int m_sentAtRefusal = -1;

    // The emulator, its set-up and what the model says it holds.
    QString m_faults;
    SensorState m_sensor;
    std::unique_ptr<WalkSim> m_sim;
    bool m_connected = false;
    bool m_monitoring = false;
    bool m_ioOn = false;
    int m_ioWord = 0;
    int m_lastReport = 0; // the last sensor area the view followed

    QVector<Saved> m_saved;
    int m_files = 0;
    bool m_closed = false;
};

} // namespace Walk
