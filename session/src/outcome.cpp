#include "zot_session.h"

namespace zot {

const char* Describe(const Status& status) {
    switch (status.outcome) {
        case Outcome::kDone:
            return "done";
        case Outcome::kBadReply:
            return "the terminal's answer makes no sense";
        case Outcome::kNoAnswer:
            switch (status.silence) {
                case Silence::kDeviceGone:
                    return "the device went away";
                case Silence::kNotOpen:
                    return "the port is not open";
                case Silence::kLineFailed:
                case Silence::kNone:
                    break;
            }
            return "the terminal did not answer";
        case Outcome::kRefused:
            break;
    }
    switch (status.refusal) {
        case Refusal::kNoSuchEntry:
            return "no such file or folder";
        case Refusal::kExists:
            return "it already exists";
        case Refusal::kReadOnly:
            return "it is read-only";
        case Refusal::kNotEmpty:
            return "the folder is not empty";
        case Refusal::kIsAFolder:
            return "it is a folder";
        case Refusal::kNotAFolder:
            return "it is not a folder";
        case Refusal::kBadName:
            return "the terminal cannot take that name";
        case Refusal::kChanged:
            return "the folder changed while it was being listed";
        case Refusal::kNone:
        case Refusal::kOther:
            break;
    }
    return "the terminal refused";
}

std::string_view FindRecord::Name() const {
    size_t n = 0;
    while (n < sizeof name && name[n]) ++n;
    return {name, n};
}

}  // namespace zot
