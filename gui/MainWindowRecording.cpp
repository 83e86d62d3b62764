// Recording the live scan while connected, and replaying a recording against
// the design at the desk.
#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include "core/link/SERIAL_COMM.h"
#include "core/link/ScanRecord.h"
#include "core/sensor/ScanRecorder.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "graphics/ScanItems.h"
#include "gui/RecentProjects.h"
#include "gui/UiPrompt.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/replay/ReplayPanel.h"
#include "gui/replay/ReplayPlayer.h"
#include "gui/replay/ReplayTimeline.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTcpSocket>
#include <QUdpSocket>

namespace {
QString clock(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2")
        .arg(s / 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

void MainWindow::setUpRecording()
{
    m_recorder = new ScanRecorder(m_link, m_scan, this);
    m_player = new ReplayPlayer(this);

    auto *record = new QAction(QIcon(QStringLiteral(":/images/recordScan.png")),
                               QStringLiteral("录制扫描"), this);
    record->setObjectName(QStringLiteral("RecordScan"));
    auto *stop = new QAction(QIcon(QStringLiteral(":/images/stopRecording.png")),
                             QStringLiteral("停止录制"), this);
    stop->setObjectName(QStringLiteral("StopRecording"));
    auto *open =
        new QAction(QIcon(QStringLiteral(":/images/play.png")), QStringLiteral("打开录制…"), this);
    open->setObjectName(QStringLiteral("OpenRecording"));
    record->setEnabled(false);
    stop->setEnabled(false);
    ui->Display->addSeparator();
    ui->Display->addActions({record, stop, open});
    ui->DispToolBar->addSeparator();
    ui->DispToolBar->addActions({record, stop});
    connect(record, &QAction::triggered, this, &MainWindow::startRecording);
    connect(stop, &QAction::triggered, this, [this] { stopRecording(); });
    connect(open, &QAction::triggered, this, &MainWindow::openRecording);

    m_recordStatus = new QLabel(this);
    m_recordStatus->setObjectName(QStringLiteral("RecordingStatus"));
    m_recordStatus->hide();
    statusBar()->addPermanentWidget(m_recordStatus);
    m_recordStatusTimer.setInterval(500);
    connect(&m_recordStatusTimer, &QTimer::timeout, this, &MainWindow::showRecordingStatus);
    connect(m_recorder, &ScanRecorder::failed, this, [this](const QString &why) {
        m_recordStatusTimer.stop();
        showRecordingStatus();
        recordingLinkChanged();
        ask(QMessageBox::Warning, tr2("录制已停止", "Recording stopped"),
            tr2("无法写入录制文件：", "The recording could not be written: ") + why);
    });

    // Under the view, while a recording is open.
    m_replayPanel = new ReplayPanel(m_player, ui->centralwidget);
    ui->CentralLayout->addWidget(m_replayPanel);
    m_replayPanel->hide();
    connect(m_player, &ReplayPlayer::frameChanged, this, &MainWindow::showReplayFrame);
    connect(m_player, &ReplayPlayer::playingChanged, this, [this](bool playing) {
        if (!playing)
            followReplayArea();
    });
    connect(m_replayPanel, &ReplayPanel::closeRequested, this, &MainWindow::closeReplay);
    connect(m_replayPanel, &ReplayPanel::areaChoiceChanged, this, &MainWindow::evaluateReplay);
    // The design's rows follow every edit, and the area being edited.
    connect(this, &MainWindow::designChanged, this, &MainWindow::evaluateReplay);
    connect(m_areaTable, &AREA_TABLE::AreaTableIndexChange, this, [this] {
        if (m_player->isOpen() && m_replayPanel->areaChoice() == 0)
            evaluateReplay();
    });
}

void MainWindow::recordingLinkChanged()
{
    const bool connected = linkOpen();
    const bool recording = m_recorder && m_recorder->recording();
    if (auto *a = findChild<QAction *>(QStringLiteral("RecordScan")))
        a->setEnabled(connected && !recording);
    if (auto *a = findChild<QAction *>(QStringLiteral("StopRecording")))
        a->setEnabled(recording);
    if (auto *a = findChild<QAction *>(QStringLiteral("OpenRecording")))
        a->setEnabled(!connected);
    // A recording ends with the link that feeds it; a replay gives way to a
    // sensor.
    if (recording && !connected)
        stopRecording();
    if (connected && m_player && m_player->isOpen())
        closeReplay();
}

void MainWindow::startRecording()
{
    if (!linkOpen() || m_recorder->recording())
        return;
    UiPrompt::FileQuestion q;
    q.save = true;
    q.caption = tr2("录制扫描", "Record Scan");
    // A new name each time: no earlier recording is written over unasked.
    q.directory = QDir(m_recent->folder())
                      .filePath(QDateTime::currentDateTime().toString(
                          QStringLiteral("'scan-'yyyyMMdd-HHmmss'.scanrec'")));
    q.filter = tr2("扫描录制 (*.scanrec);;CSV 文本 (*.csv)",
                   "Scan recording (*.scanrec);;CSV text (*.csv)");
    const QString name = UiPrompt::askFileName(this, q);
    if (name.isEmpty())
        return;
    // Sweeps come only while the distances are read.
    if (!ui->Distance->isChecked())
        ui->Distance->trigger();
    QString why;
    const bool ethernet = m_tcpSocket->isOpen() || m_udpSocket->isOpen();
    if (!m_recorder->start(name, ethernet, ui->Intensity->isChecked(), &why)) {
        ask(QMessageBox::Warning, tr2("无法录制", "Cannot record"),
            tr2("无法写入 ", "Cannot write ") + name + QStringLiteral(": ") + why);
        return;
    }
    m_recordStatusTimer.start();
    showRecordingStatus();
    recordingLinkChanged();
}

void MainWindow::stopRecording()
{
    if (!m_recorder->recording())
        return;
    QString why;
    const bool saved = m_recorder->stop(&why);
    m_recordStatusTimer.stop();
    showRecordingStatus();
    recordingLinkChanged();
    if (!saved)
        ask(QMessageBox::Warning, tr2("录制已停止", "Recording stopped"),
            tr2("无法写入录制文件：", "The recording could not be written: ") + why);
}

void MainWindow::showRecordingStatus()
{
    if (m_recorder->recording() && !linkOpen()) {
        // The link went without a disconnect (a pulled cable): keep what came.
        stopRecording();
        return;
    }
    const QString file = QFileInfo(m_recorder->path()).fileName();
    const double mb = m_recorder->bytes() / 1048576.0;
    if (m_recorder->recording()) {
        m_recordStatus->setText(
            QStringLiteral("<span style='color:#cc0000'>●</span> ") +
            tr2("录制中 %1  %2  %3 次扫描  %4 MB", "Recording %1  %2  %3 sweeps  %4 MB")
                .arg(file, clock(m_recorder->elapsedMs()))
                .arg(m_recorder->sweeps())
                .arg(mb, 0, 'f', 1));
    } else {
        m_recordStatus->setText(
            tr2("已录制 %1  %2  %3 次扫描  %4 MB", "Recorded %1  %2  %3 sweeps  %4 MB")
                .arg(file, clock(m_recorder->elapsedMs()))
                .arg(m_recorder->sweeps())
                .arg(mb, 0, 'f', 1));
    }
    m_recordStatus->setVisible(!m_recorder->path().isEmpty());
}

void MainWindow::openRecording()
{
    if (linkOpen())
        return;
    UiPrompt::FileQuestion q;
    q.caption = tr2("打开录制", "Open Recording");
    q.directory = m_recent->folder();
    q.filter = tr2("扫描录制 (*.scanrec)", "Scan recording (*.scanrec)");
    const QString name = UiPrompt::askFileName(this, q);
    if (name.isEmpty())
        return;
    QProgressDialog progress(tr2("读取录制…", "Reading the recording…"), QString(), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    QString why;
    const bool opened = m_player->open(name, &why, [&progress](int done, int total) {
        progress.setValue(done * 100 / qMax(1, total));
    });
    progress.reset();
    if (!opened) {
        // The recording open before has gone with the attempt.
        closeReplay();
        ask(QMessageBox::Warning, tr2("无法打开录制", "Cannot open the recording"),
            name + QStringLiteral(": ") + why);
        return;
    }
    if (m_player->damaged())
        ask(QMessageBox::Warning, tr2("录制不完整", "Recording incomplete"),
            tr2("文件在第 %1 次扫描后损坏；之前的扫描可以回放。",
                "The file is damaged after sweep %1; the sweeps before it replay.")
                .arg(m_player->count()));
    m_replayPanel->show();
    // The replay draws through the scan record as a link would; the user's
    // choice of connection (the menu's) comes back when it closes.
    m_optionScene->outlineItem()->setVisible(ui->Distance->isChecked());
    m_optionScene->intensityItem()->setVisible(ui->Intensity->isChecked());
    evaluateReplay();
    const int usable = m_replayPanel->timeline()->result().timeMs.size();
    if (!m_player->damaged() && usable < m_player->count())
        ask(QMessageBox::Warning, tr2("录制不完整", "Recording incomplete"),
            tr2("文件在第 %1 次扫描后损坏；之前的扫描可以回放。",
                "The file is damaged after sweep %1; the sweeps before it replay.")
                .arg(usable));
    showReplayFrame(m_player->index());
    statusBar()->showMessage(tr2("回放 ", "Replaying ") + QFileInfo(name).fileName());
}

void MainWindow::closeReplay()
{
    if (!m_player || (!m_player->isOpen() && m_replayPanel->isHidden()))
        return;
    m_player->close();
    m_replayPanel->hide();
    m_scan->sweepLength = 0;
    m_scan->serialDistances.fill(0);
    m_scan->serialIntensities.fill(0);
    m_scan->connectionType = ui->EthernetConnection->isChecked() ? 1 : 0;
    if (!linkOpen()) {
        m_optionScene->outlineItem()->setVisible(false);
        m_optionScene->intensityItem()->setVisible(false);
        IOPortDisplayer(0, 0);
    }
}

void MainWindow::showReplayFrame(int index)
{
    if (!m_player->isOpen() || index < 0)
        return;
    const ScanRecording::Sweep &s = m_player->current();
    ScanRecorder::restore(s, *m_scan);
    m_optionScene->UpdataPaintOutline();
    m_optionScene->UpdataPaintIntensity();
    if (s.ioKnown)
        IOPortDisplayer(s.inputs, s.outputs);
    followReplayArea();
}

void MainWindow::followReplayArea()
{
    // Following the recorded inputs, the editors show the area they chose,
    // but never while the replay plays: an edit under way must not land in
    // an area the recording switches to. They follow when it stops.
    const Replay::Result &r = m_replayPanel->timeline()->result();
    const int index = m_player->index();
    if (m_player->playing())
        return;
    if (m_replayPanel->areaChoice() == 1 && index >= 0 && index < r.area.size() &&
        r.area[index] != m_store->currentArea) {
        m_store->currentArea = r.area[index];
        m_areaTable->AreaTableWidgetAllDisplay();
        showCurrentArea();
    }
}

void MainWindow::evaluateReplay()
{
    if (!m_player || !m_player->isOpen())
        return;
    Replay::Options o;
    o.area = m_replayPanel->areaChoice() == 0 ? m_store->currentArea : -1;
    o.sceneSpan = deviceModelInfo(m_deviceType.type)->sceneSpan;
    const Replay::Result r = m_player->evaluate(m_store->areas, o);
    m_replayPanel->timeline()->setResult(r);
    m_replayPanel->setDifferences(r.differences);
    m_replayPanel->showPosition();
    followReplayArea();
}
