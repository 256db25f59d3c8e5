#include "TestHost.h"

#include <cstdlib>

namespace tavelin {

bool isEnvironmentVariableSet(const char* name) {
    return std::getenv(name) != nullptr;
}

bool isRunningTests() {
    return isEnvironmentVariableSet(kTestConfigurationVariable) ||
           isEnvironmentVariableSet(kUiTestingVariable);
}

}  // namespace tavelin
