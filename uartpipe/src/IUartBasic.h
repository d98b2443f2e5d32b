#pragma once

// A serial port opened by number or device name, with its line format and byte I/O.
// Operations report failure by small negative codes and never throw. The order of the
// virtual functions is part of the object's layout and stays fixed.
class IUartBasic {
  public:
    enum Code : int {
        kOk = 0,
        kIoFailed = -1,
        kNoMemory = -2,
        kNoEvent = -3,
        kBadArgument = -4,
        kNotOpen = -5,
        kOpenFailed = -10,
        kNoSuchDevice = -11,
        kDeviceInUse = -12,
        kAlreadyOpen = -13,
        kFormatRefused = -22,
    };

    // Destroys the object; the only way callers give it up.
    virtual void Release() noexcept = 0;
    virtual int NoOp() noexcept = 0;
    virtual int OpenPort(int port, int baud, int byteSize, int parity, int stopBits) noexcept = 0;
    virtual int OpenDevice(const char* name, int baud, int byteSize, int parity,
                           int stopBits) noexcept = 0;
    // Gives the device back the settings it had before the open.
    virtual void Close() noexcept = 0;
    virtual int SetFormat(int baud, int byteSize, int parity, int stopBits) noexcept = 0;
    // 0 once every byte has been handed to the port, -1 otherwise.
    virtual int Write(const void* data, int length) noexcept = 0;
    // length < 0: one read of up to |length| bytes; length >= 0: fill the buffer.
    // timeoutMs 0: what is buffered; > 0: until no byte came for that long; -1: the full count.
    virtual int Read(void* buffer, int length, int timeoutMs) noexcept = 0;
    virtual bool HasInput() noexcept = 0;
    virtual ~IUartBasic() = default;
};

// Makes the platform's UART. Sets *error to 0, or to -2 when the object cannot be allocated
// and to a construction failure code otherwise; returns null whenever *error is non-zero.
IUartBasic* CreateUartBasic(int* error) noexcept;
