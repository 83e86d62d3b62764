#pragma once

#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "ui_mainwindow.h"

#include "tests/support/PrivateSettings.h"
#include "tests/support/ViewInput.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QTcpServer>
#include <QTimer>
#include <QtTest>

#include <functional>

// What the GUI tests share: a freshly started tool, waiting for a condition,
// the link's states, and two ways of answering the program's boxes.

// A freshly started tool: its own store and scan record.
struct Tool {
    ZoneStore store;
    ScanRecord scan;
    MainWindow window{&store, &scan};
};

inline bool connected(Tool &t)
{
    return t.window.form()->DisConnection->isEnabled() && !t.window.form()->Connection->isEnabled();
}

// The link closed: the menu offers a new connection and no timer runs.
inline bool disconnected(Tool &t)
{
    Ui::MainWindow *ui = t.window.form();
    return ui->Connection->isEnabled() && !ui->DisConnection->isEnabled() &&
           !t.window.link()->replyTimer()->isActive() &&
           !t.window.link()->simulationTimer()->isActive();
}

// Closed, and the menus and status bar say so.
inline bool closedForGood(Tool &t)
{
    Ui::MainWindow *ui = t.window.form();
    return disconnected(t) && !ui->ReadAllSetting->isEnabled() &&
           !ui->WriteAllSetting->isEnabled() && ui->SerialConnection->isEnabled() &&
           ui->EthernetConnection->isEnabled() &&
           t.window.statusBar()->currentMessage() == QLatin1String("Disconnected");
}

// Connects over Ethernet to a loopback port, as the Ethernet dialog does.
inline void connectTo(Tool &t, quint16 port, const char *mode = "MODE: TCP")
{
    t.window.setSensorPort(port);
    t.window.CreatEthnertModeSignalSlot(mode);
    t.window.CreatEthernetPort("127.0.0.1");
}
inline void connectTo(Tool &t, const QString &port)
{
    connectTo(t, quint16(port.toUInt()));
}

// A loopback port nothing listens on.
inline quint16 deadPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

// A design that a failed or declined read must leave alone, in areas the
// read reaches first as well as last.
inline void putDesign(ZoneStore &store)
{
    store.areas[0].points[0] = {QPoint(500, 500), QPoint(-500, 500), QPoint(0, 1500)};
    store.areas[1].openDelay = 7;
    store.areas[3].openDelay = 11;
    store.areas[3].points[0] = {QPoint(800, 0), QPoint(0, 800), QPoint(-800, 0)};
    store.areas[3].steerMin = -40;
    store.areas[63].hysteresis = 4;
    store.areas[63].shape[1] = ShapeRectangle;
    store.areas[63].points[1] = {QPoint(100, 100), QPoint(100, -100), QPoint(-100, -100),
                                 QPoint(-100, 100)};
}

// A lamp's picture, and a picture of the resources by name.
inline QImage lamp(const QLabel *l)
{
    return l->pixmap(Qt::ReturnByValue).toImage();
}
inline QImage picture(const QString &name)
{
    return QPixmap(":/images/" + name + ".png").toImage();
}

// What a user does to a checkable group box: toggles it, and it reports the click.
inline void clickGroup(QGroupBox *g)
{
    QTest::keyClick(g, Qt::Key_Space);
}

// One text from each item of a list.
template <typename List, typename F> QStringList textsOf(const List &list, F text)
{
    QStringList out;
    for (const auto &item : list)
        out << text(item);
    return out;
}

// What a box says: title, text, then its buttons.
inline QStringList said(const UiPrompt::Box &b)
{
    return QStringList{b.title, b.text} + b.buttons;
}

inline bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(10);
    return done();
}

// Answers boxes and file dialogs through the prompt hooks, without showing
// them, and records what was asked.
struct Answers {
    QList<UiPrompt::Box> boxes;
    QList<UiPrompt::FileQuestion> files;
    QList<int> boxAnswers;   // consumed in order; -1 when exhausted
    QStringList fileAnswers; // consumed in order; "" when exhausted

    Answers()
    {
        UiPrompt::setBoxAnswer([this](const UiPrompt::Box &b) {
            boxes << b;
            return boxAnswers.isEmpty() ? -1 : boxAnswers.takeFirst();
        });
        UiPrompt::setFileAnswer([this](const UiPrompt::FileQuestion &q) {
            files << q;
            return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        });
    }
    ~Answers()
    {
        UiPrompt::setBoxAnswer(nullptr);
        UiPrompt::setFileAnswer(nullptr);
    }
    QStringList texts() const
    {
        return textsOf(boxes, [](const UiPrompt::Box &b) { return b.text; });
    }
};

// Lets the program's message boxes open for real, each in its own modal
// event loop, and closes them from a timer as a person would, some time
// after they appeared: whatever arrives from a port or a socket while a box
// is open is handled inside that loop, as on a user's desk.
class ModalCloser : public QObject
{
public:
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };
    QList<Seen> seen;
    // Index of the button to press, by box; the first button otherwise.
    std::function<int(const Seen &)> choose;

    explicit ModalCloser(int afterMs = 60)
    {
        UiPrompt::setBoxAnswer(nullptr);
        m_timer.setInterval(afterMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    QStringList titles() const
    {
        return textsOf(seen, [](const Seen &s) { return s.title; });
    }
    QStringList texts() const
    {
        return textsOf(seen, [](const Seen &s) { return s.text; });
    }

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (box != m_current) { // seen for the first time: let it stand a tick
            m_current = box;
            seen << Seen{box->windowTitle(), box->text(), box->icon()};
            return;
        }
        const QList<QAbstractButton *> buttons = box->buttons();
        int index = choose ? choose(seen.last()) : 0;
        // Buttons were added left to right in the order given.
        if (index < 0 || index >= buttons.size())
            index = 0;
        m_current = nullptr;
        if (!buttons.isEmpty())
            buttons[index]->click();
    }

    QTimer m_timer;
    QPointer<QMessageBox> m_current;
};
