#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace renomiq::test {

// Small real media files, made in memory for the tests and the benchmark.

// What a photo's EXIF holds; an empty value is left out.
struct ExifFields {
    std::string make;
    std::string model;
    std::string dateTime;          // "2024:07:14 09:30:12"
    std::string dateTimeOriginal;
    std::string dateTimeDigitized;
    std::optional<std::uint32_t> pixelWidth;
    std::optional<std::uint32_t> pixelHeight;
};

// A 16 x 12 JPEG (JFIF), without EXIF.
std::string plainJpeg();
// The same JPEG with an EXIF segment holding the fields.
std::string jpegWithExif(const ExifFields &fields);

// What a piece of music's tags hold; an empty value or 0 is left out.
struct AudioTags {
    std::string artist;
    std::string album;
    std::string title;
    std::string genre;
    unsigned year = 0;
    unsigned track = 0;
};

// A few silent MPEG-1 Layer III frames, behind an ID3v2.4 tag when tags are given.
std::string mp3File(const std::optional<AudioTags> &tags);
// A FLAC stream's header, with a Vorbis comment when tags are given.
std::string flacFile(const std::optional<AudioTags> &tags);

} // namespace renomiq::test
