// Pictures of the program for the manual, grabbed off screen from the real
// windows, dialogs and boxes: manual-shots OUT_DIR PROJECT
//
// Nothing here talks to a sensor: the "connected" pictures are the window
// with the states a connection gives it, fed with a scan of the emulator's
// hall. Boxes come through the program's own prompt path and are drawn as it
// draws them. The shape pictures are drawn by the view's own code with the
// vehicle added on top. The last file written is shots.stamp.

#include "core/link/Discovery.h"
#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/sensor/Replay.h"
#include "core/sensor/ScanRecording.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/ScanItems.h"
#include "gui/MainWindow.h"
#include "gui/UiPrompt.h"
#include "gui/dialogs/CaseCoverage.h"
#include "gui/dialogs/CompareWindow.h"
#include "gui/dialogs/Create.h"
#include "gui/dialogs/EthnertSetting.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/replay/ReplayPanel.h"
#include "gui/replay/ReplayPlayer.h"
#include "sim/SimScene.h"
#include "tools/ShapePictures.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProgressDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>

namespace {

QDir g_out;
QString g_suffix;  // "_cn" or "_en"
QString g_boxName; // the file the next box goes to; empty: not kept
int g_boxAnswer = 0;
bool g_ok = true;

void settle()
{
    for (int i = 0; i < 4; ++i)
        QApplication::processEvents();
}

void keep(const QImage &image, const QString &name)
{
    if (image.isNull() || !image.save(g_out.filePath(name + g_suffix + ".png"))) {
        std::fprintf(stderr, "manual-shots: cannot write %s\n", qPrintable(name));
        g_ok = false;
    }
}

void keep(QWidget *w, const QString &name)
{
    settle();
    keep(w->grab().toImage(), name);
}

// The box as UiPrompt shows it, answered at once.
int answerBox(const UiPrompt::Box &box)
{
    if (!g_boxName.isEmpty()) {
        QMessageBox mb(box.icon, box.title, box.text, QMessageBox::NoButton);
        for (const QString &text : box.buttons)
            mb.addButton(text, QMessageBox::ActionRole);
        mb.show();
        keep(&mb, g_boxName);
        mb.hide();
        g_boxName.clear();
    }
    return g_boxAnswer;
}

// Zooms the view as the slider would and brings a point of the sensor frame
// to the middle.
void zoomTo(MainWindow &w, int level, int forwardMm)
{
    w.form()->ZoomSlider->setValue(level);
    w.form()->graphicsView->centerOn(0, -forwardMm);
    settle();
}

void showArea(MainWindow &w, int area, int output)
{
    Q_EMIT w.form()->AreaTableWidget->cellClicked(area, 0);
    w.form()->AreaEditTab->setCurrentIndex(output);
    Q_EMIT w.form()->AreaEditTab->tabBarClicked(output);
    settle();
}

// The window as a connection leaves it: link actions on, a scan of the
// emulator's hall in the view, lamps and self-check values shown.
void looksConnected(MainWindow &w, ScanRecord &scan, int language)
{
    Ui::MainWindow *ui = w.form();
    for (QAction *a : {ui->DisConnection, ui->ReadAllSetting, ui->WriteAllSetting, ui->SoftReboot,
                       ui->SensorInformation, ui->IOSimulation, ui->SelfCheck})
        a->setEnabled(true);
    for (QAction *a : {ui->Connection, ui->SerialConnection, ui->EthernetConnection,
                       ui->SerialSetting, ui->EthnernetSetting})
        a->setEnabled(false);
    SimScene hall;
    hall.advance(2.0);
    scan.connectionType = 0;
    const auto d = hall.serialScan(false);
    const auto i = hall.serialScan(true);
    std::copy(d.begin(), d.end(), scan.serialDistances.begin());
    std::copy(i.begin(), i.end(), scan.serialIntensities.begin());
    w.optionScene()->outlineItem()->setVisible(true);
    w.optionScene()->intensityItem()->setVisible(true);
    w.optionScene()->UpdataPaintOutline();
    w.optionScene()->UpdataPaintIntensity();
    w.IOPortDisplayer(1, 1);
    w.SelfCheckDisp(3650, 1200, 2400, 1180, 1510);
    w.statusBar()->showMessage(
        (language == 0 ? QStringLiteral("连接到") : QStringLiteral("Connect")) +
        QStringLiteral("127.0.0.1:8080"));
}

QImage grabProgress(SERIAL_COMM *link, const QString &title, int value)
{
    Q_EMIT link->ProgressShow();
    Q_EMIT link->ProgressTitle(title);
    Q_EMIT link->ProgressValue(value);
    settle();
    QImage image;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *p = qobject_cast<QProgressDialog *>(top))
            if (p->isVisible())
                image = p->grab().toImage();
    Q_EMIT link->ProgressClose();
    settle();
    return image;
}

// A run through the hall recorded for 12 s, the outputs as the sensor gave
// them for the design as it is; then replayed with area 0's on delay raised
// to 500 ms, at the moment the object has just entered Out 1.
void replayPicture(MainWindow &w, Ui::MainWindow *ui, ZoneStore &store, const QString &work)
{
    SimScene hall;
    QVector<ScanRecording::Sweep> sweeps;
    std::vector<std::uint16_t> d, i;
    for (int k = 0; k < 120; ++k) {
        hall.advance(0.1);
        hall.sweep(10 * 320, d, i);
        ScanRecording::Sweep s;
        s.timeMs = std::uint32_t(100 * k);
        s.startDeg = -70.0f;
        s.stepDeg = 0.1f;
        s.distances = QVector<std::uint16_t>(d.begin(), d.end());
        s.intensities = QVector<std::uint16_t>(i.begin(), i.end());
        sweeps << s;
    }
    Replay::Options o;
    o.area = 0;
    o.sceneSpan = 72000;
    const Replay::Result given = Replay::evaluate(
        sweeps.size(),
        [&sweeps](int k, ScanRecording::Sweep &s) {
            s = sweeps[k];
            return true;
        },
        store.areas, o);
    const QString path = QDir(work).filePath(QStringLiteral("hall.scanrec"));
    ScanRecording::Writer writer;
    writer.open(path);
    for (int k = 0; k < sweeps.size(); ++k) {
        sweeps[k].ioKnown = true;
        sweeps[k].outputs = given.design[k];
        sweeps[k].ioTimeMs = sweeps[k].timeMs;
        writer.add(sweeps[k]);
    }
    writer.close();

    store.currentArea = 0;
    ui->Edition->trigger();
    UiPrompt::setFileAnswer([path](const UiPrompt::FileQuestion &) { return path; });
    w.findChild<QAction *>(QStringLiteral("OpenRecording"))->trigger();
    UiPrompt::setFileAnswer(nullptr);
    const int before = ui->Area_OpenDelay->currentIndex();
    ui->Area_OpenDelay->setCurrentIndex(25);
    Q_EMIT ui->Area_OpenDelay->activated(25);
    settle();
    // The first sweep where the sensor had Out 1 on.
    int at = 0;
    while (at < given.design.size() && !(given.design[at] & 1))
        ++at;
    w.replayPlayer()->seek(qMin(at + 2, given.design.size() - 1));
    zoomTo(w, 50, 2500);
    keep(&w, QStringLiteral("replay"));
    ui->Area_OpenDelay->setCurrentIndex(before);
    Q_EMIT ui->Area_OpenDelay->activated(before);
    w.replayPanel()->findChild<QToolButton *>(QStringLiteral("ReplayClose"))->click();
}

void languagePictures(int language, const QString &project, const QString &work)
{
    g_suffix = language == 1 ? QStringLiteral("_en") : QStringLiteral("_cn");
    ZoneStore store;
    ScanRecord scan;
    MainWindow w(&store, &scan);
    w.resize(1440, 800); // a common laptop screen, every caption whole
    w.show();
    if (language == 1)
        w.LanguageToEnglish();
    else
        w.LanguageToChinese();
    Ui::MainWindow *ui = w.form();

    // Start: the welcome dialog, and the blank design it leads to.
    w.welcome()->show();
    keep(w.welcome(), QStringLiteral("welcome"));
    w.welcome()->findChild<QTabWidget *>(QStringLiteral("ConnecttabWidget"))->setCurrentIndex(1);
    keep(w.welcome(), QStringLiteral("welcome_ethernet"));
    w.welcome()->hide();
    keep(&w, QStringLiteral("step_new"));

    // Editing: the example design.
    w.openAnyProjectFile(project);
    showArea(w, 0, 0);
    zoomTo(w, 80, 1500);
    keep(&w, QStringLiteral("window"));
    keep(ui->EditionControlDock, QStringLiteral("edit_dock"));
    ui->ParametersEditTab->setCurrentIndex(1);
    keep(ui->EditionControlDock, QStringLiteral("step_case"));
    ui->ParametersEditTab->setCurrentIndex(0);
    if (auto *pages = ui->AreaEditTab->currentWidget()->findChild<QTabWidget *>()) {
        if (auto *forms = pages->currentWidget()->findChild<QTabWidget *>()) {
            forms->setCurrentIndex(1);
            keep(ui->EditionControlDock, QStringLiteral("polar_table"));
            forms->setCurrentIndex(0);
        }
    }
    showArea(w, 1, 1);
    keep(&w, QStringLiteral("step_zones"));
    showArea(w, 0, 0);

    // Connecting: the two settings dialogs, one sensor found.
    w.serialSettings()->show();
    keep(w.serialSettings(), QStringLiteral("serial"));
    w.serialSettings()->hide();
    w.ethernetSettings()->show();
    if (auto *list = w.ethernetSettings()->findChild<QComboBox *>())
        EthnertSetting::fillAnswerList(list, {QStringLiteral("127.0.0.1")});
    keep(w.ethernetSettings(), QStringLiteral("ethernet"));
    w.ethernetSettings()->hide();
    keep(grabProgress(w.link(), language == 1 ? "Upload Data" : "上传数据", 23), "progress_read");

    // Writing: the progress and the closing box; a design that cannot go.
    looksConnected(w, scan, language);
    keep(grabProgress(w.link(), language == 1 ? "Download Data" : "下载数据", 41),
         "progress_write");
    g_boxName = QStringLiteral("box_written");
    Q_EMIT w.link()->MessageSignal(SERIAL_COMM::Information, language == 1 ? "Message" : "提示",
                                   language == 1 ? "Parameters Write Complete" : "参数写入完成");
    {
        const AreaRecord kept = store.areas[4];
        store.areas[4].points[0][1] = QPoint(-2000, -855); // arc points at different radii
        g_boxName = QStringLiteral("box_refused");
        ui->WriteAllSetting->trigger();
        store.areas[4] = kept;
    }
    g_boxName = QStringLiteral("box_timeout");
    Q_EMIT w.link()->MessageSignal(SERIAL_COMM::Warning, language == 1 ? "Warning" : "警告",
                                   language == 1 ? "Connect OverTimer, Check Connect"
                                                 : "读写参数超时,请检查连接");

    // Verifying: Read All with unsaved changes asks first (Keep: nothing read).
    store.modified = true;
    g_boxName = QStringLiteral("box_unsaved");
    g_boxAnswer = 2;
    ui->ReadAllSetting->trigger();
    g_boxAnswer = 0;

    // Monitoring, with the IO simulation and self check beside it.
    keep(&w, QStringLiteral("edition_connected"));

    // Comparing with a sensor that holds a slightly different design: the
    // list, and the sensor's zones dashed over the design's.
    {
        QVector<AreaRecord> sensor = store.areas;
        sensor[0].points[0][1] += QPoint(300, 600);
        sensor[0].openDelay = 3;
        sensor[2].hysteresis = 2;
        SensorParameters parameters = w.sensorParameters();
        parameters.CrossFilterNumber = 4;
        CompareWindow *compare = w.compareWindow();
        compare->setLanguage(language);
        compare->setSensor(sensor, parameters);
        compare->show();
        compare->tree()->setCurrentItem(compare->tree()->topLevelItem(0));
        keep(compare, QStringLiteral("compare"));
        zoomTo(w, 45, 2500);
        keep(ui->graphicsView, QStringLiteral("compare_view"));
        compare->close();
        w.caseCoverage()->designChanged();
        w.caseCoverage()->show();
        keep(w.caseCoverage(), QStringLiteral("coverage"));
        w.caseCoverage()->close();
    }
    w.OpenMonitoringMode();
    ui->SelfCheck->setChecked(true);
    w.OpenCloseSelfCheck(true);
    zoomTo(w, 50, 2500);
    keep(&w, QStringLiteral("step_monitor"));
    ui->SelfCheckDock->hide();
    ui->IOSimulation->setChecked(true);
    w.OpenCloseIOSimulationDock(true);
    keep(ui->IOSimulationDock, QStringLiteral("iosim"));
    keep(ui->SensorSettingDock, QStringLiteral("sensor_dock"));
    for (int mode : {1, 2}) {
        mode == 1 ? w.OpenDispCloudSlot() : w.OpenDispLineSlot();
        w.optionScene()->UpdataPaintOutline();
        keep(ui->graphicsView,
             mode == 1 ? QStringLiteral("disp_cloud") : QStringLiteral("disp_line"));
    }
    w.OpenDispGraphSlot();
    w.optionScene()->UpdataPaintOutline();
    keep(ui->graphicsView, QStringLiteral("disp_graph"));

    // Saving: the program's file dialog, then written for real.
    UiPrompt::setFileAnswer([work](const UiPrompt::FileQuestion &q) {
        QFileDialog d(nullptr, q.caption, work, q.filter);
        d.setAcceptMode(q.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.selectFile(QStringLiteral("line4-forklift"));
        d.resize(760, 440);
        d.show();
        keep(&d, QStringLiteral("step_save"));
        return QDir(work).filePath(QStringLiteral("line4-forklift.ZQ30"));
    });
    ui->Save->trigger();
    UiPrompt::setFileAnswer(nullptr);

    // Messages of the files and the serial port, each by its own path.
    QFile bad(QDir(work).filePath(QStringLiteral("notes.ZQ30")));
    if (bad.open(QIODevice::WriteOnly))
        bad.write("not a project\n");
    bad.close();
    g_boxName = QStringLiteral("box_fileerror");
    w.openProjectFile(bad.fileName());
    w.CloseSerialPort();
    store.modified = false;
    g_boxName = QStringLiteral("box_serial");
    w.CreatOpenSerialPort(QStringLiteral("/dev/no-such-port"));
    w.CloseSerialPort();

    replayPicture(w, ui, store, work);

    // The tool bars, side by side as the window shows them.
    // Grown by half, so that the manual's two-thirds scale prints them at
    // their size on screen.
    for (QWidget *bar :
         {static_cast<QWidget *>(ui->ConnectToolBar), static_cast<QWidget *>(ui->ViewToolBar)}) {
        settle();
        const QImage image = bar->grab().toImage();
        keep(image.scaledToWidth(image.width() * 3 / 2, Qt::SmoothTransformation),
             bar == ui->ViewToolBar ? QStringLiteral("bar_view") : QStringLiteral("bar_connect"));
    }
    store.modified = false; // closing asks nothing
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Never search the real network while making pictures.
    Discovery::setTestTargets({QHostAddress(QHostAddress::LocalHost)}, QHostAddress::LocalHost, 9);
    if (argc < 3) {
        std::fprintf(stderr, "usage: manual-shots OUT_DIR PROJECT\n");
        return 2;
    }
    g_out = QDir(QString::fromLocal8Bit(argv[1]));
    const QString project = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir settings, work;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    UiPrompt::setBoxAnswer(answerBox);

    for (int language : {0, 1}) {
        const QString folder = QDir(work.path()).filePath(language == 1 ? "en" : "cn");
        QDir().mkpath(folder);
        languagePictures(language, project, folder);
    }

    g_suffix.clear();
    for (const ShapePictures::Picture &p : ShapePictures::all())
        keep(p.image, p.name);

    // A sweep of the hall for sector-cli render.
    SimScene scene;
    std::vector<std::uint16_t> d, i;
    scene.sweep(4 * 320, d, i);
    QFile csv(g_out.filePath("scan.csv"));
    if (!csv.open(QIODevice::WriteOnly | QIODevice::Text))
        return 1;
    QByteArray text("sweep,step,distance_mm,intensity\n");
    for (size_t k = 0; k < d.size(); ++k)
        text += "0," + QByteArray::number(qulonglong(k)) + ',' + QByteArray::number(d[k]) + ',' +
                QByteArray::number(i[k]) + '\n';
    csv.write(text);
    csv.close();
    if (!g_ok)
        return 1;
    QFile stamp(g_out.filePath("shots.stamp"));
    return stamp.open(QIODevice::WriteOnly) ? 0 : 1;
}
