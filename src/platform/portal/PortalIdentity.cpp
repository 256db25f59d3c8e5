#include "PortalIdentity.h"

#include <fstream>
#include <iterator>

#include "core/identity/SystemdAppId.h"

namespace tavelin {

std::string portalApplicationId() {
    std::ifstream cgroup("/proc/self/cgroup");
    return appIdFromCgroup(std::string{std::istreambuf_iterator<char>(cgroup), {}});
}

}  // namespace tavelin
