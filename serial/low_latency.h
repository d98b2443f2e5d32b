#pragma once

namespace qs {

// Many USB serial adapters hold received bytes up to 16 ms before passing them on, which a
// stop-and-wait protocol pays on every exchange. Their drivers drop that to 1 ms in
// low-latency mode.
struct LowLatency {
    bool changed = false;  // the mode was switched on by SetLowLatency and is to be undone
    int savedFlags = 0;
};

// Asks the driver of the tty fd for low-latency mode. Drivers without the setting (ptys,
// many UARTs) refuse, and that is fine: nothing changes and state.changed stays false.
void SetLowLatency(int fd, LowLatency* state);

// Puts back what SetLowLatency changed, before the descriptor is closed.
void RestoreLowLatency(int fd, LowLatency* state);

}  // namespace qs
