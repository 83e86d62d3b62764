// The main window's file workflow: Save, the two Open paths and what a
// project read from a file refreshes.

#include "gui/MainWindow.h"
#include "ui_mainwindow.h"

#include "core/link/SERIAL_COMM.h"
#include "core/project/ProjectFile.h"
#include "core/zones/ZoneStore.h"
#include "graphics/OPTION_SCENE.h"
#include "gui/UiPrompt.h"
#include "gui/editors/AREA_TABLE.h"
#include "gui/editors/COORD_TABLE.h"
#include "gui/editors/EDIT_CONTROL.h"
#include "gui/panels/SENSOR_SETTING.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTextStream>
#include "gui/RecentProjects.h"

void MainWindow::savefile()
{
    saveDesign();
}

void MainWindow::stopReplyTimer()
{
    // Only while no request is outstanding: a stopped time-out would leave
    // a request whose reply was lost outstanding for ever.
    if (m_link->busyCode() == 0)
        m_link->StopReplyTimer();
}

bool MainWindow::saveDesign()
{
    stopReplyTimer();
    UiPrompt::FileQuestion q;
    q.save = true;
    q.caption = QStringLiteral("保存配置文件");
    q.filter = deviceModelFilter(m_deviceType.type);
    q.directory = m_recent->folder();
    QString name = UiPrompt::askFileName(this, q);
    if (name.isEmpty())
        return false; // cancelled: nothing written, the flag as it was
    name = withDeviceSuffix(name, m_deviceType.type);

    QString why;
    const auto result = ProjectFile::saveProject(name, m_deviceType.type,
                                                 m_sensorSetting->dockValues(), *m_store, &why);
    if (result == ProjectFile::SaveResult::Saved) {
        m_store->modified = false;
        rememberProject(name);
        return true;
    }
    // Whatever failed, the design still counts as unsaved; the previous file
    // is as it was unless it had to be written in place and could not be put
    // back.
    const QString file = QDir::toNativeSeparators(name);
    QString text;
    switch (result) {
    case ProjectFile::SaveResult::OpenFailed:
        text = tr2("文件无法创建：\n%1\n%2\n设计没有保存。",
                   "The file could not be created:\n%1\n%2\nThe design has not been saved.");
        break;
    case ProjectFile::SaveResult::TargetDamaged:
        text = tr2("文件未能完整写入，原有文件也无法恢复：\n%1\n%2\n请将设计另存到其他位置。",
                   "The file could not be written completely and the previous file could not "
                   "be restored:\n%1\n%2\nSave the design somewhere else.");
        break;
    default:
        text = tr2("文件未能完整写入：\n%1\n%2\n原有文件保持不变。",
                   "The file could not be written completely:\n%1\n%2\n"
                   "The previous file is unchanged.");
        break;
    }
    ask(QMessageBox::Warning, tr2("保存失败", "Save failed"), text.arg(file, why));
    return false;
}

void MainWindow::readProjectBody(QTextStream &in)
{
    m_sensorSetting->ReadSection(in);
    ProjectFile::readAreaSection(in, *m_store);
}

void MainWindow::showReadAreas()
{
    m_editControl->EditControlUpdateEditData();
    m_coordTable->CoordTableWidgeUpdate();
    m_areaTable->AreaTableWidgetAllDisplay();
    m_optionScene->CoordTableUpdatePointItem();
    m_optionScene->UpdataPaintOutline();
}

void MainWindow::refreshAfterProjectRead()
{
    m_editControl->EditControlUpdateEditData();
    m_coordTable->CoordTableWidgeUpdate();
    // A file read replaces the design: Undo starts from what was read, and
    // reading counts as a change.
    m_store->resetUndo();
    m_store->modified = true;
    m_areaTable->AreaTableWidgetAllDisplay();
    m_optionScene->CoordTableUpdatePointItem();
    designTouched();
}

void MainWindow::showFileError()
{
    ask(QMessageBox::Information, tr2("错误", "Error"), tr2("文件损坏", "FileError"));
}

void MainWindow::openfile()
{
    stopReplyTimer();
    UiPrompt::FileQuestion q;
    q.caption = tr2("打开配置文件", "Open Config file");
    q.filter = deviceModelFilter(m_deviceType.type);
    q.directory = m_recent->folder();
    const QString name = UiPrompt::askFileName(this, q);
    if (name.isEmpty())
        return;
    openProjectFile(name);
}

void MainWindow::openProjectFile(const QString &name)
{
    if (refuseToOpen(name))
        return;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ask(QMessageBox::Information, QStringLiteral("Document"), QStringLiteral("No document"),
            QStringList{QStringLiteral("OK"), QStringLiteral("Cancel")});
        return;
    }
    QTextStream in(&file);
    const DeviceModelInfo *m = deviceModelInfo(m_deviceType.type);
    if (m && in.readLine() == QLatin1String(m->header)) {
        readProjectBody(in);
        rememberProject(name);
    } else {
        showFileError();
    }
    refreshAfterProjectRead();
}

void MainWindow::OpenProject()
{
    UiPrompt::FileQuestion q;
    q.caption = tr2("打开配置文件", "Open Config file");
    q.directory = m_recent->folder();
    const QString name = UiPrompt::askFileName(this, q);
    if (name.isEmpty())
        return;
    openAnyProjectFile(name, false);
}

// A file far beyond what any sensor holds (or one whose line never ends) is
// not read at all: the user is told why, and the design stays as it is.
bool MainWindow::refuseToOpen(const QString &name)
{
    const ProjectFile::Refusal refusal = ProjectFile::screenFile(name);
    if (!refusal.refused())
        return false;
    ask(QMessageBox::Warning, tr2("无法打开", "Cannot open"), refusal.text(m_language));
    return true;
}

bool MainWindow::openAnyProjectFile(const QString &name, bool reportUnreadable)
{
    if (refuseToOpen(name))
        return false;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (reportUnreadable)
            ask(QMessageBox::Information, QStringLiteral("Document"), QStringLiteral("No document"),
                QStringList{QStringLiteral("OK"), QStringLiteral("Cancel")});
        return false;
    }
    QTextStream in(&file);
    const int type = deviceModelFromHeader(in.readLine());
    if (type < 0) {
        showFileError();
        return false;
    }
    m_deviceType.type = type;
    readProjectBody(in);
    refreshAfterProjectRead();
    DEVICETYPE read = m_deviceType;
    CreateDeviceType(&read);
    rememberProject(name);
    return true;
}

void MainWindow::rememberProject(const QString &path)
{
    m_projectFile = path;
    m_recent->add(path);
    fillRecentMenu();
}

void MainWindow::fillRecentMenu()
{
    m_recentMenu->setTitle(tr2("最近的项目", "Recent Projects"));
    m_recentMenu->clear();
    const QStringList files = m_recent->files();
    for (int i = 0; i < files.size(); ++i) {
        const QString file = files[i];
        QAction *a = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(file).fileName()));
        a->setToolTip(QDir::toNativeSeparators(file));
        a->setStatusTip(QDir::toNativeSeparators(file));
        connect(a, &QAction::triggered, this, [this, file] {
            // A project that has gone away leaves the list.
            if (!QFileInfo::exists(file)) {
                m_recent->remove(file);
                fillRecentMenu();
            }
            openAnyProjectFile(file, true);
        });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}
