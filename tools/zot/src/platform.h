#pragma once
// The little the command line needs of the OS, one file per OS.
#include <ctime>
#include <filesystem>
#include <string>

namespace zotcli {

// A PC path from the command line (the locale's text) as the file system takes it: the bytes
// as they are on POSIX, the wide form on Windows, so non-ASCII names open there too.
std::filesystem::path PcPath(const std::string& localText);

// The library port number through which --device is reached, -1 when it cannot be.
int PortForDevice(const std::string& device);

// Seconds since 1970 as a UTC calendar time.
std::tm UtcCalendar(std::time_t t);

// Whether standard error is a terminal (for the progress bar).
bool StderrIsTerminal();

}  // namespace zotcli
