#pragma once

// A two-way byte pipe. The order of the virtual functions is part of the object's layout.
class IDriftPipe {
  public:
    virtual int Write(const void* data, int length, int timeoutMs) noexcept = 0;
    virtual int Read(void* buffer, int length, int timeoutMs) noexcept = 0;
    virtual ~IDriftPipe() = default;
};
