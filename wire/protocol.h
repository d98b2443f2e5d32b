#pragma once
// Constants of the byte protocol between the PC and the terminal's server.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zot {

inline constexpr uint8_t kStartByte = 0x02;
inline constexpr uint8_t kEscapeByte = 0x7E;
inline constexpr uint8_t kEscapeFlip = 0x20;
inline constexpr uint8_t kTypeRequest = 0x10;
inline constexpr uint8_t kTypeReply = 0x11;
inline constexpr uint8_t kZlibFirstByte = 0x78;

inline constexpr size_t kMaxPayload = 2048;                    // L, and any plain message
inline constexpr size_t kHeaderSize = 7;                       // type, command, seq, D
inline constexpr size_t kMaxData = kMaxPayload - kHeaderSize;  // 2041
// Start byte, then length, payload and checksum all escaped in the worst case.
inline constexpr size_t kMaxFrame = 1 + 2 * (2 + kMaxPayload + 1);  // 4103
inline constexpr size_t kMaxBlock = 1024;                           // data of one Read/WriteFile
inline constexpr size_t kMaxPathBytes = 255;

enum Command : uint16_t {
    kGetVersion = 0,
    kGlobalMemoryStatus = 1,
    kGetSystemPowerStatus = 2,
    kGetStoreInformation = 3,
    kGetSystemInfo = 4,
    kFindFirstFile = 5,
    kFindNextFile = 6,
    kFindClose = 7,
    kGetFileAttributes = 8,
    kSetFileAttributes = 9,
    kCreateFile = 10,
    kOpenFile = 11,
    kReadFile = 12,
    kWriteFile = 13,
    kCloseFile = 14,
    kSetFilePointer = 15,
    kSetEndOfFile = 16,
    kCreateDirectory = 17,
    kRemoveDirectory = 18,
    kDeleteFile = 19,
    kGetFileSize = 20,
    kGetFileTime = 21,
    kSetFileTime = 22,
    kSetFilePosToPre = 23,
    kRing = 24,
    kCommandCount = 25,
};

const char* CommandName(uint16_t command);

// Size of the device find record inside replies 5 and 6.
inline constexpr size_t kFindRecordSize = 120;
inline constexpr size_t kFindNameOffset = 20;
inline constexpr size_t kFindNameSize = 100;

inline uint16_t GetU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline void PutU16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Writes the 7-byte message header.
inline void PutHeader(uint8_t* msg, uint8_t type, uint16_t command, uint16_t seq, uint16_t d) {
    msg[0] = type;
    PutU16(msg + 1, command);
    PutU16(msg + 3, seq);
    PutU16(msg + 5, d);
}

}  // namespace zot
