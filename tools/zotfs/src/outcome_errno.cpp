#include "outcome_errno.h"

#include <cerrno>

namespace zotfs {

int ErrnoFor(const zot::Status& status) {
    switch (status.outcome) {
        case zot::Outcome::kNoAnswer:
            return -EIO;
        // An answer that makes no sense, or one that did not do what was asked (a seek that
        // landed elsewhere).
        case zot::Outcome::kBadReply:
        case zot::Outcome::kDone:
            return -EPROTO;
        case zot::Outcome::kRefused:
            break;
    }
    switch (status.refusal) {
        case zot::Refusal::kNoSuchEntry:
            return -ENOENT;
        case zot::Refusal::kExists:
            return -EEXIST;
        // A read-only mount refuses every change itself (EROFS) before asking the terminal.
        case zot::Refusal::kReadOnly:
            return -EACCES;
        case zot::Refusal::kNotEmpty:
            return -ENOTEMPTY;
        case zot::Refusal::kIsAFolder:
            return -EISDIR;
        case zot::Refusal::kNotAFolder:
            return -ENOTDIR;
        // Names are checked for the wire code page before they are sent (EILSEQ); what the
        // session still refuses is a path too long for the terminal.
        case zot::Refusal::kBadName:
            return -ENAMETOOLONG;
        // A folder that changed while it was listed has no true listing to give; the next
        // listing may well succeed.
        case zot::Refusal::kChanged:
            return -EAGAIN;
        case zot::Refusal::kNone:
        case zot::Refusal::kOther:
            break;
    }
    // The terminal said no and its state does not say why: it keeps the entry, or the open
    // file's data, from us.
    return -EACCES;
}

}  // namespace zotfs
