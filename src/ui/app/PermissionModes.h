#pragma once

namespace tavelin {

// Each writes its record and ends the event loop with status 0.
void runPermissionCheck();
void runPermissionBootstrap();

}  // namespace tavelin
