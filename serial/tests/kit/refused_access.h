#pragma once
// Opens that the system refuses for lack of permission, made real in a test: a file of mode
// 000 refuses everyone but root, so a test running as root asks from a child process that
// has become nobody.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace qs::test {

// Creates path as an empty file nobody but root may open.
inline bool MakeUnopenable(const std::string& path) {
    std::ofstream(path) << "";
    return ::chmod(path.c_str(), 0) == 0;
}

// Runs check in a child process that is not root; true when check returned true there.
template <typename Check>
bool AsUnprivilegedUser(Check check) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0) ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace qs::test
