// Preloaded into the program: says on standard error whenever the environment changes while the
// process runs more than one thread. Another thread may be reading it then (a display connection
// looking up its address), and a change can move the memory it reads.
#include <dirent.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

int threadCount() {
    DIR* tasks = ::opendir("/proc/self/task");
    if (!tasks) return 0;
    int count = 0;
    while (const dirent* entry = ::readdir(tasks)) {
        if (entry->d_name[0] != '.') ++count;
    }
    ::closedir(tasks);
    return count;
}

void noteChange(const char* call, const char* name) {
    const int threads = threadCount();
    if (threads <= 1) return;
    const std::string line = std::string("environment changed (") + call + " " + name +
                             ") while " + std::to_string(threads) + " threads run\n";
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, line.data(), line.size());
}

template <typename Function>
Function next(const char* symbol) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, symbol));
}

}  // namespace

extern "C" {

int setenv(const char* name, const char* value, int overwrite) {
    noteChange("setenv", name);
    static const auto real = next<int (*)(const char*, const char*, int)>("setenv");
    return real(name, value, overwrite);
}

int unsetenv(const char* name) {
    noteChange("unsetenv", name);
    static const auto real = next<int (*)(const char*)>("unsetenv");
    return real(name);
}

int putenv(char* assignment) {
    noteChange("putenv", assignment);
    static const auto real = next<int (*)(char*)>("putenv");
    return real(assignment);
}

}  // extern "C"
