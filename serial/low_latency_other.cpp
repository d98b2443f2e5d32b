// Systems without the Linux serial driver interface: no low-latency switch to ask for.
#include "low_latency.h"

namespace qs {

void SetLowLatency(int, LowLatency* state) {
    state->changed = false;
}
void RestoreLowLatency(int, LowLatency* state) {
    state->changed = false;
}

}  // namespace qs
