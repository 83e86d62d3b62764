#include "UiPrompt.h"

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
    for (int i = 0; i < box.buttons.size(); ++i) {
        // The roles only place the buttons; the answer is the button's index.
        const auto role = i == 0 ? QMessageBox::AcceptRole
                                 : (i == box.buttons.size() - 1 && box.buttons.size() > 1
                                        ? QMessageBox::RejectRole
                                        : QMessageBox::DestructiveRole);
        QPushButton *b = mb.addButton(box.buttons[i], role);
        buttons << b;
        if (i == 0)
            mb.setDefaultButton(b);
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
