#pragma once

#include "platform/file_system.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace renomiq {

// What a photo says of itself (EXIF, else the image header).
struct PhotoMetadata {
    std::optional<CalendarTime> taken; // DateTimeOriginal, else DateTimeDigitized, else DateTime
    std::string make;
    std::string model;
    std::optional<std::uint32_t> width;
    std::optional<std::uint32_t> height;
};

// What a piece of music says of itself (its tags).
struct AudioMetadata {
    std::string artist;
    std::string album;
    std::string title;
    std::string genre;
    unsigned year = 0;  // 0: none
    unsigned track = 0; // 0: none
};

// The readers. A file that is not of a kind they know, is damaged or cannot be
// read gives what could be read, often nothing; never more than that. Only a
// regular file is read (a FIFO or a device is refused at once).
PhotoMetadata readPhotoMetadata(const std::string &hostPath);
PhotoMetadata readPhotoMetadata(const unsigned char *data, std::size_t size);
AudioMetadata readAudioMetadata(const std::string &hostPath);
AudioMetadata readAudioMetadata(const unsigned char *data, std::size_t size);

// "2024:07:14 09:30:12" (the EXIF form; '-' between the date's parts taken as
// well); no value for anything else or an impossible date.
std::optional<CalendarTime> parseExifDate(std::string_view text);

// The time in a format of "yyyy", "yy", "MM", "dd", "HH", "mm", "ss"; every
// other character is kept as it is.
std::string formatTakenTime(const CalendarTime &time, std::string_view format);

// A value as a name can hold it: surrounding blanks trimmed, then '\', '/' and
// control characters made '_'. The text ends at a NUL byte.
std::string nameSafeValue(std::string_view value);

} // namespace renomiq
