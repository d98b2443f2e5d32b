/*
 * zotlink.h - remote access to the file store of a handheld terminal over a serial line.
 *
 * Return values
 *   Every function returns a 32-bit int. Boolean and count results are nonzero on success and
 *   0 on failure; handle and attribute results are -1 on failure. Where a result is "the
 *   terminal's result" it is passed through unchanged. No message is shown. Out records are
 *   filled only on success. A call whose terminal does not answer gives up after 4 attempts
 *   of 5000 ms each, leaving errno (Windows: GetLastError()) at 0. ZOT_LumoInit and
 *   ZOT_SetBaudrate leave the reason the port did not open there (below).
 *
 * Thread safety
 *   The library keeps one link and one request state for the whole process. Call it from one
 *   thread at a time. While a ZOT_CopyFileExW copy runs (its status word below 100) make no
 *   other call; poll the status word instead. The status and cancel words are accessed
 *   atomically by the copy thread and stay the caller's: keep them alive until status >= 100.
 *
 * Strings
 *   W functions take UTF-16 strings (wchar_t on Windows, char16_t elsewhere). On the wire paths
 *   travel in the PC's ANSI code page: on POSIX the charset of the environment's locale, on
 *   Windows GetACP(); ZOTLINK_CODEPAGE names another (an iconv name such as GBK on POSIX; a
 *   number, CPnnn or GBK, BIG5, SHIFT_JIS, UTF-8 on Windows). A path of more than 255 bytes after
 * conversion is refused before anything is sent. The functions without W take strings in that code
 * page.
 *
 * Ports
 *   Port n is "COMn" on Windows; on POSIX the device named by environment variable COMn, else
 *   the entry COMn of group [Ports] in $XDG_CONFIG_HOME/Corvale/ports.conf (~/.config/...),
 *   else /dev/ttyS(n-1).
 *
 * Tracing
 *   Set ZOTLINK_TRACE=1 to get one line per request, reply and dropped frame on stderr.
 */
#ifndef ZOTLINK_H
#define ZOTLINK_H

#include <stdint.h>

#ifdef _WIN32
#include <wchar.h>
typedef wchar_t ZOT_WCHAR;
#define ZOTAPI __stdcall
#else
#ifndef __cplusplus
#include <uchar.h>
#endif
typedef char16_t ZOT_WCHAR;
#define ZOTAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Records filled by the terminal. Their values are the terminal's own. */
typedef struct ZOT_VERSION_INFO {
    uint32_t dwMajorVersion;
    uint32_t dwMinorVersion;
    uint32_t dwBuildNumber;
} ZOT_VERSION_INFO; /* 12 bytes */

typedef struct ZOT_MEMORY_STATUS {
    uint32_t dwMemoryLoad;
    uint32_t dwTotalPhys;
    uint32_t dwAvailPhys;
} ZOT_MEMORY_STATUS; /* 12 bytes */

typedef struct ZOT_POWER_STATUS {
    uint8_t data[24];
} ZOT_POWER_STATUS;

typedef struct ZOT_STORE_INFORMATION {
    uint32_t dwStoreSize; /* bytes */
    uint32_t dwFreeSize;  /* bytes */
} ZOT_STORE_INFORMATION;

typedef struct ZOT_SYSTEM_INFO {
    uint8_t data[80];
} ZOT_SYSTEM_INFO;

/* One directory entry of the terminal (120 bytes, little-endian as on the wire). */
typedef struct ZOT_FIND_DATA {
    uint32_t dwFileAttributes; /* 0x10 directory, 0x02 hidden, 0x04 system, ... */
    uint32_t dwReserved0;
    uint32_t dwReserved1;
    uint32_t dwTime;     /* seconds since 1970-01-01 00:00 UTC; 0 unknown */
    uint32_t nFileSize;  /* bytes */
    char cFileName[100]; /* last path component, ANSI code page; NUL-terminated if shorter */
} ZOT_FIND_DATA;

#define ZOT_FILE_ATTRIBUTE_READONLY 0x01
#define ZOT_FILE_ATTRIBUTE_HIDDEN 0x02
#define ZOT_FILE_ATTRIBUTE_SYSTEM 0x04
#define ZOT_FILE_ATTRIBUTE_DIRECTORY 0x10
#define ZOT_FILE_ATTRIBUTE_ARCHIVE 0x20
#define ZOT_FILE_ATTRIBUTE_NORMAL 0x80

#define ZOT_GENERIC_READ 0x80000000u
#define ZOT_GENERIC_WRITE 0x40000000u
#define ZOT_FILE_BEGIN 0
#define ZOT_FILE_CURRENT 1
#define ZOT_FILE_END 2

/* Copy status word of ZOT_CopyFileExW: 0 before start (set by the caller), 2..99 progress. */
#define ZOT_COPY_DONE 100
#define ZOT_COPY_READ_FAILED 102  /* source cannot be opened, or a read came back short */
#define ZOT_COPY_WRITE_FAILED 103 /* a write came back short */
#define ZOT_COPY_CANCELLED 104
#define ZOT_COPY_CREATE_FAILED 105 /* destination cannot be created */

/* Link */
/* 1 when the port opened at baudRate; the terminal is not asked, so a port with nothing
 * behind it opens too and the first call (ZOT_GetVersion) then fails with errno 0.
 * 0 when it did not open, with errno (Windows: GetLastError()) holding why: ENOENT no such
 * device, EACCES not allowed, EBUSY held by another program, ENOTTY not a serial device,
 * EINVAL the device refuses the speed (Windows: ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED
 * for a port in use, ERROR_INVALID_PARAMETER...). */
int32_t ZOTAPI ZOT_LumoInit(int32_t port, int32_t baudRate, int32_t compress);
int32_t ZOTAPI ZOT_LumoUninit(void);
/* Reopens the port at a new speed; results and errno as for ZOT_LumoInit. */
int32_t ZOTAPI ZOT_SetBaudrate(int32_t baudRate);

/* System information */
int32_t ZOTAPI ZOT_GetVersion(ZOT_VERSION_INFO* version);
int32_t ZOTAPI ZOT_GlobalMemoryStatus(ZOT_MEMORY_STATUS* status);
int32_t ZOTAPI ZOT_GetSystemPowerStatus(ZOT_POWER_STATUS* status);
int32_t ZOTAPI ZOT_GetStoreInformation(ZOT_STORE_INFORMATION* info, int32_t store);
int32_t ZOTAPI ZOT_GetSystemInfo(ZOT_SYSTEM_INFO* info);

/* Directory search */
int32_t ZOTAPI ZOT_FindFirstFileW(const ZOT_WCHAR* pattern, ZOT_FIND_DATA* data);
int32_t ZOTAPI ZOT_FindFirstFile(const char* pattern, ZOT_FIND_DATA* data);
int32_t ZOTAPI ZOT_FindNextFile(int32_t find, ZOT_FIND_DATA* data);
int32_t ZOTAPI ZOT_FindClose(int32_t find);

/* Attributes */
int32_t ZOTAPI ZOT_GetFileAttributesW(const ZOT_WCHAR* path);
int32_t ZOTAPI ZOT_GetFileAttributes(const char* path);
int32_t ZOTAPI ZOT_SetFileAttributesW(const ZOT_WCHAR* path, uint32_t attributes);
int32_t ZOTAPI ZOT_SetFileAttributes(const char* path, uint32_t attributes);

/* File handles */
int32_t ZOTAPI ZOT_CreateFileW(const ZOT_WCHAR* path, uint32_t access);
int32_t ZOTAPI ZOT_CreateFile(const char* path, uint32_t access);
int32_t ZOTAPI ZOT_OpenFileW(const ZOT_WCHAR* path, uint32_t mode);
int32_t ZOTAPI ZOT_OpenFile(const char* path, uint32_t mode);
/* 1 only when all count bytes moved; *done tells how many did either way. */
int32_t ZOTAPI ZOT_ReadFile(int32_t file, void* buffer, uint32_t count, uint32_t* done);
int32_t ZOTAPI ZOT_WriteFile(int32_t file, const void* data, uint32_t count, uint32_t* done);
int32_t ZOTAPI ZOT_CloseFile(int32_t file);
int32_t ZOTAPI ZOT_SetFilePointer(int32_t file, int32_t distance, uint32_t method);
int32_t ZOTAPI ZOT_SetEndOfFile(int32_t file);
int32_t ZOTAPI ZOT_GetFileSize(int32_t file);
int32_t ZOTAPI ZOT_GetFileTime(int32_t file, uint32_t* creation, uint32_t* access, uint32_t* write);
/* Returns 1 when the terminal never answers. */
int32_t ZOTAPI ZOT_SetFileTime(int32_t file, const uint32_t* creation, const uint32_t* access,
                               const uint32_t* write);
int32_t ZOTAPI ZOT_SetFilePosToPre(int32_t file, uint32_t sequence, uint32_t* value);

/* Directories and deletion */
int32_t ZOTAPI ZOT_CreateDirectoryW(const ZOT_WCHAR* path);
int32_t ZOTAPI ZOT_CreateDirectory(const char* path);
int32_t ZOTAPI ZOT_RemoveDirectoryW(const ZOT_WCHAR* path);
int32_t ZOTAPI ZOT_RemoveDirectory(const char* path);
int32_t ZOTAPI ZOT_DeleteFileW(const ZOT_WCHAR* path);
int32_t ZOTAPI ZOT_DeleteFile(const char* path);

/* Ring: show a text on the terminal. */
int32_t ZOTAPI ZOT_RingW(const ZOT_WCHAR* text);
int32_t ZOTAPI ZOT_Ring(const char* text);

/* Whole files. A path whose first three characters are "ZOT" names the terminal ("ZOT:\name"),
 * any other path the PC. An existing destination is replaced. */
int32_t ZOTAPI ZOT_CopyFileW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination, int32_t flag);
int32_t ZOTAPI ZOT_CopyFile(const char* source, const char* destination, int32_t flag);
/* Starts the copy on a thread of its own and returns 1, or 0 when a copy is already running
 * or no thread can be started. The outcome arrives in *status (ZOT_COPY_*); writing 1 to
 * *cancel stops the copy after the block in progress. With ZOT_COPY_RESUME in flags a copy
 * that broke off goes on: a destination whose last whole 2048-byte block is the source's at
 * the same place keeps its whole blocks and the copy continues after them; any other
 * destination is copied anew, and one that cannot be read back is left as it is (102). */
#define ZOT_COPY_RESUME 0x2
/* flags: a whole copy gets its source's modification time where both ends keep times. */
#define ZOT_COPY_KEEP_TIME 0x4
int32_t ZOTAPI ZOT_CopyFileExW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination,
                               int32_t reserved, int32_t* status, int32_t* cancel, int32_t flags);
int32_t ZOTAPI ZOT_CopyFileEx(const char* source, const char* destination, int32_t reserved,
                              int32_t* status, int32_t* cancel, int32_t flags);
int32_t ZOTAPI ZOT_MoveFileW(const ZOT_WCHAR* source, const ZOT_WCHAR* destination);
int32_t ZOTAPI ZOT_MoveFile(const char* source, const char* destination);

#ifdef __cplusplus
}
#endif

#endif /* ZOTLINK_H */
