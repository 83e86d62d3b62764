// Replays every fuzz input kept in tests/data/fuzz/<target>/ (the seeds,
// what fuzzing kept, and every input that ever failed) through the same
// entry functions the fuzzers run, and feeds the same functions damaged
// copies of them: truncated prefixes, bit flips, fragmented reads and
// fixed-seed random bytes.
#include "tests/fuzz/FuzzTargets.h"

#include "core/link/LinkProtocol.h"

#include "tests/support/Frames.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

using namespace FuzzTargets;
namespace RI = FuzzTargets::ReceiveInput;

namespace {
QDir corpusDir(const char *target)
{
    return QDir(QStringLiteral(FUZZ_CORPUS_DIR "/") + QLatin1String(target));
}

void corpusRows()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("path");
    for (int t = 0; t < kTargetCount; ++t) {
        const QDir dir = corpusDir(kTargets[t].name);
        for (const QString &file : dir.entryList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(QStringLiteral("%1/%2").arg(QLatin1String(kTargets[t].name), file)))
                << t << dir.filePath(file);
    }
}

} // namespace

class TestFuzzReplay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyTargetKeepsItsCorpus()
    {
        for (const Target &t : kTargets)
            QVERIFY2(!corpusDir(t.name).entryList(QDir::Files).isEmpty(), t.name);
    }

    void corpus_data() { corpusRows(); }
    void corpus()
    {
        QFETCH(int, target);
        QFETCH(QString, path);
        const QByteArray bytes = readFile(path);
        const QString wrong = kTargets[target].run(bytes);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void damagedCorpus_data() { corpusRows(); }
    void damagedCorpus()
    {
        QFETCH(int, target);
        QFETCH(QString, path);
        const QByteArray bytes = readFile(path);
        const auto run = kTargets[target].run;
        const int step = qMax(1, bytes.size() / 24);
        for (int len = 0; len < bytes.size(); len += step) {
            const QString wrong = run(bytes.left(len));
            QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("prefix of %1: ").arg(len) + wrong));
        }
        QRandomGenerator random(quint32(qHash(path.section('/', -2))));
        for (int flip = 0; flip < 24 && !bytes.isEmpty(); ++flip) {
            QByteArray copy = bytes;
            const int at = random.bounded(copy.size());
            const int bit = random.bounded(8);
            copy[at] = char(copy[at] ^ (1 << bit));
            const QString wrong = run(copy);
            QVERIFY2(wrong.isEmpty(),
                     qPrintable(QStringLiteral("bit %1 of byte %2 flipped: ").arg(bit).arg(at) + wrong));
        }
    }

    void randomBytes_data()
    {
        QTest::addColumn<int>("target");
        for (int t = 0; t < kTargetCount; ++t)
            QTest::newRow(kTargets[t].name) << t;
    }
    void randomBytes()
    {
        QFETCH(int, target);
        QRandomGenerator random(20240 + quint32(target));
        for (int i = 0; i < 200; ++i) {
            QByteArray bytes(random.bounded(1, 1500), '\0');
            for (char &c : bytes)
                c = char(random.bounded(256));
            const QString wrong = kTargets[target].run(bytes);
            QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("input %1: ").arg(i) + wrong));
        }
    }

    // The project reader also gets text of the format's own words in
    // random order, which random bytes hardly ever spell.
    void projectWordSoup()
    {
        QRandomGenerator random(42);
        const QByteArrayList words = {"SensorSetting",
                                      "CoordTableData",
                                      "Out1CoordStr",
                                      "Out2CoordEnd",
                                      "CoordTableDataEnd",
                                      "63",
                                      "-7",
                                      "1,2"};
        for (int round = 0; round < 50; ++round) {
            QByteArray soup = "TRV_ZQ_30\n";
            for (int i = 0; i < 400; ++i)
                soup += random.bounded(3) == 0 ? QByteArray(1, char(random.bounded(1, 255)))
                                               : words[random.bounded(words.size())] + '\n';
            const QString wrong = projectFile(soup);
            QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("round %1: ").arg(round) + wrong));
        }
    }

    void fragmentedReads_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<int>("piece");
        for (int piece : {1, 7, 0}) {
            QTest::newRow(qPrintable(QStringLiteral("serial-%1").arg(piece))) << int(RI::Serial) << piece;
            QTest::newRow(qPrintable(QStringLiteral("tcp-%1").arg(piece))) << int(RI::Tcp) << piece;
            QTest::newRow(qPrintable(QStringLiteral("udp-%1").arg(piece))) << int(RI::Udp) << piece;
        }
    }
    void fragmentedReads()
    {
        QFETCH(int, setup);
        QFETCH(int, piece);
        using namespace LinkProtocol;
        // Replies asked for and not, a bad CRC, garbage and a cut token
        // between them, a stream packet: the link survives them in any
        // split and takes the next whole reply.
        QByteArray bad = replyFrame(WSimu);
        bad[7] = char(bad[7] ^ 1);
        const QByteArray packet = QByteArray::fromHex("4352564e0014015400020002000200000a00280014003200");
        const QByteArray bytes = QByteArray("\x01garbage", 8) + replyFrame(RPrda) + "RBo" + bad
                                 + replyFrame(WSimu) + packet + replyFrame(RBoot) + "WAre" + replyFrame(RPara);
        QByteArray input(1, char(setup));
        input += RI::request(RI::Information) + RI::request(RI::Simulation) + RI::reads(bytes, piece)
                 + RI::request(RI::ReadAll) + RI::reads(bytes, piece) + RI::timeout();
        const QString wrong = receivePath(input);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "tst_fuzz_replay.moc"
