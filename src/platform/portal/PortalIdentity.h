#pragma once

#include <string>

namespace tavelin {

// The application id the portal files this program's permissions under: the id of the systemd
// unit the program runs in, which a host's children inherit, so the permission is the host's;
// else none, the entry the portal keeps for every program it cannot tell apart. The program
// does not register an id of its own with the portal: a desktop asks the user only on behalf of
// the focused application (GNOME refuses to show its dialog for any other id), and when a host
// spawns us, the host is the focused one.
std::string portalApplicationId();

}  // namespace tavelin
