// Pictures of the program for the manual, grabbed off screen from the real
// windows: manual-shots OUT_DIR SIM_PORT(optional)

#include "core/link/Discovery.h"
#include "core/link/ScanRecord.h"
#include "core/zones/ZoneStore.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "gui/dialogs/Create.h"
#include "gui/dialogs/SettingsDialog.h"
#include "sim/SimScene.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Never search the real network while making pictures.
    Discovery::setTestTargets({QHostAddress(QHostAddress::LocalHost)}, QHostAddress::LocalHost, 9);
    if (argc < 3)
        return 2;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString project = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    UiPrompt::setBoxAnswer([](const UiPrompt::Box &) { return 0; });

    for (int language : {0, 1}) {
        const QString suffix = language == 1 ? QStringLiteral("_en") : QStringLiteral("_cn");
        ZoneStore store;
        ScanRecord scan;
        MainWindow w(&store, &scan);
        w.resize(1440, 760); // a common laptop screen, every caption whole
        w.show();
        if (language == 1)
            w.LanguageToEnglish();
        w.openAnyProjectFile(project);
        app.processEvents();
        w.grab().save(out.filePath("window" + suffix + ".png"));
        w.welcome()->show();
        app.processEvents();
        w.welcome()->grab().save(out.filePath("welcome" + suffix + ".png"));
        w.welcome()->hide();
        w.serialSettings()->show();
        app.processEvents();
        w.serialSettings()->grab().save(out.filePath("serial" + suffix + ".png"));
        w.serialSettings()->hide();
        w.form()->IOSimulation->setEnabled(true);
        w.form()->IOSimulation->trigger();
        app.processEvents();
        w.form()->IOSimulationDock->grab().save(out.filePath("iosim" + suffix + ".png"));
    }
    SimScene scene;
    std::vector<std::uint16_t> d, i;
    scene.sweep(4 * 320, d, i);
    QFile csv(out.filePath("scan.csv"));
    if (!csv.open(QIODevice::WriteOnly | QIODevice::Text))
        return 1;
    QByteArray text("sweep,step,distance_mm,intensity\n");
    for (size_t k = 0; k < d.size(); ++k)
        text += "0," + QByteArray::number(qulonglong(k)) + ',' + QByteArray::number(d[k]) + ','
                + QByteArray::number(i[k]) + '\n';
    csv.write(text);
    return 0;
}
