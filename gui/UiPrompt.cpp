#include "gui/UiPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>

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
// Boxes belong to the main window: those of the link have no widget of
// their own and would otherwise open in the middle of the screen.
QWidget *owner(QWidget *parent)
{
    if (parent)
        return parent->window();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(w) && w->isVisible())
            return w;
    return nullptr;
}

// The box takes its final size only as it is shown; it is centred then,
// before it appears.
class CentredBox : public QMessageBox
{
public:
    CentredBox(const Box &box, QWidget *window)
        : QMessageBox(box.icon, box.title, box.text, QMessageBox::NoButton, window)
        , m_window(window)
    {
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        if (!m_window || !m_window->isVisible())
            return;
        QRect r(QPoint(), frameGeometry().size());
        r.moveCenter(m_window->frameGeometry().center());
        // A window dragged half off the screen still gets its box on it.
        if (QScreen *screen = m_window->screen()) {
            const QRect room = screen->availableGeometry();
            r.moveLeft(qBound(room.left(), r.left(), qMax(room.left(), room.right() - r.width() + 1)));
            r.moveTop(qBound(room.top(), r.top(), qMax(room.top(), room.bottom() - r.height() + 1)));
        }
        move(r.topLeft());
    }

private:
    QWidget *m_window;
};
} // namespace

void setBoxAnswer(BoxAnswer answer) { boxAnswer() = std::move(answer); }
void setFileAnswer(FileAnswer answer) { fileAnswer() = std::move(answer); }

int show(QWidget *parent, const Box &box)
{
    if (boxAnswer())
        return boxAnswer()(box);
    QWidget *window = owner(parent);
    CentredBox mb(box, window);
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
    QWidget *window = owner(parent);
    if (q.save)
        return QFileDialog::getSaveFileName(window, q.caption, q.directory, q.filter);
    return QFileDialog::getOpenFileName(window, q.caption, q.directory, q.filter);
}

} // namespace UiPrompt
