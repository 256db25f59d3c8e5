#include "ScreenFreeze.h"

namespace tavelin {

void ScreenFreeze::start(const ScreenPlatform& platform) {
    if (pending_.valid()) return;
    pending_ =
        std::async(std::launch::async, [&platform] { return platform.captureAllDisplays(); });
}

ScreenFreeze::Outcome ScreenFreeze::take(const ScreenPlatform& platform) {
    if (!pending_.valid()) start(platform);
    return pending_.get();
}

}  // namespace tavelin
