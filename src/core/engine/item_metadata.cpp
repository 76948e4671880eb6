#include "engine/item_metadata.h"

#include <exiv2/exiv2.hpp>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfilestream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>

namespace renomiq {

namespace {

// The libraries speak of damaged files on stderr; here a damaged file is
// simply one without values.
class SilentTagLib : public TagLib::DebugListener {
public:
    void printMessage(const TagLib::String &) override {}
};

void quietenLibraries()
{
    static const bool quiet = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        // Before any thread reads a photo: runs read them in several at once.
        Exiv2::XmpParser::initialize();
        static SilentTagLib silent;
        TagLib::setDebugListener(&silent);
        return true;
    }();
    (void)quiet;
}

// A regular file opened for reading, without blocking on a FIFO or a device;
// its path through /proc reaches this very file however the name changes.
class OpenedFile {
public:
    explicit OpenedFile(const std::string &hostPath)
        : m_fd(::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY))
    {
        struct stat st {};
        if (m_fd >= 0 && (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~OpenedFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenedFile(const OpenedFile &) = delete;
    OpenedFile &operator=(const OpenedFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    std::string procPath() const { return "/proc/self/fd/" + std::to_string(m_fd); }

private:
    int m_fd;
};

std::optional<std::uint32_t> positive(long value)
{
    if (value <= 0 || value > 0x7fffffffL)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

const Exiv2::Exifdatum *findExif(const Exiv2::ExifData &exif, const char *key)
{
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it == exif.end() || it->count() == 0)
        return nullptr;
    return &*it;
}

PhotoMetadata photoOf(Exiv2::Image &image)
{
    PhotoMetadata photo;
    image.readMetadata();
    const Exiv2::ExifData &exif = image.exifData();
    for (const char *key : {"Exif.Photo.DateTimeOriginal", "Exif.Photo.DateTimeDigitized", "Exif.Image.DateTime"}) {
        if (const Exiv2::Exifdatum *datum = findExif(exif, key)) {
            photo.taken = parseExifDate(nameSafeValue(datum->toString()));
            if (photo.taken)
                break;
        }
    }
    if (const Exiv2::Exifdatum *datum = findExif(exif, "Exif.Image.Make"))
        photo.make = datum->toString();
    if (const Exiv2::Exifdatum *datum = findExif(exif, "Exif.Image.Model"))
        photo.model = datum->toString();
    if (const Exiv2::Exifdatum *datum = findExif(exif, "Exif.Photo.PixelXDimension"))
        photo.width = positive(datum->toLong());
    if (const Exiv2::Exifdatum *datum = findExif(exif, "Exif.Photo.PixelYDimension"))
        photo.height = positive(datum->toLong());
    if (!photo.width)
        photo.width = positive(image.pixelWidth());
    if (!photo.height)
        photo.height = positive(image.pixelHeight());
    return photo;
}

// The libraries throw on what they cannot read; nothing passes this point.
template <typename Open>
PhotoMetadata readPhoto(Open open)
{
    quietenLibraries();
    PhotoMetadata photo;
    try {
        auto image = open(); // the library's own smart pointer
        if (image.get())
            photo = photoOf(*image);
    } catch (...) {
        return PhotoMetadata();
    }
    return photo;
}

std::string utf8(const TagLib::String &text)
{
    return text.to8Bit(true);
}

AudioMetadata readAudio(TagLib::IOStream &stream)
{
    quietenLibraries();
    AudioMetadata audio;
    try {
        const TagLib::FileRef file(&stream, false);
        const TagLib::Tag *tag = file.isNull() ? nullptr : file.tag();
        if (!tag)
            return audio;
        audio.artist = utf8(tag->artist());
        audio.album = utf8(tag->album());
        audio.title = utf8(tag->title());
        audio.genre = utf8(tag->genre());
        audio.year = tag->year();
        audio.track = tag->track();
    } catch (...) {
        return AudioMetadata();
    }
    return audio;
}

bool isDigits(std::string_view text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return !text.empty();
}

int number(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

PhotoMetadata readPhotoMetadata(const std::string &hostPath)
{
    const OpenedFile file(hostPath);
    if (!file.isOpen())
        return {};
    return readPhoto([&] { return Exiv2::ImageFactory::open(file.procPath(), false); });
}

PhotoMetadata readPhotoMetadata(const unsigned char *data, std::size_t size)
{
    if (size == 0 || size > 0x7fffffff)
        return {};
    return readPhoto([&] { return Exiv2::ImageFactory::open(data, static_cast<long>(size)); });
}

AudioMetadata readAudioMetadata(const std::string &hostPath)
{
    const OpenedFile file(hostPath);
    if (!file.isOpen())
        return {};
    TagLib::FileStream stream(file.procPath().c_str(), true);
    if (!stream.isOpen())
        return {};
    return readAudio(stream);
}

AudioMetadata readAudioMetadata(const unsigned char *data, std::size_t size)
{
    if (size > 0x7fffffff)
        return {};
    TagLib::ByteVector bytes(reinterpret_cast<const char *>(data), static_cast<unsigned int>(size));
    TagLib::ByteVectorStream stream(bytes);
    return readAudio(stream);
}

std::optional<CalendarTime> parseExifDate(std::string_view text)
{
    // "YYYY:MM:DD HH:MM:SS"
    if (text.size() < 19 || (text[4] != ':' && text[4] != '-') || text[7] != text[4] || text[10] != ' '
        || text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const std::array<std::string_view, 6> parts = {text.substr(0, 4),  text.substr(5, 2),  text.substr(8, 2),
                                                   text.substr(11, 2), text.substr(14, 2), text.substr(17, 2)};
    for (std::string_view part : parts) {
        if (!isDigits(part))
            return std::nullopt;
    }
    CalendarTime t;
    t.year = number(parts[0]);
    t.month = number(parts[1]);
    t.day = number(parts[2]);
    t.hour = number(parts[3]);
    t.minute = number(parts[4]);
    t.second = number(parts[5]);
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.year == 0 || t.month < 1 || t.month > 12 || t.hour > 23 || t.minute > 59 || t.second > 60)
        return std::nullopt;
    const int days = kDays[t.month - 1] + (t.month == 2 && isLeapYear(t.year) ? 1 : 0);
    if (t.day < 1 || t.day > days)
        return std::nullopt;
    return t;
}

std::string formatTakenTime(const CalendarTime &time, std::string_view format)
{
    const auto twoDigits = [](int value) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%02d", value % 100);
        return std::string(buffer);
    };
    std::string out;
    for (std::size_t i = 0; i < format.size();) {
        const std::string_view rest = format.substr(i);
        if (rest.starts_with("yyyy")) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%04d", time.year);
            out += buffer;
            i += 4;
        } else if (rest.starts_with("yy")) {
            out += twoDigits(time.year);
            i += 2;
        } else if (rest.starts_with("MM")) {
            out += twoDigits(time.month);
            i += 2;
        } else if (rest.starts_with("dd")) {
            out += twoDigits(time.day);
            i += 2;
        } else if (rest.starts_with("HH")) {
            out += twoDigits(time.hour);
            i += 2;
        } else if (rest.starts_with("mm")) {
            out += twoDigits(time.minute);
            i += 2;
        } else if (rest.starts_with("ss")) {
            out += twoDigits(time.second);
            i += 2;
        } else {
            out += format[i++];
        }
    }
    return out;
}

std::string nameSafeValue(std::string_view value)
{
    value = value.substr(0, value.find('\0'));
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (!value.empty() && blank(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && blank(value.back()))
        value.remove_suffix(1);
    std::string out(value);
    for (char &c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || c == '/' || byte < 0x20 || byte == 0x7f)
            c = '_';
    }
    return out;
}

} // namespace renomiq
