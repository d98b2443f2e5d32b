/*
 * IDriftUartPipe: a byte pipe over one serial port.
 *
 * Return values
 *   Functions returning int32_t give 0 (or, for reads, a positive byte count) on success and a
 *   small negative code on failure:
 *     -1   an I/O call failed, or a write did not transfer every byte
 *     -2   out of memory while storing a device name
 *     -3   null handle
 *     -4   open or close failed (any reason), or a bad argument (null buffer, negative write
 *          length, time-out below -1, parity or stop-bit code not listed below)
 *     -5   the pipe is not open
 *     -22  the pipe was never configured (write, read)
 *     -26  a read with a non-zero length brought no byte
 *   Functions returning a handle give NULL on failure. A handle is valid from the call that
 *   returned it until UnInitUartPipe or CloseDriftUartPipe; NULL is the only handle the library
 *   can recognise as invalid.
 *
 * Line format
 *   parity: 0 none, 1 odd, 2 even. stop bits: 1 one, 2 two, 15 one and a half (no POSIX port
 *   can send 1.5 stop bits, so there it is refused and the open fails). Byte size 5 to 8.
 *
 * Reads (length, time-out in ms)
 *   A negative length reads once, up to |length| bytes; a positive length tries to fill the
 *   buffer. Time-out 0 returns at once with what is buffered; a positive time-out ends the read
 *   when no byte came for that long; -1 waits for the full count. Writes ignore their time-out
 *   and return once every byte has gone to the port.
 *
 * Thread safety
 *   Different pipes are independent. On one pipe, one thread may write while another reads;
 *   every other pair of calls on the same pipe (configure, open, close, destroy, two reads or
 *   two writes) must not overlap.
 *
 * Tracing
 *   None: the library writes nothing anywhere; every outcome is in the return value.
 *
 * Ports
 *   On POSIX, port n is the device named by environment variable COM<n> when it is set, else
 *   the entry COM<n> of group [Ports] in $XDG_CONFIG_HOME/Corvale/ports.conf (~/.config/...),
 *   else /dev/ttyS<n-1>. Ports above 255 do not exist. A device is opened exclusively; its settings
 *   are restored when the pipe is closed.
 */
#ifndef IDRIFTUARTPIPE_H
#define IDRIFTUARTPIPE_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(IDRIFTUARTPIPE_BUILD)
#define IDRIFTUARTPIPE_API /* exported through IDriftUartPipe.def */
#else
#define IDRIFTUARTPIPE_API __declspec(dllimport)
#endif
#elif defined(IDRIFTUARTPIPE_BUILD)
#define IDRIFTUARTPIPE_API __attribute__((visibility("default")))
#else
#define IDRIFTUARTPIPE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque pipe handle. */
typedef struct DriftUartPipe DriftUartPipe;

/* A new pipe, not configured and closed; NULL when it cannot be made. */
IDRIFTUARTPIPE_API DriftUartPipe* InitUartPipe(void);
IDRIFTUARTPIPE_API DriftUartPipe* InitUartPipeExt(void);

/* Closes the pipe if open and destroys it. */
IDRIFTUARTPIPE_API int32_t UnInitUartPipe(DriftUartPipe* pipe);
IDRIFTUARTPIPE_API int32_t UnInitUartPipeExt(DriftUartPipe* pipe);

/* Selects port number `port` for the next open. */
IDRIFTUARTPIPE_API int32_t SetUartIntParam(DriftUartPipe* pipe, int32_t port, int32_t baud,
                                           int32_t byteSize, int32_t parity, int32_t stopBits);
IDRIFTUARTPIPE_API int32_t SetUartIntParamExt(DriftUartPipe* pipe, int32_t port, int32_t baud,
                                              int32_t byteSize, int32_t parity, int32_t stopBits);

/* Selects the device `device` for the next open. The name is copied. */
IDRIFTUARTPIPE_API int32_t SetUartCharParam(DriftUartPipe* pipe, const char* device, int32_t baud,
                                            int32_t byteSize, int32_t parity, int32_t stopBits);
IDRIFTUARTPIPE_API int32_t SetUartCharParamExt(DriftUartPipe* pipe, const char* device,
                                               int32_t baud, int32_t byteSize, int32_t parity,
                                               int32_t stopBits);

/* Opens the configured port; a never-configured pipe opens port 1 at 9600 baud, 8N1.
 * Every failure (missing, in use, refused format, already open) gives -4, with errno
 * (Windows: GetLastError()) telling which: the open's own error (ENOENT no such device,
 * EACCES not allowed, EBUSY in use or already open; ERROR_FILE_NOT_FOUND,
 * ERROR_ACCESS_DENIED...), or EINVAL (ERROR_INVALID_PARAMETER) for a format the port refused
 * or a code not listed. */
IDRIFTUARTPIPE_API int32_t OpenUartPipe(DriftUartPipe* pipe);
IDRIFTUARTPIPE_API int32_t OpenUartPipeExt(DriftUartPipe* pipe);

/* Closes the port; -4 when the pipe was never configured. */
IDRIFTUARTPIPE_API int32_t CloseUartPipe(DriftUartPipe* pipe);
IDRIFTUARTPIPE_API int32_t CloseUartPipeExt(DriftUartPipe* pipe);

/* Sends all `length` bytes; `timeoutMs` is not used. */
IDRIFTUARTPIPE_API int32_t WriteUartPipe(DriftUartPipe* pipe, const void* data, int32_t length,
                                         int32_t timeoutMs);
IDRIFTUARTPIPE_API int32_t WriteUartPipeExt(DriftUartPipe* pipe, const void* data, int32_t length,
                                            int32_t timeoutMs);

/* Reads as described above; the number of bytes read, or a negative code. -26 (nothing
 * came) leaves errno (Windows: GetLastError()) at 0: the port is open and the line quiet. */
IDRIFTUARTPIPE_API int32_t ReadUartPipe(DriftUartPipe* pipe, void* buffer, int32_t length,
                                        int32_t timeoutMs);
IDRIFTUARTPIPE_API int32_t ReadUartPipeExt(DriftUartPipe* pipe, void* buffer, int32_t length,
                                           int32_t timeoutMs);

/* A pipe on port `port` at `baud`, 8N1, already open; NULL on any failure, errno telling
 * why as for OpenUartPipe. */
IDRIFTUARTPIPE_API DriftUartPipe* OpenDriftUartPipe(int32_t port, int32_t baud);

/* Closes and destroys a pipe; NULL is ignored. */
IDRIFTUARTPIPE_API void CloseDriftUartPipe(DriftUartPipe* pipe);

#ifdef __cplusplus
}
#endif

#endif /* IDRIFTUARTPIPE_H */
