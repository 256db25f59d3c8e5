#pragma once

namespace tavelin {

// A test host sets one of these; only the presence of the name counts, not its value.
inline constexpr const char* kTestConfigurationVariable = "XCTestConfigurationFilePath";
inline constexpr const char* kUiTestingVariable = "UI_TESTING";

bool isEnvironmentVariableSet(const char* name);

// True under either test-host variable. Reads the environment afresh at every call.
bool isRunningTests();

}  // namespace tavelin
