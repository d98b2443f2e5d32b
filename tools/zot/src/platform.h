#pragma once
// The little the command line needs of the OS, one file per OS.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace zotcli {

// A PC path from the command line (the locale's text) as the file system takes it: the bytes
// as they are on POSIX, the wide form on Windows, so non-ASCII names open there too.
std::filesystem::path PcPath(const std::string& localText);

// A PC folder named after a terminal: the name itself, or, where the system keeps the name
// for a device (Windows' COM1 to COM9, NUL, ...), the name with "_" after it.
std::string PcFolderName(const std::string& name);

// Whether standard error is a terminal (for the progress bar).
bool StderrIsTerminal();
// Whether it is one that also moves the cursor on escape sequences (for one progress line per
// terminal with several at once); turns them on where the console needs that.
bool StderrTakesEscapes();

// Standard input and output carry bytes as they are (Windows would turn line ends).
void BinaryStandardStreams();

// Has handler run on Ctrl-C and on a request to terminate.
void OnInterruptSignals(void (*handler)(int));

// What a PC path names. With followLinks false a symbolic link is itself neither a regular
// file nor a folder.
struct PcStat {
    bool isRegular = false;
    bool isDirectory = false;
    uint64_t size = 0;
    timespec modified{};  // since 1970, UTC
};
// False when the path names nothing (or cannot be looked at).
bool StatPc(const std::string& path, PcStat* out, bool followLinks = true);

// Sets a PC file's access and modification times; failure is ignored by the callers.
void SetPcTimes(const std::string& path, const timespec& time);

}  // namespace zotcli
