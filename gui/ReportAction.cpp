#include "gui/ReportAction.h"

#include "core/project/ProjectFile.h"
#include "core/zones/ZoneStore.h"
#include "gui/UiPrompt.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

ReportInput windowReportInput(int model, const QVector<int> &dockValues,
                              const SensorParameters &parameters, const ZoneStore &store,
                              const QString &lastFile, bool chinese)
{
    ReportInput in;
    in.chinese = chinese;
    in.model = model;
    in.parameters = parameters;
    in.areas = store.areas;
    in.when = QDateTime::currentDateTime();
    in.version = studioVersion();
    {
        // Byte for byte what Save would write now.
        QTextStream out(&in.projectBytes, QIODevice::WriteOnly);
        ProjectFile::writeProject(out, model, dockValues, store);
    }
    if (lastFile.isEmpty()) {
        in.fileState = ReportInput::FileState::UnsavedChanges;
        return in;
    }
    in.projectName = QFileInfo(lastFile).fileName();
    QFile file(lastFile);
    const bool same = file.open(QIODevice::ReadOnly) && file.readAll() == in.projectBytes;
    in.fileState = same ? ReportInput::FileState::Saved : ReportInput::FileState::UnsavedChanges;
    return in;
}

namespace {
QString tr2(bool chinese, const char *zh, const char *en)
{
    return QString::fromUtf8(chinese ? zh : en);
}
} // namespace

bool saveCommissioningReport(QWidget *parent, const ReportInput &input, const QString &folder)
{
    const bool zh = input.chinese;
    UiPrompt::FileQuestion q;
    q.save = true;
    q.caption = tr2(zh, "保存调试报告", "Save Commissioning Report");
    q.filter = tr2(zh, "PDF 文件 (*.pdf)", "PDF files (*.pdf)");
    const QString base = input.projectName.isEmpty()
                             ? tr2(zh, "调试报告", "commissioning-report")
                             : QFileInfo(input.projectName).completeBaseName();
    q.directory = folder.isEmpty() ? base + QStringLiteral(".pdf")
                                   : QDir(folder).filePath(base + QStringLiteral(".pdf"));
    QString name = UiPrompt::askFileName(parent, q);
    if (name.isEmpty())
        return false;
    if (!name.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        name += QStringLiteral(".pdf");

    QString why;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = writeCommissioningReport(name, input, &why);
    QApplication::restoreOverrideCursor();
    if (written)
        return true;
    UiPrompt::Box box;
    box.icon = QMessageBox::Warning;
    box.title = tr2(zh, "报告保存失败", "Report not saved");
    box.text = tr2(zh, "调试报告无法保存：\n%1\n%2",
                   "The commissioning report could not be saved:\n%1\n%2")
                   .arg(QDir::toNativeSeparators(name), why);
    box.buttons = QStringList{QStringLiteral("OK")};
    UiPrompt::show(parent, box);
    return false;
}
