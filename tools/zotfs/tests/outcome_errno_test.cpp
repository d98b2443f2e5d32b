// What the mount answers for each thing a call to the terminal can come to.
#include "outcome_errno.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using zot::Outcome;
using zot::Refusal;
using zot::Silence;
using zot::Status;

TEST(MountErrors, OnlyALineThatIsGoneIsAnIoError) {
    for (int o = 0; o <= static_cast<int>(Outcome::kBadReply); ++o)
        for (int r = 0; r <= static_cast<int>(Refusal::kOther); ++r)
            for (int s = 0; s <= static_cast<int>(Silence::kNotOpen); ++s) {
                const Status status{static_cast<Outcome>(o), static_cast<Refusal>(r),
                                    static_cast<Silence>(s)};
                EXPECT_EQ(zotfs::ErrnoFor(status) == -EIO, status.outcome == Outcome::kNoAnswer)
                    << "outcome " << o << ", refusal " << r << ", silence " << s;
            }
}

TEST(MountErrors, EachAnswerGivesItsOwnError) {
    const struct {
        Status status;
        int error;
    } cases[] = {
        {Status::Refused(Refusal::kNoSuchEntry), ENOENT},
        {Status::Refused(Refusal::kExists), EEXIST},
        {Status::Refused(Refusal::kReadOnly), EACCES},
        {Status::Refused(Refusal::kNotEmpty), ENOTEMPTY},
        {Status::Refused(Refusal::kIsAFolder), EISDIR},
        {Status::Refused(Refusal::kNotAFolder), ENOTDIR},
        {Status::Refused(Refusal::kBadName), ENAMETOOLONG},
        {Status::Refused(Refusal::kChanged), EAGAIN},
        {Status::Refused(Refusal::kOther), EACCES},
        {Status::BadReply(), EPROTO},
        {Status::NoAnswer(Silence::kLineFailed), EIO},
        {Status::NoAnswer(Silence::kDeviceGone), EIO},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zotfs::ErrnoFor(c.status), -c.error) << zot::Describe(c.status);
}

}  // namespace
