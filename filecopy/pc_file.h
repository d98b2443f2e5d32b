#pragma once
// The PC end of a copy, one implementation per platform (pc_file_posix.cpp, ...). Paths are in
// the file system's encoding.
#include <memory>
#include <string>

#include "block_copy.h"

namespace zot::copy {

class CPcFile final : public IFileEnd {
  public:
    // A regular file opened for reading; null for anything else (a folder, a named pipe, a
    // device), found out without waiting on it.
    static std::unique_ptr<CPcFile> OpenSource(const std::string& path);
    // A new file for writing; an existing file is replaced, never a folder. Null on failure.
    static std::unique_ptr<CPcFile> CreateDestination(const std::string& path);
    // An existing regular file for reading and writing on from where it ends (Size() is its
    // present length), to go on with a copy that broke off. Null when there is none.
    static std::unique_ptr<CPcFile> OpenToContinue(const std::string& path);
    // Deletes a file (not a folder); true on success.
    static bool Remove(const std::string& path);

    ~CPcFile() override;
    CPcFile(const CPcFile&) = delete;
    CPcFile& operator=(const CPcFile&) = delete;

    // Reads and writes loop until all is moved or the system fails. A destination skips over
    // whole blocks of zeros, so that a sparse source stays sparse; where the system tells a
    // source's holes, a block inside one reads as zeros without asking the system for them.
    size_t Read(uint8_t* buffer, size_t n) override;
    size_t Write(const uint8_t* data, size_t n, const uint8_t* next, size_t nextLength) override;
    uint64_t Size() const override { return m_size; }
    // Gives a destination that ends in skipped zeros its full length.
    bool Finish() override;
    bool SeekTo(uint64_t offset) override;
    uint32_t ModifiedTime() override;
    bool SetModifiedTime(uint32_t seconds) override;

  private:
    CPcFile(intptr_t handle, uint64_t size) : m_handle(handle), m_size(size) {}
    // Learns the stretch that the read position lies in.
    void Probe();

    intptr_t m_handle;
    uint64_t m_size;
    uint64_t m_written = 0;
    bool m_holeAtEnd = false;
    // A source's read position and what it knows of the stretch it lies in: a hole or data,
    // ending at m_stretchEnd. Platforms that cannot tell holes read everything.
    uint64_t m_read = 0;
    uint64_t m_stretchEnd = 0;
    bool m_stretchIsHole = false;
};

}  // namespace zot::copy
