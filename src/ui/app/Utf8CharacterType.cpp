#include "Utf8CharacterType.h"

#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace tavelin {
namespace {

// What LC_ALL decides besides the character type.
constexpr const char* kOtherCategories[] = {
    "LC_COLLATE",        "LC_MESSAGES",    "LC_MONETARY", "LC_NUMERIC", "LC_TIME",     "LC_ADDRESS",
    "LC_IDENTIFICATION", "LC_MEASUREMENT", "LC_NAME",     "LC_PAPER",   "LC_TELEPHONE"};

bool isUtf8(const char* codeset) {
    return codeset && (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0);
}

// The environment's own locale in UTF-8 where the system has it (de_DE.ISO-8859-1 becomes
// de_DE.UTF-8), else C.UTF-8, which the C library always has.
std::string utf8Variant(std::string name) {
    name = name.substr(0, name.find_first_of(".@"));
    for (const std::string& candidate : {name + ".UTF-8", std::string("C.UTF-8")}) {
        if (std::setlocale(LC_CTYPE, candidate.c_str())) return candidate;
    }
    return "C.UTF-8";
}

}  // namespace

void provideUtf8CharacterType() {
    std::setlocale(LC_ALL, "");
    if (!isUtf8(nl_langinfo(CODESET))) {
        const std::string chosen = utf8Variant(std::setlocale(LC_CTYPE, nullptr));
        // LC_ALL outranks every LC_ variable: what it says for the other categories moves to
        // them, so that LC_CTYPE alone can change.
        if (const char* all = std::getenv("LC_ALL"); all && *all) {
            const std::string value = all;
            for (const char* category : kOtherCategories) ::setenv(category, value.c_str(), 1);
            ::unsetenv("LC_ALL");
        }
        ::setenv("LC_CTYPE", chosen.c_str(), 1);
    }
    // The toolkit applies the environment's locale when it starts, as before.
    std::setlocale(LC_ALL, "C");
}

}  // namespace tavelin
