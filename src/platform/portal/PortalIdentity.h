#pragma once

#include <string>

class QDBusConnection;

namespace tavelin {

// Tells the portal which application this connection is, where the portal asks host programs
// to say so (org.freedesktop.host.portal.Registry, which must be the connection's first portal
// call). Does nothing the second time.
void identifyToPortal(QDBusConnection& bus);

// The application id the portal files this program's permissions under: the registered id
// where the portal took it; else the id of the systemd unit the program runs in (the host
// application's, when the host runs in one); else none, the entry the portal keeps for every
// program it cannot tell apart.
std::string portalApplicationId();

}  // namespace tavelin
