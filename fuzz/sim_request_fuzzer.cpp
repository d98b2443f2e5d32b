// The simulator's request handling fed arbitrary requests against a fresh folder: nothing may
// crash, and nothing may appear outside the folder it serves.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "command_handler.h"
#include "protocol.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path base = [] {
        char tmpl[] = "/tmp/zotsim-fuzz-XXXXXX";
        return fs::path(mkdtemp(tmpl));
    }();
    const fs::path root = base / "root";
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(root / "sub");
    {
        FILE* f = std::fopen((root / "a.txt").c_str(), "w");
        std::fputs("0123456789", f);
        std::fclose(f);
    }
    zotsim::Options options;
    options.root = root.string();
    zotsim::CCommandHandler handler(options);
    std::vector<uint8_t> reply;
    // Requests: [command][len lo][len hi][len bytes of data] ...
    size_t pos = 0;
    uint16_t sequence = 0;
    while (pos + 3 <= size) {
        const uint16_t command = data[pos] % 26;
        size_t length = zot::GetU16(data + pos + 1);
        pos += 3;
        if (length > size - pos) length = size - pos;
        handler.Handle(command, ++sequence, data + pos, length, &reply);
        if (reply.size() > zot::kMaxData) __builtin_trap();
        pos += length;
    }
    // The folder served is the only thing that may have changed.
    for (const auto& e : fs::directory_iterator(base))
        if (e.path() != root) __builtin_trap();
    return 0;
}
