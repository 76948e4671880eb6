// Fuzz target for what is inside photos and music, which other programs
// write: damaged JPEG, MP3 and FLAC bytes go through the metadata readers, in
// memory and as a file named by a token text, and never crash them; every
// value a token gives is one a name can hold.
//
// Each input is read as it is, and also as changes to a well-formed file: its
// first byte picks the file (a JPEG with EXIF, an MP3 or a FLAC with tags),
// each following three bytes set one byte (offset high, offset low, value),
// and a last single byte cuts the file at that fraction of its length.
#include "engine/edit_request.h"
#include "engine/item_metadata.h"
#include "engine/string_tokens.h"
#include "fuzz/fuzz_support.h"
#include "platform/clock.h"
#include "platform/host_file_system.h"
#include "platform/prompter.h"
#include "support/media_files.h"

#include <array>
#include <string>

namespace {

using namespace renomiq;

// The expansion asks nothing of these: no token here is checked or random.
class NoPrompter : public Prompter {
public:
    Answer show(const Message &) override { std::abort(); }
};
class NoClock : public Clock {
public:
    std::int64_t now() const override { return 0; }
};

const std::array<std::string, 3> &wellFormed()
{
    static const std::array<std::string, 3> files = [] {
        test::ExifFields photo;
        photo.make = "Canon";
        photo.model = "Canon EOS R6";
        photo.dateTimeOriginal = "2024:07:14 09:30:12";
        photo.dateTimeDigitized = "2024:07:14 09:30:12";
        photo.dateTime = "2024:07:14 09:30:12";
        photo.pixelWidth = 6000;
        photo.pixelHeight = 4000;
        test::AudioTags tags;
        tags.artist = "Artist";
        tags.album = "Album";
        tags.title = "Title";
        tags.genre = "Genre";
        tags.year = 2001;
        tags.track = 3;
        return std::array<std::string, 3>{test::jpegWithExif(photo), test::mp3File(tags), test::flacFile(tags)};
    }();
    return files;
}

std::string changed(const std::uint8_t *data, std::size_t size)
{
    std::string file = wellFormed()[data[0] % 3];
    std::size_t i = 1;
    for (; i + 3 <= size; i += 3) {
        const std::size_t offset = (static_cast<std::size_t>(data[i]) << 8 | data[i + 1]) % file.size();
        file[offset] = static_cast<char>(data[i + 2]);
    }
    if (i < size)
        file.resize(file.size() * data[i] / 256);
    return file;
}

void check(const std::string &value)
{
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7f)
            std::abort();
    }
}

void readEveryWay(const std::string &bytes)
{
    static HostFileSystem fs(fuzz::scratchDrive());
    static NoPrompter prompter;
    static NoClock clock;
    static SpecialStrings special(fs, prompter, clock);
    static const EditRequest request;

    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const PhotoMetadata photo = readPhotoMetadata(data, bytes.size());
    const AudioMetadata audio = readAudioMetadata(data, bytes.size());
    (void)photo;
    (void)audio;

    fuzz::writeHost(fuzz::scratch() + "/item", data, bytes.size());
    special.metadata().clear();
    const std::string name = special.expandSpecial(
        request, "{taken;yyyy-MM-dd HH.mm.ss}{make}{camera}{width}{height}{artist}{album}{title}{genre}{year}{track;3}",
        "F:\\item");
    check(name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    readEveryWay(std::string(reinterpret_cast<const char *>(data), size));
    if (size > 0)
        readEveryWay(changed(data, size));
    return 0;
}
