// Writes the seed inputs of every fuzz target from what the program itself
// writes: project files, area frames, payload frames, scan stream packets.
//   fuzz-seeds DIR     (DIR/<target>/seed-*)
#include "tests/fuzz/FuzzTargets.h"
#include "tests/support/Frames.h"
#include "tests/support/ProjectText.h"

#include "core/link/AreaCodec.h"
#include "core/link/LinkProtocol.h"
#include "core/link/Payloads.h"
#include "core/zones/ZoneStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

using namespace LinkProtocol;
namespace RI = FuzzTargets::ReceiveInput;

namespace {
QDir g_root;

void seed(const char *target, const char *name, const QByteArray &bytes)
{
    g_root.mkpath(QLatin1String(target));
    QFile f(g_root.filePath(QStringLiteral("%1/seed-%2").arg(QLatin1String(target), QLatin1String(name))));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::fprintf(stderr, "fuzz-seeds: cannot write %s\n", qPrintable(f.fileName()));
}

// One area of every kind the editors make.
ZoneStore design()
{
    ZoneStore s;
    s.setAllDetectionSize(1);
    AreaRecord &a = s.areas[0];
    a.openDelay = 3;
    a.hysteresis = 2;
    a.steerMin = -30;
    a.steerMax = 45;
    a.speedMin = -100;
    a.speedMax = 300;
    a.points[0] = {{-2000, 500}, {-1500, 3000}, {0, 4000}, {1500, 3000}, {2000, 500}};
    a.shape[1] = ShapeStraight;
    a.points[1] = {{0, 2500}};
    a.shape[2] = ShapeRatio;
    a.points[2] = {{0, 1200}};
    AreaRecord &b = s.areas[1];
    b.shape[0] = ShapeArc;
    b.points[0] = {{1000, 0}, {0, 1000}};
    b.shape[1] = ShapeFan;
    b.points[1] = {{0, 800}};
    AreaRecord &c = s.areas[7];
    c.shape[0] = ShapeRectangle;
    c.points[0] = {{-1000, -200}, {-1000, 2000}, {1000, 2000}, {1000, -200}};
    c.operationMode = 2;
    return s;
}

QByteArray be16(int v)
{
    return QByteArray(1, char(v >> 8)) + char(v & 0xFF);
}

// A stream packet carrying all its points, at intensity 40.
QByteArray packet(int start, int end, int carried, int marker, int sector, int distance)
{
    return streamPacket(start, end, carried, marker, sector, qMin(carried, sector), distance, 40);
}

void projectSeeds()
{
    ZoneStore fresh; // as a freshly started tool saves it
    fresh.setAllDetectionSize(1);
    seed("project", "fresh-laser30", projectBytes(fresh));
    const ZoneStore d = design();
    seed("project", "design-laser05", projectBytes(d, 0));
    QByteArray crlf = projectBytes(d, 4);
    crlf.replace("\n", "\r\n");
    seed("project", "design-laser50-crlf", crlf);
    // A block cut short: its point list has no end tag.
    seed("project", "cut-laser30", projectBytes(d).left(420));
}

void codecSeeds()
{
    const ZoneStore d = design();
    for (int a : {0, 1, 7})
        seed("areacodec", qPrintable(QStringLiteral("area%1").arg(a)),
             AreaCodec::encode("RArea", a, d.areas[a]).mid(5, AreaCodec::kFrameLength - 7));

    SensorParameters p;
    p.ScanSensorAngle = 3;
    p.SensorEtherMode = 1;
    seed("payloads", "rpara", QByteArray(1, 0) + Payloads::encodeWPara(p).mid(5, 60));
    seed("payloads", "rcase", QByteArray(1, 1) + Payloads::encodeWCase(d).mid(5, 640));
    seed("payloads", "wsimu", QByteArray(1, 2) + QByteArray::fromHex("8000050000000009c40bb800fa01f4"));
    seed("payloads", "rprda", QByteArray(1, 3) + be16(9) + be16(215) + be16(4711) + be16(2024)
                                  + be16(5) + be16(17));
    seed("payloads", "status", QByteArray(1, 4) + char(2));

    seed("discovery", "sim-answer",
         "HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=1800\r\n"
         "ST: urn:corvane-robot-com:device:KD-10:1.0\r\nPORT: 8080\r\nMODE: UDP\r\n\r\n");
    seed("discovery", "tcp-more-letters", "MODE: TCPX");

    QByteArray csv("sweep,step,distance_mm,intensity\n");
    for (int sweep = 0; sweep < 2; ++sweep)
        for (int step = 0; step < 8; ++step)
            csv += QByteArray::number(sweep) + ',' + QByteArray::number(step) + ','
                   + QByteArray::number(1000 + 10 * step) + ",40\n";
    seed("sweepcsv", "two-sweeps", csv);
}

void receiveSeeds()
{
    const ZoneStore d = design();
    seed("receive", "serial-information",
         QByteArray(1, RI::Serial) + RI::request(RI::Information) + RI::reads(replyFrame(RPrda, {})));

    QByteArray readAll = QByteArray(1, RI::Serial | (3 << 2)) + RI::request(RI::ReadAll);
    for (int a = 0; a < kAreaCount; ++a)
        readAll += RI::answer(AreaCodec::encode("RArea", a, d.areas[a]).mid(5, 100)) + RI::tick();
    readAll += RI::answer(Payloads::encodeWCase(d).mid(5, 40)) + RI::tick();
    readAll += RI::answer(Payloads::encodeWPara(SensorParameters()).mid(5, 40));
    seed("receive", "serial-read-all", readAll);

    QByteArray writeAll = QByteArray(1, RI::Tcp) + RI::request(RI::WriteAll);
    for (int a = 0; a < 10; ++a)
        writeAll += RI::answer() + RI::tick();
    writeAll += RI::answer(QByteArray(1, 1)) + RI::timeout() + RI::timeout();
    seed("receive", "tcp-write-refused", writeAll);

    QByteArray distances;
    for (int i = 0; i < 640; ++i)
        distances += be16(40 * i);
    seed("receive", "serial-scans",
         QByteArray(1, RI::Serial | (1 << 2)) + RI::request(RI::Scan)
             + RI::reads(replyFrame(RScan, distances), 7) + RI::request(RI::Intensity)
             + RI::reads(replyFrame(RStre, distances)));

    const QByteArray sweep = packet(20, 340, 320, 320, 320, 1500);
    seed("receive", "tcp-stream",
         QByteArray(1, RI::Tcp | (2 << 2)) + RI::request(RI::Scan)
             + RI::reads(sweep + "noise" + sweep + packet(20, 180, 160, 7, 160, 900) + sweep, 500));
    seed("receive", "udp-ceiling",
         QByteArray(1, RI::Udp) + RI::reads(packet(0, 40, 40, 1, 40, 700), 1) +
             QByteArray("\x06x", 2).repeated(7) + RI::reads(packet(0, 340, 4, 4, 4, 100)));
    seed("receive", "serial-simulation-control",
         QByteArray(1, RI::Serial | (1 << 5)) + RI::request(RI::Simulation)
             + RI::answer(QByteArray::fromHex("80000500000000")) + RI::tick() + RI::answer()
             + RI::request(RI::Reboot) + RI::answer() + RI::tick());
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz-seeds DIR\n");
        return 2;
    }
    g_root = QDir(QString::fromLocal8Bit(argv[1]));
    projectSeeds();
    codecSeeds();
    receiveSeeds();
    return 0;
}
