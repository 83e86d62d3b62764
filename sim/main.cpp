#include "sim/SimServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};
void onSignal(int)
{
    const char c = 1;
    if (::write(g_signalPipe[1], &c, 1) < 0) {
    }
}

int portOption(const QCommandLineParser &p, const QString &name, int fallback, bool *ok)
{
    if (!p.isSet(name))
        return fallback;
    const int v = p.value(name).toInt(ok);
    if (*ok && (v < 0 || v > 65535))
        *ok = false;
    return v;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sector-sim"));
    QTextStream err(stderr);

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Sector Studio's sensor emulator: speaks the sensor protocol over TCP, UDP and a\n"
        "pseudo-terminal, streams the scan of a synthetic hall, answers discovery.\n"
        "Before serving it prints one line per endpoint: tcp PORT, udp PORT,\n"
        "serial /dev/pts/N, discovery PORT."));
    p.addHelpOption();
    p.addOption({"tcp", "Serve TCP on PORT (0: any free port; default 8080).", "PORT"});
    p.addOption({"udp", "Serve UDP on PORT (0: any free port; default 8080).", "PORT"});
    p.addOption({"no-tcp", "Do not serve TCP."});
    p.addOption({"no-udp", "Do not serve UDP."});
    p.addOption({"serial", "Also serve a pseudo-terminal."});
    p.addOption({"discovery", "Answer discovery on PORT (0: any free port; default 1900).", "PORT"});
    p.addOption({"no-discovery", "Do not answer discovery."});
    p.addOption({"mode", "Mode the discovery answer names: TCP or UDP (default TCP).", "MODE"});
    p.addOption({"bind", "Address to listen on (default 0.0.0.0).", "ADDR"});
    p.addOption({"state", "Keep areas, cases and parameters in FILE across runs.", "FILE"});
    p.addOption({"product-type", "Product type code: 6 IO, 8 CN, 9 ETH, 10 NAV (default 9).", "N"});
    p.addOption({"firmware", "Firmware version x 100 (default 105).", "N"});
    p.addOption({"serial-number", "Serial number (default 1).", "N"});
    p.addOption({"production-date", "Production date YYYY-MM-DD (default 2026-01-01).", "DATE"});
    p.addOption({"scan-angle", "Start with angular resolution index N: 0 0.025 deg (10 Hz), 1 0.05, "
                               "2 0.1, 3 0.25, 4 0.5 deg (default 1).", "N"});
    p.addOption({"seed", "Seed of the scene's noise and of the faults (default 1).", "N"});
    p.addOption({"fault", "Inject faults: drop=P,corrupt=P,split=1,delay=MS,reject=1|2,close-after=N,forget-area=N.",
                 "SPEC"});
    p.process(app);

    SimServer::Options o;
    bool ok = true;
    o.tcpPort = p.isSet("no-tcp") ? -1 : portOption(p, "tcp", 8080, &ok);
    if (ok)
        o.udpPort = p.isSet("no-udp") ? -1 : portOption(p, "udp", 8080, &ok);
    if (ok)
        o.discoveryPort = p.isSet("no-discovery") ? -1 : portOption(p, "discovery", 1900, &ok);
    if (!ok) {
        err << "sector-sim: a port must be a number from 0 to 65535\n";
        return 2;
    }
    o.serial = p.isSet("serial");
    if (p.isSet("mode")) {
        o.mode = p.value("mode").toUpper();
        if (o.mode != QLatin1String("TCP") && o.mode != QLatin1String("UDP")) {
            err << "sector-sim: --mode takes TCP or UDP\n";
            return 2;
        }
    }
    if (p.isSet("bind") && !o.bind.setAddress(p.value("bind"))) {
        err << "sector-sim: not an address: " << p.value("bind") << '\n';
        return 2;
    }
    o.stateFile = p.value("state");
    if (p.isSet("seed"))
        o.seed = p.value("seed").toUInt();
    QString why;
    if (p.isSet("fault") && !o.faults.parse(p.value("fault"), &why)) {
        err << "sector-sim: " << why << '\n';
        return 2;
    }

    SimServer server(o);
    SensorModel::Product &product = server.model().product;
    if (p.isSet("product-type"))
        product.type = p.value("product-type").toInt();
    if (p.isSet("firmware"))
        product.firmware = p.value("firmware").toInt();
    if (p.isSet("serial-number"))
        product.serial = p.value("serial-number").toInt();
    if (p.isSet("production-date")) {
        const QDate d = QDate::fromString(p.value("production-date"), Qt::ISODate);
        if (!d.isValid()) {
            err << "sector-sim: --production-date takes YYYY-MM-DD\n";
            return 2;
        }
        product.year = d.year();
        product.month = d.month();
        product.day = d.day();
    }

    QStringList endpoints;
    if (!server.start(&endpoints, &why)) {
        err << "sector-sim: " << why << '\n';
        return 1;
    }
    if (p.isSet("scan-angle")) {
        const int angle = p.value("scan-angle").toInt(&ok);
        if (!ok || angle < 0 || angle > 4) {
            err << "sector-sim: --scan-angle takes 0..4\n";
            return 2;
        }
        server.model().setScanAngle(angle);
    }
    for (const QString &e : endpoints)
        std::printf("%s\n", qPrintable(e));
    std::fflush(stdout);

    // SIGINT and SIGTERM end the event loop, so the state is saved and the
    // pseudo-terminal closed.
    if (::pipe(g_signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        auto *n = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(n, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    }
    return app.exec();
}
