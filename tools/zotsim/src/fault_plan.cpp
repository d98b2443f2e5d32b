#include "fault_plan.h"

#include <algorithm>

namespace zotsim {

void CFaultPlan::Add(const Fault& fault) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(fault);
}

void CFaultPlan::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
    m_silent = false;
    m_silentUntil = {};
}

FaultActions CFaultPlan::Take(uint32_t request, uint16_t command) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto now = m_clock.Now();
    FaultActions actions;
    for (Fault& fault : m_faults) {
        const bool matches =
            fault.request != 0 ? fault.request == request
                               : fault.count > 0 && (fault.command < 0 || fault.command == command);
        if (!matches) continue;
        if (fault.request == 0) --fault.count;
        switch (fault.kind) {
            case Fault::Kind::kDrop:
                actions.drop = true;
                break;
            case Fault::Kind::kDelay:
                actions.delayMs += std::max(fault.delayMs, 0);
                break;
            case Fault::Kind::kStale:
                actions.stale = true;
                break;
            case Fault::Kind::kCorrupt:
                actions.corrupt = true;
                break;
            case Fault::Kind::kWrongLength:
                actions.wrongLength = true;
                break;
            case Fault::Kind::kSilence:
                if (fault.delayMs > 0)
                    m_silentUntil = now + std::chrono::milliseconds(fault.delayMs);
                else
                    m_silent = true;
                break;
        }
    }
    // Faults tied to one ordinal or used up can never match again.
    std::erase_if(m_faults, [&](const Fault& f) {
        return (f.request != 0 && f.request <= request) || (f.request == 0 && f.count <= 0);
    });
    if (m_silent || now < m_silentUntil) actions.drop = true;
    return actions;
}

}  // namespace zotsim
