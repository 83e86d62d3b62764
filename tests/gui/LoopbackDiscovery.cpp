// Linked into every test that builds windows: the searches for sensors that
// their dialogs start go from 127.0.0.1 to a port nothing serves, never to
// the network. A test that checks the search itself sets its own targets.

#include "core/link/Discovery.h"

#include <QCoreApplication>

namespace {
void keepDiscoveryOnLoopback()
{
    Discovery::setTestTargets({QHostAddress(QHostAddress::LocalHost)}, QHostAddress::LocalHost, 9);
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(keepDiscoveryOnLoopback)
