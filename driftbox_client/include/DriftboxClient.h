/*
 * DriftboxClient.h - client of the terminal's file server, one connection per handle.
 *
 * Return values
 *   Start functions return a connection handle, 0 when the line cannot be opened or no
 *   terminal answers (the int they are given receives an error code: 0 ok, 1 no such port,
 *   2 port cannot be opened, 3 no answer). Request functions return 0 for success unless their
 *   comment says otherwise; an unknown handle fails.
 *   A request that got no answer leaves ENODEV (the device went away) or ETIMEDOUT (a quiet
 *   terminal) in errno (Windows: ERROR_DEVICE_NOT_CONNECTED, ERROR_TIMEOUT), one that got an
 *   answer 0.
 *   Transfers are synchronous and report through the caller's status word: 0..100 while
 *   running, then 100 success, 101 communication interrupted, 102 error reading the source,
 *   103 error writing the target, 104 cancelled, 105 the target cannot be created.
 *
 * Thread safety
 *   Different handles are independent. Calls on one handle must not overlap; the status word
 *   may be polled and the cancel flag set (to 1) from another thread while a transfer runs:
 *   both are accessed atomically.
 *
 * Names
 *   Device names are bare file names on the terminal. Local paths and device names are in
 *   the locale's charset; names travel to the terminal in the wire code page
 *   (ZOTLINK_CODEPAGE, default the locale's charset).
 *
 * Ports
 *   COM port n is the device in environment variable COMn, else the entry COMn of group
 *   [Ports] in $XDG_CONFIG_HOME/Corvale/ports.conf (~/.config/...), else /dev/ttyS(n-1). USB
 *   is the device in DRIFTBOX_USB, else that file's entry USB, else the first /dev/ttyACM*.
 *
 * Tracing
 *   ZOTLINK_TRACE=1 prints one line per request and reply on stderr.
 */
#ifndef DRIFTBOX_CLIENT_H
#define DRIFTBOX_CLIENT_H

#include <stdint.h>

#ifdef _WIN32
#define DBAPI __stdcall
#else
#define DBAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One directory entry, 1064 bytes; zero it before the first call. */
typedef struct DRIFTBOX_FIND_DATA {
    uint32_t dwAttributes; /* 0x10 directory */
    uint32_t dwReserved[3];
    int64_t llTimeMs; /* modification, ms since 1970-01-01 00:00 UTC; 0 none */
    uint64_t ullSize; /* bytes */
    uint32_t dwReserved2;
    char szName[1028]; /* NUL-terminated */
} DRIFTBOX_FIND_DATA;

/* System information, 156 bytes: set dwSize to 156 and zero the rest before the call. */
typedef struct DRIFTBOX_SYSTEM_INFO {
    uint32_t dwSize;
    uint8_t reserved[88];
    char szServerDescription[64]; /* at byte 92, NUL-terminated */
} DRIFTBOX_SYSTEM_INFO;

/* A failed start leaves errno (Windows: GetLastError()) telling why: the open's own error when
 * the port did not open (ENOENT no such port, EACCES not allowed, EBUSY in use, EINVAL the
 * speed refused; ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED...), or 0 when it opened and no
 * terminal answered (*error 3). */
int32_t DBAPI DriftboxClient_COM_Start(int32_t* error, int32_t port, int32_t baudRate);
int32_t DBAPI DriftboxClient_USB_Start(int32_t* error);
void DBAPI DriftboxClient_ShutDown(int32_t handle, int32_t port);

/* Fills buffer (100 bytes) with the server's version text; 0 on success. */
int32_t DBAPI RequestGetServerVersion(int32_t handle, char* buffer);
int32_t DBAPI RequestGetSystemInfo(int32_t handle, DRIFTBOX_SYSTEM_INFO* info);

/* 100 when the first entry matching pattern (e.g. "*.*") was stored. */
int32_t DBAPI RequestFindFileOpenExt(int32_t handle, const char* pattern, DRIFTBOX_FIND_DATA* data);
/* 0 when the next entry was stored, nonzero at the end. */
int32_t DBAPI RequestFindFileNextExt(int32_t handle, DRIFTBOX_FIND_DATA* data);
void DBAPI RequestFindFileCloseExt(int32_t handle);

/* Copies a local file to the terminal (Send) or back (Receive); an existing target is
 * replaced. 0 when the transfer ran; its outcome is in *status. Writing 1 to *cancel stops it
 * after the block in progress. flags: DRIFTBOX_TRANSFER_RESUME goes on with a transfer that
 * broke off (a target whose last whole 2048-byte block is the source's at the same place keeps
 * its whole blocks; any other is copied anew, one that cannot be read back is left as it is);
 * DRIFTBOX_TRANSFER_KEEP_TIME gives a whole copy its source's modification time where both
 * ends keep times. */
#define DRIFTBOX_TRANSFER_RESUME 0x2
#define DRIFTBOX_TRANSFER_KEEP_TIME 0x4
int32_t DBAPI RequestSendFileExt(int32_t handle, const char* localPath, const char* deviceName,
                                 int32_t* status, int32_t reserved, int32_t* cancel, int32_t flags);
int32_t DBAPI RequestReceiveFileExt(int32_t handle, const char* deviceName, const char* localPath,
                                    int32_t* status, int32_t reserved, int32_t* cancel,
                                    int32_t flags);

int32_t DBAPI RequestDeleteFileExt(int32_t handle, const char* deviceName);
/* Free and total bytes of the store; 0 on success. */
int32_t DBAPI RequestGetFileSystemFreeExt(int32_t handle, int64_t* bytes);
int32_t DBAPI RequestGetFileSystemTotalExt(int32_t handle, int64_t* bytes);

#ifdef __cplusplus
}
#endif

#endif /* DRIFTBOX_CLIENT_H */
