#pragma once
// A PC file at one end of a copy, one implementation per OS. Paths are the library's wide
// strings: on Windows they go to the wide file API unchanged, on POSIX they become the
// locale's file name bytes.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "codepage.h"

namespace zot {

class CPcFile {
  public:
    // A regular file for reading; null when it cannot be opened (or is a folder).
    static std::unique_ptr<CPcFile> OpenSource(WStringView path);
    // A new file for writing, replacing an existing file (never a folder); null on failure.
    static std::unique_ptr<CPcFile> CreateDestination(WStringView path);
    // Deletes a file; false when it cannot be deleted.
    static bool Delete(WStringView path);

    ~CPcFile();
    CPcFile(const CPcFile&) = delete;
    CPcFile& operator=(const CPcFile&) = delete;

    // Bytes moved; fewer than n only at end of file or on failure.
    size_t Read(uint8_t* buffer, size_t n);
    size_t Write(const uint8_t* data, size_t n);
    // The whole size, 64 bits wide.
    uint64_t Size() const { return m_size; }

  private:
    CPcFile(intptr_t native, uint64_t size) : m_native(native), m_size(size) {}
    // A descriptor on POSIX, a HANDLE on Windows.
    intptr_t m_native;
    uint64_t m_size;
};

}  // namespace zot
