#pragma once

#include <QHash>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

// A child process that dies with the test: the kernel kills it when the test
// process ends, also when the test crashes or is killed, so no emulator is
// left behind holding ports or a pseudo-terminal.
class ChildProcess : public QProcess
{
public:
    ChildProcess()
        : m_parent(::getpid())
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        setChildProcessModifier([parent = m_parent] { dieWithParent(parent); });
#endif
    }
    ~ChildProcess() override
    {
        if (state() == QProcess::NotRunning)
            return;
        terminate();
        if (!waitForFinished(3000)) {
            kill();
            waitForFinished(1000);
        }
    }

protected:
    // Runs in the child between fork and exec: Qt 6 takes it as a function,
    // Qt 5 as an override.
    static void dieWithParent(pid_t parent)
    {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The test may have ended between fork and prctl.
        if (::getppid() != parent)
            ::_exit(1);
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    void setupChildProcess() override
    {
        dieWithParent(m_parent);
    }
#endif

private:
    const pid_t m_parent;
};

// sector-sim started for a test on loopback, with its endpoints read from
// the lines it prints before serving.
class SimProcess
{
public:
    explicit SimProcess(const QStringList &extra = {})
    {
        m_process.setProgram(QStringLiteral(SECTOR_SIM_PATH));
        m_process.setArguments(QStringList{"--bind", "127.0.0.1", "--tcp", "0", "--udp", "0",
                                           "--discovery", "0", "--serial"}
                               + extra);
        m_process.start();
        m_process.waitForStarted(5000);
        while (m_endpoints.size() < 4 && m_process.waitForReadyRead(5000)) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
                m_endpoints.insert(line.section(' ', 0, 0), line.section(' ', 1));
            }
        }
    }
    bool ready() const { return m_endpoints.size() == 4; }
    QString endpoint(const QString &kind) const { return m_endpoints.value(kind); }
    // The connection options of sector-cli for a transport.
    QStringList link(const QString &kind) const
    {
        if (kind == QLatin1String("serial"))
            return {"--serial", endpoint("serial")};
        return {"--" + kind, "127.0.0.1:" + endpoint(kind)};
    }

private:
    ChildProcess m_process;
    QHash<QString, QString> m_endpoints;
};
