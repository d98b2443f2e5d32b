// The exported C functions: each checks its handle, calls the pipe and returns its code.
// Pipe operations are noexcept, so nothing thrown inside can cross into a C caller.
#include <IDriftUartPipe.h>

#include "CDriftUartPipe.h"
#include "system_error.h"

namespace {

constexpr int32_t kNullHandle = -3;
constexpr int32_t kOpenCloseFailed = -4;

CDriftUartPipe* FromHandle(DriftUartPipe* handle) {
    return reinterpret_cast<CDriftUartPipe*>(handle);
}

DriftUartPipe* ToHandle(CDriftUartPipe* pipe) {
    return reinterpret_cast<DriftUartPipe*>(pipe);
}

}  // namespace

extern "C" {

DriftUartPipe* InitUartPipeExt(void) {
    return ToHandle(CDriftUartPipe::Create());
}
DriftUartPipe* InitUartPipe(void) {
    return InitUartPipeExt();
}

int32_t UnInitUartPipeExt(DriftUartPipe* pipe) {
    if (!pipe) return kNullHandle;
    delete FromHandle(pipe);
    return 0;
}
int32_t UnInitUartPipe(DriftUartPipe* pipe) {
    return UnInitUartPipeExt(pipe);
}

int32_t SetUartIntParamExt(DriftUartPipe* pipe, int32_t port, int32_t baud, int32_t byteSize,
                           int32_t parity, int32_t stopBits) {
    if (!pipe) return kNullHandle;
    FromHandle(pipe)->SetPortParams(port, baud, byteSize, parity, stopBits);
    return 0;
}
int32_t SetUartIntParam(DriftUartPipe* pipe, int32_t port, int32_t baud, int32_t byteSize,
                        int32_t parity, int32_t stopBits) {
    return SetUartIntParamExt(pipe, port, baud, byteSize, parity, stopBits);
}

int32_t SetUartCharParamExt(DriftUartPipe* pipe, const char* device, int32_t baud, int32_t byteSize,
                            int32_t parity, int32_t stopBits) {
    if (!pipe) return kNullHandle;
    return FromHandle(pipe)->SetDeviceParams(device, baud, byteSize, parity, stopBits);
}
int32_t SetUartCharParam(DriftUartPipe* pipe, const char* device, int32_t baud, int32_t byteSize,
                         int32_t parity, int32_t stopBits) {
    return SetUartCharParamExt(pipe, device, baud, byteSize, parity, stopBits);
}

int32_t OpenUartPipeExt(DriftUartPipe* pipe) {
    if (!pipe) return kNullHandle;
    // The UART left why a failed open failed in the system's last error.
    return FromHandle(pipe)->Open() == 0 ? 0 : kOpenCloseFailed;
}
int32_t OpenUartPipe(DriftUartPipe* pipe) {
    return OpenUartPipeExt(pipe);
}

int32_t CloseUartPipeExt(DriftUartPipe* pipe) {
    if (!pipe) return kNullHandle;
    return FromHandle(pipe)->Close() == 0 ? 0 : kOpenCloseFailed;
}
int32_t CloseUartPipe(DriftUartPipe* pipe) {
    return CloseUartPipeExt(pipe);
}

int32_t WriteUartPipeExt(DriftUartPipe* pipe, const void* data, int32_t length, int32_t timeoutMs) {
    if (!pipe) return kNullHandle;
    return FromHandle(pipe)->Write(data, length, timeoutMs);
}
int32_t WriteUartPipe(DriftUartPipe* pipe, const void* data, int32_t length, int32_t timeoutMs) {
    return WriteUartPipeExt(pipe, data, length, timeoutMs);
}

int32_t ReadUartPipeExt(DriftUartPipe* pipe, void* buffer, int32_t length, int32_t timeoutMs) {
    if (!pipe) return kNullHandle;
    const int32_t rc = FromHandle(pipe)->Read(buffer, length, timeoutMs);
    if (rc == CDriftUartPipe::kNothingRead) qs::SetLastSystemError(0);
    return rc;
}
int32_t ReadUartPipe(DriftUartPipe* pipe, void* buffer, int32_t length, int32_t timeoutMs) {
    return ReadUartPipeExt(pipe, buffer, length, timeoutMs);
}

DriftUartPipe* OpenDriftUartPipe(int32_t port, int32_t baud) {
    CDriftUartPipe* pipe = CDriftUartPipe::Create();
    if (!pipe) return nullptr;
    pipe->SetPortParams(port, baud, 8, 0, 1);
    if (pipe->Open() != 0) {
        const int why = qs::LastSystemError();
        delete pipe;
        qs::SetLastSystemError(why);
        return nullptr;
    }
    return ToHandle(pipe);
}

void CloseDriftUartPipe(DriftUartPipe* pipe) {
    if (!pipe) return;
    FromHandle(pipe)->Close();
    delete FromHandle(pipe);
}

}  // extern "C"
