// The request engine and the remote calls fed arbitrary replies from a scripted terminal:
// nothing may crash, overrun a caller's buffer or hang. The engine runs on a manual clock, so
// its time-outs take no real time.
#include <cstdint>
#include <cstring>
#include <memory>

#include "memory_port.h"
#include "remote_app.h"
#include "remote_calls.h"

using namespace zot;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CManualClock clock;
    auto owned = std::make_unique<zotfuzz::MemoryPort>(data, size, clock);
    zotfuzz::MemoryPort* port = owned.get();
    CRemoteApp app(clock);
    if (!app.Link().OpenPort(std::move(owned), false)) return 0;
    app.Link().SetCompression(size % 2 == 0);
    FindRecord find;
    uint8_t buffer[3000];
    uint32_t n = 0, a = 0, b = 0, c = 0;
    // Each call consumes replies from the script; stop once it runs dry.
    for (int round = 0; round < 64 && !port->Exhausted(); ++round) {
        switch (round % 12) {
            case 0: {
                VersionInfo v;
                calls::GetVersion(app, &v);
                break;
            }
            case 1: {
                const int32_t h = calls::FindFirstFile(app, "ZOT:\\*.*", &find);
                if (h != -1) calls::FindNextFile(app, h, &find);
                break;
            }
            case 2:
                calls::ReadFile(app, 5, buffer, sizeof buffer, &n);
                if (n > sizeof buffer) __builtin_trap();
                break;
            case 3:
                calls::WriteFile(app, 5, buffer, 2500, &n);
                if (n > 2500) __builtin_trap();
                break;
            case 4:
                calls::GetFileTime(app, 5, &a, &b, &c);
                break;
            case 5:
                calls::SetFilePosToPre(app, 5, 9, &a);
                break;
            case 6: {
                StoreInfo s;
                calls::GetStoreInformation(app, &s, 1);
                break;
            }
            case 7: {
                SystemInfo s;
                calls::GetSystemInfo(app, &s);
                break;
            }
            case 8:
                calls::GetFileAttributes(app, "ZOT:\\a");
                break;
            case 9:
                calls::OpenFile(app, "ZOT:\\a", 2);
                break;
            case 10: {
                uint32_t fileSize = 0;
                calls::GetFileSize(app, 5, &fileSize);
                break;
            }
            case 11:
                calls::SetFileTime(app, 5, &a, nullptr, &c);
                break;
        }
    }
    app.LumoUninit();
    return 0;
}
