#pragma once

namespace tavelin {

// The toolkit needs a UTF-8 character type and, from Qt 6.8 on, says so on standard error when
// the environment gives another: hosts often start helpers without any locale. This gives the
// process one through its environment before the toolkit reads it. Only the character type
// changes; every other category (numbers, messages, dates) stays as the environment set it.
void provideUtf8CharacterType();

}  // namespace tavelin
