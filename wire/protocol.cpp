#include "protocol.h"

namespace zot {

const char* CommandName(uint16_t command) {
    static constexpr const char* kNames[kCommandCount] = {"GetVersion",
                                                          "GlobalMemoryStatus",
                                                          "GetSystemPowerStatus",
                                                          "GetStoreInformation",
                                                          "GetSystemInfo",
                                                          "FindFirstFile",
                                                          "FindNextFile",
                                                          "FindClose",
                                                          "GetFileAttributes",
                                                          "SetFileAttributes",
                                                          "CreateFile",
                                                          "OpenFile",
                                                          "ReadFile",
                                                          "WriteFile",
                                                          "CloseFile",
                                                          "SetFilePointer",
                                                          "SetEndOfFile",
                                                          "CreateDirectory",
                                                          "RemoveDirectory",
                                                          "DeleteFile",
                                                          "GetFileSize",
                                                          "GetFileTime",
                                                          "SetFileTime",
                                                          "SetFilePosToPre",
                                                          "Ring"};
    return command < kCommandCount ? kNames[command] : "?";
}

}  // namespace zot
