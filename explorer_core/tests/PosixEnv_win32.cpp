#include "PosixEnv_win32.h"

#include <cstdlib>

int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

int unsetenv(const char* name) {
    // An empty value removes the variable.
    return _putenv_s(name, "") == 0 ? 0 : -1;
}
