#include "command_handler.h"

#include <cstdio>
#include <optional>

#include "protocol.h"

namespace zotsim {
namespace {

// Values of the records the PC copies without reading; any fixed values do.
constexpr uint32_t kVersion[3] = {4, 2, 1};
constexpr uint32_t kMemoryLoadPercent = 25;
constexpr uint32_t kMemoryTotal = 64u << 20;
constexpr uint32_t kMemoryAvailable = 48u << 20;
constexpr size_t kPowerStatusSize = 24;
constexpr size_t kSystemInfoSize = 80;
constexpr size_t kServerNameField = 64;  // name, NUL-terminated, at the start of the record
constexpr uint32_t kPageSize = 4096;

// Takes request fields in order; once a field is missing every later one reads as absent.
class CRequestReader {
  public:
    CRequestReader(const uint8_t* data, size_t length) : m_data(data), m_length(length) {}

    std::optional<uint32_t> U32() {
        const uint8_t* p = Bytes(4);
        return p ? std::optional<uint32_t>(zot::GetU32(p)) : std::nullopt;
    }
    // One length byte, then that many bytes.
    std::optional<std::string> Path() {
        const uint8_t* n = Bytes(1);
        if (!n) return std::nullopt;
        const uint8_t* p = Bytes(*n);
        return p ? std::optional<std::string>(std::string(reinterpret_cast<const char*>(p), *n))
                 : std::nullopt;
    }
    const uint8_t* Bytes(size_t count) {
        if (m_failed || m_length - m_pos < count) {
            m_failed = true;
            return nullptr;
        }
        const uint8_t* p = m_data + m_pos;
        m_pos += count;
        return p;
    }

  private:
    const uint8_t* m_data;
    size_t m_length;
    size_t m_pos = 0;
    bool m_failed = false;
};

void Put32(std::vector<uint8_t>* out, uint32_t v) {
    uint8_t b[4];
    zot::PutU32(b, v);
    out->insert(out->end(), b, b + 4);
}

void PutFindRecord(std::vector<uint8_t>* out, const FindEntry& entry) {
    uint8_t record[zot::kFindRecordSize] = {};
    zot::PutU32(record + 0, entry.attributes);
    zot::PutU32(record + 12, entry.time);
    zot::PutU32(record + 16, entry.size);
    // Longer names are cut to fit, keeping the terminating NUL.
    const size_t n = std::min(entry.name.size(), zot::kFindNameSize - 1);
    std::copy_n(entry.name.data(), n, record + zot::kFindNameOffset);
    out->insert(out->end(), record, record + sizeof record);
}

}  // namespace

CCommandHandler::CCommandHandler(const Options& options)
    : m_store(options.root, options.nameLimit),
      m_serverName(options.serverName),
      m_storeSize(options.storeSize),
      m_log(options.log) {}

bool CCommandHandler::NextReadReply(const uint8_t* data, size_t length,
                                    std::vector<uint8_t>* reply) {
    reply->clear();
    CRequestReader in(data, length);
    const auto handle = in.U32();
    const auto count = in.U32();
    std::vector<uint8_t> bytes;
    if (!handle || !count || *count == 0 || *count > zot::kMaxBlock ||
        !m_store.Peek(*handle, *count, &bytes) || bytes.size() != *count)
        return false;
    Put32(reply, *count);
    reply->insert(reply->end(), bytes.begin(), bytes.end());
    Put32(reply, 1);
    return true;
}

bool CCommandHandler::Handle(uint16_t command, uint16_t sequence, const uint8_t* data,
                             size_t length, std::vector<uint8_t>* reply) {
    reply->clear();
    CRequestReader in(data, length);
    switch (command) {
        case zot::kGetVersion:
            for (uint32_t v : kVersion) Put32(reply, v);
            return true;
        case zot::kGlobalMemoryStatus:
            Put32(reply, kMemoryLoadPercent);
            Put32(reply, kMemoryTotal);
            Put32(reply, kMemoryAvailable);
            return true;
        case zot::kGetSystemPowerStatus:
            reply->assign(kPowerStatusSize, 0);
            (*reply)[0] = 1;                                // on external power
            (*reply)[1] = 1;                                // battery high
            (*reply)[2] = 100;                              // percent charged
            zot::PutU32(reply->data() + 4, kInvalidValue);  // time left: unknown
            zot::PutU32(reply->data() + 8, kInvalidValue);  // full time: unknown
            return true;
        case zot::kGetStoreInformation: {
            const uint64_t used = m_store.BytesUsed();
            const uint64_t freeBytes = used < m_storeSize ? m_storeSize - used : 0;
            Put32(reply, static_cast<uint32_t>(std::min<uint64_t>(m_storeSize, 0xFFFFFFFF)));
            Put32(reply, static_cast<uint32_t>(std::min<uint64_t>(freeBytes, 0xFFFFFFFF)));
            return true;
        }
        case zot::kGetSystemInfo: {
            reply->assign(kSystemInfoSize, 0);
            const size_t n = std::min(m_serverName.size(), kServerNameField - 1);
            std::copy_n(m_serverName.data(), n, reply->data());
            zot::PutU32(reply->data() + kServerNameField, kPageSize);
            zot::PutU32(reply->data() + kServerNameField + 4, 1);  // processors
            return true;
        }
        case zot::kFindFirstFile: {
            FindEntry entry;
            const auto path = in.Path();
            const uint32_t handle = path ? m_store.FindFirst(*path, &entry) : 0;
            PutFindRecord(reply, entry);
            Put32(reply, handle);
            return true;
        }
        case zot::kFindNextFile: {
            FindEntry entry;
            const auto handle = in.U32();
            const bool found = handle && m_store.FindNext(*handle, &entry);
            PutFindRecord(reply, entry);
            Put32(reply, found ? 1 : 0);
            return true;
        }
        case zot::kFindClose: {
            const auto handle = in.U32();
            Put32(reply, handle && m_store.FindClose(*handle) ? 1 : 0);
            return true;
        }
        case zot::kGetFileAttributes: {
            const auto path = in.Path();
            Put32(reply, path ? m_store.GetAttributes(*path) : kInvalidValue);
            return true;
        }
        case zot::kSetFileAttributes: {
            const auto path = in.Path();
            const auto attributes = in.U32();
            Put32(reply, attributes && m_store.SetAttributes(*path, *attributes) ? 1 : 0);
            return true;
        }
        case zot::kCreateFile: {
            // The access value is not needed: a created file is always open for both.
            const auto path = in.Path();
            const auto access = in.U32();
            Put32(reply, access ? m_store.CreateFile(*path) : kInvalidValue);
            return true;
        }
        case zot::kOpenFile: {
            const auto path = in.Path();
            const auto mode = in.U32();
            Put32(reply, mode ? m_store.OpenFile(*path, *mode) : kInvalidValue);
            return true;
        }
        case zot::kReadFile: {
            const auto handle = in.U32();
            const auto count = in.U32();
            std::vector<uint8_t> bytes;
            const bool ok = count && *count <= zot::kMaxBlock &&
                            m_store.Read(*handle, sequence, *count, &bytes);
            Put32(reply, static_cast<uint32_t>(bytes.size()));
            reply->insert(reply->end(), bytes.begin(), bytes.end());
            Put32(reply, ok ? 1 : 0);
            return true;
        }
        case zot::kWriteFile: {
            const auto handle = in.U32();
            const auto count = in.U32();
            const uint8_t* bytes = count && *count <= zot::kMaxBlock ? in.Bytes(*count) : nullptr;
            uint32_t written = 0;
            const bool ok = bytes && m_store.Write(*handle, sequence, bytes, *count, &written);
            Put32(reply, written);
            Put32(reply, ok ? 1 : 0);
            return true;
        }
        case zot::kCloseFile: {
            const auto handle = in.U32();
            Put32(reply, handle && m_store.CloseFile(*handle) ? 1 : 0);
            return true;
        }
        case zot::kSetFilePointer: {
            const auto handle = in.U32();
            const auto distance = in.U32();
            const auto method = in.U32();
            Put32(reply, method ? m_store.Seek(*handle, static_cast<int32_t>(*distance), *method)
                                : kInvalidValue);
            return true;
        }
        case zot::kSetEndOfFile: {
            const auto handle = in.U32();
            Put32(reply, handle && m_store.SetEndOfFile(*handle) ? 1 : 0);
            return true;
        }
        case zot::kCreateDirectory: {
            const auto path = in.Path();
            Put32(reply, path && m_store.CreateDirectory(*path) ? 1 : 0);
            return true;
        }
        case zot::kRemoveDirectory: {
            const auto path = in.Path();
            Put32(reply, path && m_store.RemoveDirectory(*path) ? 1 : 0);
            return true;
        }
        case zot::kDeleteFile: {
            const auto path = in.Path();
            Put32(reply, path && m_store.DeleteFile(*path) ? 1 : 0);
            return true;
        }
        case zot::kGetFileSize: {
            const auto handle = in.U32();
            Put32(reply, handle ? m_store.FileSize(*handle) : kInvalidValue);
            return true;
        }
        case zot::kGetFileTime: {
            const auto handle = in.U32();
            uint32_t times[3] = {};
            const bool ok = handle && m_store.FileTimes(*handle, times);
            for (uint32_t t : times) Put32(reply, t);
            Put32(reply, ok ? 1 : 0);
            return true;
        }
        case zot::kSetFileTime: {
            const auto handle = in.U32();
            uint32_t times[3] = {};
            bool ok = handle.has_value();
            for (uint32_t& t : times) {
                const auto v = in.U32();
                ok = ok && v;
                t = v.value_or(0);
            }
            Put32(reply, ok && m_store.SetFileTimes(*handle, times) ? 1 : 0);
            return true;
        }
        case zot::kSetFilePosToPre: {
            const auto handle = in.U32();
            const auto earlier = in.U32();
            // Sequence numbers are 16-bit; the request carries one zero-extended.
            Put32(reply, earlier && *earlier <= 0xFFFF &&
                                 m_store.RewindTo(*handle, static_cast<uint16_t>(*earlier))
                             ? 1
                             : 0);
            return true;
        }
        case zot::kRing: {
            const auto n = in.U32();
            const uint8_t* text = n ? in.Bytes(*n) : nullptr;
            if (text) Ring(std::string(reinterpret_cast<const char*>(text), *n));
            Put32(reply, text ? 1 : 0);
            return true;
        }
        default:
            return false;
    }
}

void CCommandHandler::Ring(const std::string& text) const {
    if (!m_log) return;
    // The text comes from the line; control bytes must not drive the user's terminal.
    std::string shown = text;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    std::fprintf(stderr, "zotsim: ring \"%s\"\n", shown.c_str());
}

}  // namespace zotsim
