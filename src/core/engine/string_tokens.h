#pragma once

#include "engine/metadata_tokens.h"
#include "platform/clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace renomiq {

class FileSystem;
class Prompter;
struct EditRequest;

// The special-string tokens of the texts that insert or replace: runs of "$"
// (running number), "@$@" (a literal "$"), "%%" (folder name), "%k%" (random
// string), "@@" (modification date), "##" (size), and the tokens in braces
// that take a value from inside the item ("{taken;yyyy-MM-dd}", "{artist}").
class SpecialStrings {
public:
    // The seed counter of the random strings starts at the clock's time.
    SpecialStrings(FileSystem &fileSystem, Prompter &prompter, const Clock &clock);

    // The running number the expansion writes; the run driver sets and advances it.
    void setRunningNumber(std::int64_t number) { m_runningNumber = number; }
    std::int64_t runningNumber() const { return m_runningNumber; }

    // The decimal separator of sizes; without one, the C library locale's.
    void setDecimalSeparator(std::optional<std::string> separator) { m_decimalSeparator = std::move(separator); }

    // The text with its tokens expanded for the item at itemPath. A value
    // taken from inside the item is never expanded again.
    std::string expandSpecial(const EditRequest &request, std::string_view text, const std::string &itemPath);

    // When the photo at itemPath was taken, if it says.
    std::optional<CalendarTime> takenTime(const std::string &itemPath)
    {
        return m_metadata.photo(itemPath).taken;
    }
    // The items' metadata read so far; forgotten at the start of each work list.
    ItemMetadataCache &metadata() { return m_metadata; }

    // False, after an information box, when a random-string token is too long or
    // not a number.
    bool checkRandomTokens(const EditRequest &request, std::string_view text);

    // "512Bytes", "12.3KB", "1.5MB", "2.15GB"; the export names its unit of
    // bytes "Byte".
    static std::string formatSize(std::uint64_t size, std::string_view decimalSeparator,
                                  std::string_view byteUnit = "Bytes");

    std::string randomString(const EditRequest &request, std::int64_t length);

    // The separator the sizes are written with.
    std::string decimalSeparator() const;

private:
    // The tokens but those in braces.
    std::string expandPlain(const EditRequest &request, std::string_view text, const std::string &itemPath);

    FileSystem &m_fileSystem;
    Prompter &m_prompter;
    std::int64_t m_runningNumber = 1;
    std::uint64_t m_seedCounter;
    SeededRandom m_random;
    std::optional<std::string> m_decimalSeparator;
    ItemMetadataCache m_metadata;
};

} // namespace renomiq
