#pragma once

#include <QHash>
#include <QProcess>
#include <QtTest>

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
    ~SimProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
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
    QProcess m_process;
    QHash<QString, QString> m_endpoints;
};
