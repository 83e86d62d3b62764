#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "gui/MainWindow.h"
#include "gui/StartOptions.h"
#include "gui/dialogs/Create.h"
#include "gui/dialogs/SettingsDialog.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // The zone store and the scan record outlive the main window.
    auto store = std::make_unique<ZoneStore>();
    auto scan = std::make_unique<ScanRecord>();

    // Arguments first: --help and a bad value need no display.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const StartOptions::Start start = StartOptions::parse(args);
    if (start.help) {
        std::printf("%s%s", StartOptions::kUsage, StartOptions::kHelp);
        return 0;
    }
    if (!start.ok) {
        std::fprintf(stderr, "%s", StartOptions::kUsage);
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
            QTimer::singleShot(0, &window, [&window, &start] { window.openAnyProjectFile(start.file); });
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
