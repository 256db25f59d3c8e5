#pragma once

#include <string>

namespace tavelin {

// What the portal's permission store holds for an application's screenshots.
enum class StoredPermission { granted, denied, undecided };

StoredPermission storedScreenshotPermission(const std::string& appId);

// Records that the application may take screenshots; false when the store cannot be reached.
bool storeScreenshotPermission(const std::string& appId);

}  // namespace tavelin
