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

// Where the Qt the program runs on keeps its own catalogues
// (/usr/share/qt5/translations or /usr/share/qt6/translations on Debian).
QString qtTranslationsPath();

// Qt's own texts (standard buttons, file dialogs, "Look in:") follow the
// language: Qt's Chinese catalogue is installed for 0 and removed for 1.
// False when Chinese is asked for and the catalogue is not installed.
bool applyQtTranslations(int language);

// For tests: the object names the table refers to, each of which must exist.
int checkNames(QObject *mainWindow, QStringList *missing);

} // namespace LanguageTexts
