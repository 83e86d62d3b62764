#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Every modal question, message box and file dialog of the GUI goes through
// here, so that tests can answer them instead of a person.
namespace UiPrompt {

struct Box {
    QMessageBox::Icon icon = QMessageBox::Information;
    QString title;
    QString text;
    QStringList buttons; // button texts, left to right; the first is the default
};

struct FileQuestion {
    bool save = false;
    QString caption;
    QString directory;
    QString filter;
};

// Shows the box modally and returns the index of the button pressed, or -1
// when the box was closed otherwise.
int show(QWidget *parent, const Box &box);
// An empty string when the dialog was cancelled.
QString askFileName(QWidget *parent, const FileQuestion &question);

// Test hooks: while set, boxes and file dialogs are answered by these
// functions and nothing is shown.
using BoxAnswer = std::function<int(const Box &)>;
using FileAnswer = std::function<QString(const FileQuestion &)>;
void setBoxAnswer(BoxAnswer answer);
void setFileAnswer(FileAnswer answer);

} // namespace UiPrompt
