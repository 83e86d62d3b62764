#pragma once

#include <QString>
#include <QStringList>

// The command line of sector-studio: a project file to open, or a sensor to
// connect to at start. Qt's own options (-platform, -style, ...) are left in
// place for QApplication.
namespace StartOptions {

extern const char kUsage[];
// The lines --help prints after the usage line.
extern const char kHelp[];

struct Start {
    QString file;
    QString kind; // "tcp", "udp", "serial"
    QString host;
    quint16 port = 8080;
    int baud = 0;
    bool ok = true;
    bool help = false;
};

// args as argv gives them, the program's name first.
Start parse(const QStringList &args);

} // namespace StartOptions
