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
