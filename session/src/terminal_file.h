#pragma once
// The terminal end of a copy, over the remote file calls. Paths are in the wire code page,
// prefix included.
#include <memory>
#include <string>

#include "block_copy.h"
#include "remote_app.h"

namespace zot {

class CTerminalFile final : public copy::IFileEnd {
  public:
    // Opened for reading with its size; null when it cannot be opened or its size read.
    static std::unique_ptr<CTerminalFile> OpenSource(CRemoteApp& app, const std::string& path);
    // A new file; an existing one is deleted and created once more. Null on failure.
    static std::unique_ptr<CTerminalFile> CreateDestination(CRemoteApp& app,
                                                            const std::string& path);

    // An existing file for reading and writing on from where it ends (Size() is its present
    // length), to go on with a copy that broke off. Null when it cannot be opened.
    static std::unique_ptr<CTerminalFile> OpenToContinue(CRemoteApp& app, const std::string& path);

    ~CTerminalFile() override;
    CTerminalFile(const CTerminalFile&) = delete;
    CTerminalFile& operator=(const CTerminalFile&) = delete;

    size_t Read(uint8_t* buffer, size_t n) override;
    size_t Write(const uint8_t* data, size_t n, const uint8_t* next, size_t nextLength) override;
    uint64_t Size() const override { return m_size; }
    bool SeekTo(uint64_t offset) override;
    uint32_t ModifiedTime() override;
    bool SetModifiedTime(uint32_t seconds) override;

  private:
    CTerminalFile(CRemoteApp& app, int32_t handle, uint64_t size)
        : m_app(app), m_handle(handle), m_size(size) {}

    CRemoteApp& m_app;
    int32_t m_handle;
    uint64_t m_size;
};

}  // namespace zot
