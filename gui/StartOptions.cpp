#include "gui/StartOptions.h"

#include <QRegularExpression>

namespace StartOptions {

const char kUsage[] =
    "Usage: sector-studio [Qt options] [FILE | --connect tcp://HOST[:PORT] | udp://HOST[:PORT] | "
    "serial:DEVICE[@BAUD]]\n";
const char kHelp[] =
    "  FILE                  open a project file of any model; its first line names the model\n"
    "  --connect TARGET      connect at start, as the Connection action does\n"
    "  Qt options            -platform NAME, -style NAME, -reverse, ... are passed to Qt\n";

namespace {
// Qt's own command-line options, which QApplication takes for itself
// (-platform offscreen, -style fusion, --style=fusion, -reverse, ...): the
// number of arguments the option at i occupies, 0 when it is none of them.
int qtOption(const QStringList &args, int i)
{
    static const QStringList withValue{
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
        "qwindowtitle", "qwindowicon", "style", "stylesheet", "session", "display", "geometry",
        "name", "title", "visual", "ncols", "cmap", "fn", "font", "bg", "background", "fg",
        "foreground", "btn", "button", "im", "inputstyle", "qmljsdebugger"};
    static const QStringList flags{"reverse", "widgetcount", "nograb", "dograb", "sync",
                                   "testability", "qdebug"};
    QString a = args[i];
    if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-") || a == QLatin1String("--"))
        return 0;
    a.remove(0, a.startsWith(QLatin1String("--")) ? 2 : 1);
    const int eq = a.indexOf(QLatin1Char('='));
    const QString name = eq < 0 ? a : a.left(eq);
    if (withValue.contains(name))
        return eq < 0 ? 2 : 1;
    if (flags.contains(name) && eq < 0)
        return 1;
    return 0;
}

} // namespace

Start parse(const QStringList &args)
{
    Start s;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (const int n = qtOption(args, i)) {
            if (i + n > args.size())
                s.ok = false;
            i += n - 1;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            s.help = true;
        } else if (a == QLatin1String("--connect") && i + 1 < args.size()) {
            const QString v = args[++i];
            static const QRegularExpression net(QStringLiteral("^(tcp|udp)://([^:/]+)(?::(\\d{1,5}))?$"));
            static const QRegularExpression serial(QStringLiteral("^serial:([^@]+)(?:@(\\d+))?$"));
            const auto n = net.match(v);
            const auto sm = serial.match(v);
            if (n.hasMatch()) {
                s.kind = n.captured(1);
                s.host = n.captured(2);
                if (!n.captured(3).isEmpty()) {
                    const int port = n.captured(3).toInt();
                    s.ok = port > 0 && port < 65536;
                    s.port = quint16(port);
                }
            } else if (sm.hasMatch()) {
                s.kind = QStringLiteral("serial");
                s.host = sm.captured(1);
                s.baud = sm.captured(2).toInt();
            } else {
                s.ok = false;
            }
        } else if (!a.startsWith(QLatin1String("-")) && s.file.isEmpty()) {
            s.file = a;
        } else {
            s.ok = false;
        }
    }
    return s;
}
} // namespace StartOptions
