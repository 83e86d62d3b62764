#pragma once

#include <QStringList>

class QObject;

// Every language-dependent text of the main window, in Chinese and English,
// in one table, applied by the language switch: menu titles first, then the
// actions, then the docks and their contents. Only texts change; indexes,
// check states and values stay.
namespace LanguageTexts {

// language: 0 Chinese, 1 English.
void apply(QObject *mainWindow, int language);

// For tests: the object names the table refers to, each of which must exist.
int checkNames(QObject *mainWindow, QStringList *missing);

} // namespace LanguageTexts
