#pragma once
// The single-command remote calls, one function per export, on wire-encoded strings (already
// in the wire code page). Return values are those of the exports.
#include <cstdint>
#include <string_view>

#include "remote_app.h"
#include "zot_session.h"

namespace zot::calls {

int GetVersion(CRemoteApp& app, VersionInfo* out);
int GlobalMemoryStatus(CRemoteApp& app, MemoryStatus* out);
int GetSystemPowerStatus(CRemoteApp& app, PowerStatus* out);
int GetStoreInformation(CRemoteApp& app, StoreInfo* out, int32_t store);
int GetSystemInfo(CRemoteApp& app, SystemInfo* out);

int FindFirstFile(CRemoteApp& app, std::string_view pattern, FindRecord* out);
int FindNextFile(CRemoteApp& app, int32_t find, FindRecord* out);
int FindClose(CRemoteApp& app, int32_t find);

int GetFileAttributes(CRemoteApp& app, std::string_view path);
int SetFileAttributes(CRemoteApp& app, std::string_view path, uint32_t attributes);
int CreateFile(CRemoteApp& app, std::string_view path, uint32_t access);
int OpenFile(CRemoteApp& app, std::string_view path, uint32_t mode);
int CreateDirectory(CRemoteApp& app, std::string_view path);
int RemoveDirectory(CRemoteApp& app, std::string_view path);
int DeleteFile(CRemoteApp& app, std::string_view path);

// lastResult: the terminal's result for the last block asked (0 refuses it), when one came.
int ReadFile(CRemoteApp& app, int32_t file, void* buffer, uint32_t count, uint32_t* done,
             int32_t* lastResult = nullptr);
// following: the data the caller will write next, if it knows (framed ahead of time).
int WriteFile(CRemoteApp& app, int32_t file, const void* data, uint32_t count, uint32_t* done,
              const void* following = nullptr, uint32_t followingCount = 0);
int CloseFile(CRemoteApp& app, int32_t file);
int SetFilePointer(CRemoteApp& app, int32_t file, int32_t distance, uint32_t method);
int SetEndOfFile(CRemoteApp& app, int32_t file);
// The export's form: the size, or 0 on failure.
int GetFileSize(CRemoteApp& app, int32_t file);
// Tells a failed call apart from an empty file.
bool GetFileSize(CRemoteApp& app, int32_t file, uint32_t* size);
int GetFileTime(CRemoteApp& app, int32_t file, uint32_t* creation, uint32_t* access,
                uint32_t* write);
int SetFileTime(CRemoteApp& app, int32_t file, const uint32_t* creation, const uint32_t* access,
                const uint32_t* write);
int SetFilePosToPre(CRemoteApp& app, int32_t file, uint32_t sequence, uint32_t* value);
int Ring(CRemoteApp& app, std::string_view text);

// Decodes a 120-byte wire find record.
void DecodeFindRecord(const uint8_t* wire, FindRecord* out);

}  // namespace zot::calls
