#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Nothing of a user's own layout is read or written: a member of each test
// object, so it is in place before the first window.
struct PrivateSettings {
    QTemporaryDir dir;
    PrivateSettings()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    }
    // Each test starts from a first run of the tool.
    static void clear() { QSettings("ZoneSensorTool", "Parameters").clear(); }
};
