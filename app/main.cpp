#include "Create.h"
#include "MainWindow.h"
#include "ScanRecord.h"
#include "SettingsDialog.h"
#include "ZoneStore.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {
const char kUsage[] =
    "Usage: sector-studio [FILE | --connect tcp://HOST[:PORT] | udp://HOST[:PORT] | "
    "serial:DEVICE[@BAUD]]\n";

struct Start {
    QString file;
    QString kind; // "tcp", "udp", "serial"
    QString host;
    quint16 port = 8080;
    int baud = 0;
    bool ok = true;
    bool help = false;
};

Start parse(const QStringList &args)
{
    Start s;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            s.help = true;
        } else if (a == QLatin1String("--connect") && i + 1 < args.size()) {
            const QString v = args[++i];
            static const QRegularExpression net(QStringLiteral("^(tcp|udp)://([^:/]+)(?::(\\d{1,5}))?$"));
            static const QRegularExpression serial(QStringLiteral("^serial:([^@]+)(?:@(\\d+))?$"));
            const auto n = net.match(v);
            const auto sm = serial.match(v);
            if (n.hasMatch()) {
                s.kind = n.captured(1);
                s.host = n.captured(2);
                if (!n.captured(3).isEmpty()) {
                    const int port = n.captured(3).toInt();
                    s.ok = port > 0 && port < 65536;
                    s.port = quint16(port);
                }
            } else if (sm.hasMatch()) {
                s.kind = QStringLiteral("serial");
                s.host = sm.captured(1);
                s.baud = sm.captured(2).toInt();
            } else {
                s.ok = false;
            }
        } else if (!a.startsWith(QLatin1String("-")) && s.file.isEmpty()) {
            s.file = a;
        } else {
            s.ok = false;
        }
    }
    return s;
}
} // namespace

int main(int argc, char *argv[])
{
    // The zone store and the scan record outlive the main window.
    auto store = std::make_unique<ZoneStore>();
    auto scan = std::make_unique<ScanRecord>();

    // Arguments first: --help and a bad value need no display.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const Start start = parse(args);
    if (start.help) {
        std::printf("%s  FILE                  open a project file as the Open action does\n"
                    "  --connect TARGET      connect at start, as the Connection action does\n",
                    kUsage);
        return 0;
    }
    if (!start.ok) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    QApplication app(argc, argv);
    int result = 0;
    {
        MainWindow window(store.get(), scan.get());
        window.show();
        // Without a file or a sensor to go to, the welcome dialog asks.
        if (start.file.isEmpty() && start.kind.isEmpty())
            window.welcome()->show();
        if (!start.file.isEmpty()) {
            QTimer::singleShot(0, &window, [&window, &start] { window.openProjectFile(start.file); });
        } else if (start.kind == QLatin1String("serial")) {
            QTimer::singleShot(0, &window, [&window, &start] {
                if (start.baud > 0)
                    window.serialSettings()->setBaudRate(start.baud);
                window.CreatOpenSerialPort(start.host);
            });
        } else if (!start.kind.isEmpty()) {
            QTimer::singleShot(0, &window, [&window, &start] {
                window.setSensorPort(start.port);
                window.CreatEthnertModeSignalSlot(start.kind == QLatin1String("tcp") ? "MODE: TCP" : "MODE: UDP");
                window.CreatEthernetPort(start.host);
            });
        }
        result = app.exec();
    }
    return result;
}
