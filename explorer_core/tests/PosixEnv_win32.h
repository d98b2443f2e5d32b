#pragma once
// setenv and unsetenv as POSIX has them, for the suites built for Windows (MinGW's C library
// has only _putenv_s). CMake includes this ahead of every suite's source there.
#ifdef __cplusplus
extern "C" {
#endif
int setenv(const char* name, const char* value, int overwrite);
int unsetenv(const char* name);
#ifdef __cplusplus
}
#endif
