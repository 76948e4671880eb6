#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace renomiq {

// The result codes of the special string dialog.
enum SpecialStringCode {
    OrderedNumbers = 0,
    Today = 1,
    DisorderedNames = 2,
    FileDate = 3,
    FileSize = 4,
    FolderName = 5,
    Metadata = 6,
    NotUsed = 59,
    Cancelled = 99,
};

// The six date captions of "Today: " for a date: 20070501, 2007-05-01,
// 2007.05.01, 05012007, 05-01-2007, 05.01.2007.
std::array<std::string, 6> todayCaptions(int year, int month, int day);

// The same for the local date at `time` (seconds since 1970, UTC).
std::array<std::string, 6> todayCaptions(std::int64_t time);

// The run of "$" for ordered numbers, after the number of entries of the work
// list: "$$$$" from 1000, "$$$" from 100 or for none, else "$$".
std::string dollarRun(std::size_t workListEntries);

// The text a result code inserts; empty when nothing is inserted. The
// metadata token is the text of code Metadata.
std::string specialStringText(int code, bool useSpecialStrings, std::size_t workListEntries,
                              const std::string &todayCaption, const std::string &metadataToken = {});

// The tokens of "Metadata:", in the order the dialog offers them.
std::array<const char *, 11> metadataTokenNames();

// The token for a name of "Metadata:" and the text of its format box: the
// format of "taken" ("{taken;yyyy-MM-dd}"), the digits of "track" ("{track;2}",
// one or two digits, else none); braces in the format are left out. An empty
// box gives the token without one.
std::string metadataTokenFor(std::string_view name, std::string_view format);

} // namespace renomiq
