#include "IDeviceBackend.h"

#include "CJobPump.h"

IDeviceBackend::~IDeviceBackend() = default;

bool IDeviceBackend::Stat(const QString& devicePath, Entry* entry) {
    const QString name = devicePath.mid(devicePath.lastIndexOf(QLatin1Char('\\')) + 1);
    bool found = false;
    List(devicePath, [&](const Entry& e) {
        found = e.name == name;
        if (found) *entry = e;
        return !found;
    });
    return found;
}

void IDeviceBackend::SetLinkObserver(std::function<void(bool up)> observer) {
    // Made before any worker runs and never changed while one does: workers only read it.
    m_observer =
        observer ? std::make_shared<std::function<void(bool)>>(std::move(observer)) : nullptr;
    CJobPump::Instance();
}

void IDeviceBackend::NoteLink(bool up) {
    const Link now = up ? Link::Up : Link::Down;
    if (m_link.exchange(now, std::memory_order_acq_rel) == now) return;
    if (!m_observer) return;
    // Queued even from the user-interface thread: the caller may hold the gate.
    CJobPump::Instance()->Queue([observer = m_observer, up] { (*observer)(up); });
}
