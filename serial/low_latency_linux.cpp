#include <linux/serial.h>
#include <sys/ioctl.h>

#include "low_latency.h"

namespace qs {

void SetLowLatency(int fd, LowLatency* state) {
    state->changed = false;
    serial_struct s{};
    if (::ioctl(fd, TIOCGSERIAL, &s) != 0) return;
    if (s.flags & ASYNC_LOW_LATENCY) return;  // already on: nothing of ours to undo
    state->savedFlags = s.flags;
    s.flags |= ASYNC_LOW_LATENCY;
    // Setting can need privileges the reading did not, on some drivers; refusal is harmless.
    state->changed = ::ioctl(fd, TIOCSSERIAL, &s) == 0;
}

void RestoreLowLatency(int fd, LowLatency* state) {
    if (!state->changed) return;
    state->changed = false;
    serial_struct s{};
    if (::ioctl(fd, TIOCGSERIAL, &s) != 0) return;
    s.flags = (s.flags & ~ASYNC_LOW_LATENCY) | (state->savedFlags & ASYNC_LOW_LATENCY);
    ::ioctl(fd, TIOCSSERIAL, &s);
}

}  // namespace qs
