#pragma once
// What a call to the terminal came to, as the error the mount answers with.
#include "zot_session.h"

namespace zotfs {

// The negative errno for a call that did not do what was asked. Only a line that is gone (no
// answer after every attempt, or the device went away) is an I/O error: the terminal that
// answered said something, and that is what the error says.
int ErrnoFor(const zot::Status& status);

}  // namespace zotfs
