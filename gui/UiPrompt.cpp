#include "gui/UiPrompt.h"

#include <QFileDialog>
#include <QPushButton>

namespace UiPrompt {

namespace {
BoxAnswer &boxAnswer()
{
    static BoxAnswer answer;
    return answer;
}
FileAnswer &fileAnswer()
{
    static FileAnswer answer;
    return answer;
}
} // namespace

void setBoxAnswer(BoxAnswer answer) { boxAnswer() = std::move(answer); }
void setFileAnswer(FileAnswer answer) { fileAnswer() = std::move(answer); }

int show(QWidget *parent, const Box &box)
{
    if (boxAnswer())
        return boxAnswer()(box);
    QMessageBox mb(box.icon, box.title, box.text, QMessageBox::NoButton, parent);
    QList<QAbstractButton *> buttons;
    // One role for all keeps the buttons in the order given on every
    // desktop; Escape answers with the last one.
    for (const QString &text : box.buttons)
        buttons << mb.addButton(text, QMessageBox::ActionRole);
    if (!buttons.isEmpty()) {
        mb.setDefaultButton(static_cast<QPushButton *>(buttons.first()));
        mb.setEscapeButton(buttons.last());
    }
    mb.exec();
    return buttons.indexOf(mb.clickedButton());
}

QString askFileName(QWidget *parent, const FileQuestion &q)
{
    if (fileAnswer())
        return fileAnswer()(q);
    if (q.save)
        return QFileDialog::getSaveFileName(parent, q.caption, q.directory, q.filter);
    return QFileDialog::getOpenFileName(parent, q.caption, q.directory, q.filter);
}

} // namespace UiPrompt
