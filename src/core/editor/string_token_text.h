#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace renomiq {

// The result codes of the special string dialog.
enum SpecialStringCode {
    OrderedNumbers = 0,
    Today = 1,
    DisorderedNames = 2,
    FileDate = 3,
    FileSize = 4,
    FolderName = 5,
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

// The text a result code inserts; empty when nothing is inserted.
std::string specialStringText(int code, bool useSpecialStrings, std::size_t workListEntries,
                              const std::string &todayCaption);

} // namespace renomiq
