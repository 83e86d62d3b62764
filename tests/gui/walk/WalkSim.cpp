#include "tests/gui/walk/WalkSim.h"

#include <QElapsedTimer>
#include <QFile>

#include <csignal>
#include <sys/prctl.h>

namespace Walk {

namespace {
// In the child between fork and exec.
void endWithParent()
{
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
}
} // namespace

// Qt 6 takes the child's set-up as a function, Qt 5 as an override.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
SimChild::SimChild()
{
    setChildProcessModifier(endWithParent);
}
#else
SimChild::SimChild() = default;
void SimChild::setupChildProcess()
{
    endWithParent();
}
#endif

WalkSim::WalkSim(const QString &program, const QString &stateFile, const SensorState &seed,
                 const QString &faults, quint32 seed32)
    : m_stateFile(stateFile)
    , m_faults(faults)
{
    QFile f(stateFile);
    if (!f.open(QIODevice::WriteOnly) || f.write(stateFileOf(seed)) < 0) {
        m_error = QStringLiteral("cannot write %1").arg(stateFile);
        return;
    }
    f.close();
    QStringList args =
        QStringLiteral("--bind 127.0.0.1 --tcp 0 --no-udp --no-discovery --serial").split(' ');
    args << "--state" << stateFile << "--seed" << QString::number(seed32);
    if (!faults.isEmpty())
        args << "--fault" << faults;
    m_process.setProgram(program);
    m_process.setArguments(args);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start();
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("%1 did not start: %2").arg(program, m_process.errorString());
        return;
    }
    QElapsedTimer t;
    t.start();
    while (!ready() && t.elapsed() < 5000 && m_process.waitForReadyRead(5000)) {
        while (m_process.canReadLine()) {
            const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
            if (line.startsWith(QLatin1String("tcp ")))
                m_tcpPort = quint16(line.mid(4).toUInt());
            else if (line.startsWith(QLatin1String("serial ")))
                m_serial = line.mid(7);
        }
    }
    if (!ready())
        m_error = QStringLiteral("no endpoints from %1: %2")
                      .arg(program, QString::fromLocal8Bit(m_process.readAllStandardError()));
}

WalkSim::~WalkSim()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000))
        m_process.kill();
    m_process.waitForFinished(1000);
}

bool WalkSim::state(SensorState *out) const
{
    QFile f(m_stateFile);
    return f.open(QIODevice::ReadOnly) && parseStateFile(f.readAll(), out);
}

} // namespace Walk
