#pragma once

#include <QFile>
#include <QtTest>

// Whole-file helpers shared by the suites.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), qint64(data.size()));
}

// What a freshly started tool saves for the 72 m model, written out by hand.
inline QByteArray freshLaser30() { return readFile(TEST_DATA_DIR "/fresh_laser30.ZQ30"); }

// A project file with point lines added to one output (1..3) of one area.
inline QByteArray withPoints(QByteArray file, int area, int output, const QByteArray &lines)
{
    const QByteArray start = "Out" + QByteArray::number(output) + "CoordStr\n";
    int at = -1;
    for (int n = 0; n <= area; ++n)
        at = file.indexOf(start, at + 1);
    return file.insert(at + start.size(), lines);
}

#include <QProcess>

#include <algorithm>

// One run of sector-cli: exit status (-1 when it hung, -2 when it crashed)
// and what it printed.
struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
    QStringList lines() const { return out.split('\n', Qt::SkipEmptyParts); }
    // The lines of standard error the command itself printed, without the
    // platform's notes about its environment.
    QStringList ownErr() const
    {
        QStringList own = err.split('\n', Qt::SkipEmptyParts);
        own.erase(std::remove_if(own.begin(), own.end(),
                                 [](const QString &l) { return l.startsWith("QStandardPaths:"); }),
                  own.end());
        return own;
    }
};

inline CliRun runCli(const QStringList &args, int timeoutMs = 60000)
{
    QProcess p;
    p.start(QStringLiteral(SECTOR_CLI_PATH), args);
    CliRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
