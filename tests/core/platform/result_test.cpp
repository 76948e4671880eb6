#include "platform/result.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace renomiq {
namespace {

// The reason shown beside the old and new names comes from the error's code
// and fault, whatever its message holds (names may hold "': ").
TEST(ResultTest, TheReasonComesFromTheCodeAndTheFault)
{
    const struct {
        Error error;
        const char *reason;
    } rows[] = {
        {errnoError(ENAMETOOLONG, "Cannot rename", "T:\\a.txt"), "File name too long"},
        {errnoError(EACCES, "Cannot rename", "T:\\it': s.txt"), "Permission denied"},
        {errnoError(EEXIST, "Cannot rename", "T:\\b"), "File exists"},
        {Error{EINVAL, "The new name of 'T:\\a': b.txt' holds a path separator"}, "Invalid argument"},
        {Error{EIO, "Cannot record the change of case of 'T:\\x': y' in the journal"}, "Input/output error"},
        {Error{EINVAL, "Cannot rename 'T:\\a' to 'T:\\b': c'", Fault::NewNameHoldsSeparator},
         "the new name holds '/', which separates the folders of a path"},
        {Error{EINVAL, "Cannot rename 'T:\\a' to 'T:\\b\nc'", Fault::NewNameHoldsControlCharacter},
         "the new name holds a control character (such as a line break)"},
        {Error{0, "No rename of 'T:\\x': y' is recorded"}, "No rename of 'T:\\x': y' is recorded"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(reasonOf(row.error), row.reason) << row.error.message;
}

} // namespace
} // namespace renomiq
