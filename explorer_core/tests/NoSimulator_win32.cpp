// Under Wine the simulator runs outside the test (CSimFixture_win32.cpp), so there is none to
// drive in-process. The suites still name its calls; these bodies stand in for them and are
// never reached, because a test that drives the simulator is skipped there first.
#include "simulator.h"

namespace zotsim {

struct CSimulator::Impl {};

CSimulator::CSimulator(Options) {}
CSimulator::~CSimulator() = default;
bool CSimulator::OpenPty(const std::string&) {
    return false;
}
bool CSimulator::OpenDevice(const std::string&, int) {
    return false;
}
const std::string& CSimulator::SlavePath() const {
    static const std::string none;
    return none;
}
bool CSimulator::Start() {
    return false;
}
void CSimulator::Stop() {}
void CSimulator::Serve(const std::atomic<bool>&) {}
void CSimulator::AddFault(const Fault&) {}
void CSimulator::ClearFaults() {}
std::vector<RequestRecord> CSimulator::Requests() const {
    return {};
}
uint32_t CSimulator::RequestCount() const {
    return 0;
}
void CSimulator::Unplug() {}
bool CSimulator::Replug() {
    return false;
}
uint64_t CSimulator::BytesReceived() const {
    return 0;
}
uint64_t CSimulator::BytesSent() const {
    return 0;
}
uint64_t CSimulator::BitsFlipped() const {
    return 0;
}

}  // namespace zotsim
