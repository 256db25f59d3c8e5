#include "FontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <thread>

namespace tavelin {

// The toolkit's own initialisation then finds the library's default configuration loaded;
// loading it is safe on any thread. The thread holds nothing the process's end could miss.
void warmUpFontConfiguration() {
    std::thread([] { FcInit(); }).detach();
}

}  // namespace tavelin
