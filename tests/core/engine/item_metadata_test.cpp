#include "engine/item_metadata.h"
#include "engine/metadata_tokens.h"
#include "engine/string_tokens.h"
#include "engine/taken_order.h"

#include "engine/edit_request.h"
#include "platform/host_file_system.h"
#include "support/media_files.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"
#include "support/test_doubles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace renomiq {
namespace {

using test::AudioTags;
using test::ExifFields;
using test::TestDir;

class MetadataTokensTest : public ::testing::Test {
protected:
    TestDir dir;
    HostFileSystem fs{dir.drives()};
    test::ScriptedPrompter prompter;
    test::FixedClock clock;
    SpecialStrings special{fs, prompter, clock};
    EditRequest request;

    void SetUp() override
    {
        ExifFields canon;
        canon.make = "Canon";
        canon.model = "Canon EOS R6";
        canon.dateTime = "2024:08:01 12:00:00";
        canon.dateTimeDigitized = "2024:07:14 09:30:13";
        canon.dateTimeOriginal = "2024:07:14 09:30:12";
        canon.pixelWidth = 6000;
        canon.pixelHeight = 4000;
        dir.writeFile("canon.jpg", test::jpegWithExif(canon));

        ExifFields digitized; // no DateTimeOriginal: the digitized time
        digitized.dateTimeDigitized = "2023:01:02 03:04:05";
        digitized.dateTime = "2023:12:31 23:59:59";
        dir.writeFile("digitized.jpg", test::jpegWithExif(digitized));

        ExifFields changed; // only the time it was last changed
        changed.dateTime = "2022:02:28 18:00:01";
        changed.make = "  NIKON CORPORATION  ";
        changed.model = "AC/DC\\x\tz";
        dir.writeFile("changed.jpg", test::jpegWithExif(changed));

        ExifFields broken; // an impossible original time falls back
        broken.dateTimeOriginal = "    :  :     :  :  ";
        broken.dateTime = "2021:06:30 07:08:09";
        dir.writeFile("blank-original.jpg", test::jpegWithExif(broken));

        dir.writeFile("plain.jpg", test::plainJpeg());

        const std::string full = test::jpegWithExif(canon);
        dir.writeFile("cut.jpg", full.substr(0, 60));
        dir.writeFile("noise.jpg", "\xff\xd8\xff\xe1\xff\xff" + std::string(300, '\x5a'));

        AudioTags tags;
        tags.artist = "Daft Punk";
        tags.album = "Discovery";
        tags.title = "One More Time";
        tags.genre = "House";
        tags.year = 2001;
        tags.track = 3;
        dir.writeFile("tagged.mp3", test::mp3File(tags));
        dir.writeFile("tagged.flac", test::flacFile(tags));
        dir.writeFile("untagged.mp3", test::mp3File(std::nullopt));
        dir.writeFile("untagged.flac", test::flacFile(std::nullopt));
        AudioTags odd;
        odd.artist = " AC/DC ";
        odd.title = "Back\\in\nBlack";
        odd.track = 12;
        dir.writeFile("odd.mp3", test::mp3File(odd));
        dir.writeFile("cut.flac", test::flacFile(tags).substr(0, 70));
        dir.writeFile("noise.mp3", "ID3\x04" + std::string(200, '\xff'));
        dir.createFiles({"folder/"});
    }
};

TEST_F(MetadataTokensTest, PhotoTokens)
{
    const struct {
        const char *file, *text, *expected;
    } rows[] = {
        {"canon.jpg", "{taken}", "20240714"},
        {"canon.jpg", "{taken;yyyy-MM-dd HH.mm.ss}", "2024-07-14 09.30.12"},
        {"canon.jpg", "{taken;yy_MM_dd at HH}h", "24_07_14 at 09h"},
        {"canon.jpg", "{taken;yyyy-MM-dd HH.mm.ss} {camera}", "2024-07-14 09.30.12 Canon EOS R6"},
        {"canon.jpg", "{make}-{width}x{height}", "Canon-6000x4000"},
        {"digitized.jpg", "{taken;yyyy-MM-dd HH.mm.ss}", "2023-01-02 03.04.05"},
        {"changed.jpg", "{taken;yyyy-MM-dd HH.mm.ss}", "2022-02-28 18.00.01"},
        {"blank-original.jpg", "{taken}", "20210630"},
        {"changed.jpg", "[{make}][{camera}]", "[NIKON CORPORATION][AC_DC_x_z]"},
        // Without EXIF: the size from the image's header, nothing else.
        {"plain.jpg", "{width}x{height}", "16x12"},
        {"plain.jpg", "a{taken}b{make}c{camera}d", "abcd"},
        // Damaged files give nothing.
        {"cut.jpg", "a{taken}b{make}c", "abc"},
        {"noise.jpg", "a{taken}b{width}c", "abc"},
        {"folder", "a{taken}b", "ab"},
        {"missing.jpg", "a{taken}b", "ab"},
        // A photo has no tags of music.
        {"canon.jpg", "a{artist}b{track}c", "abc"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(special.expandSpecial(request, row.text, TestDir::win(row.file)), row.expected)
            << row.file << " " << row.text;
}

TEST_F(MetadataTokensTest, MusicTokens)
{
    const struct {
        const char *file, *text, *expected;
    } rows[] = {
        {"tagged.mp3", "{track;2} - {artist} - {title}", "03 - Daft Punk - One More Time"},
        {"tagged.mp3", "{album} ({year}) {genre}", "Discovery (2001) House"},
        {"tagged.mp3", "{track}|{track;1}|{track;4}", "3|3|0003"},
        {"tagged.flac", "{track;2} - {artist} - {title}", "03 - Daft Punk - One More Time"},
        {"tagged.flac", "{album} ({year}) {genre}", "Discovery (2001) House"},
        {"odd.mp3", "{track;1}-{artist}-{title}", "12-AC_DC-Back_in_Black"},
        {"untagged.mp3", "a{artist}b{track;2}c{year}d", "abcd"},
        {"untagged.flac", "a{artist}b{title}c", "abc"},
        {"cut.flac", "a{artist}b{title}c", "abc"},
        {"noise.mp3", "a{artist}b{title}c", "abc"},
        {"tagged.mp3", "a{taken}b{width}c", "abc"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(special.expandSpecial(request, row.text, TestDir::win(row.file)), row.expected)
            << row.file << " " << row.text;
}

TEST_F(MetadataTokensTest, WhatIsNoTokenStaysLiteral)
{
    const std::string photo = TestDir::win("canon.jpg");
    const struct {
        const char *text, *expected;
    } rows[] = {
        {"{Taken}", "{Taken}"},
        {"{taken;}", "{taken;}"},
        {"{make;x}", "{make;x}"},
        {"{track;x}", "{track;x}"},
        {"{track;123}", "{track;123}"},
        {"{model}", "{model}"},
        {"{taken", "{taken"},
        {"taken}", "taken}"},
        {"{}", "{}"},
        {"{{taken}}", "{20240714}"},
        {"{x{make}", "{xCanon"},
        {"$$_{make}_@$@", "01_Canon_$"},
    };
    special.setRunningNumber(1);
    for (const auto &row : rows)
        EXPECT_EQ(special.expandSpecial(request, row.text, photo), row.expected) << row.text;
}

TEST_F(MetadataTokensTest, ValuesAreNeverExpandedAgain)
{
    AudioTags tags;
    tags.artist = "$$ %% @@ ## {title}";
    tags.title = "T";
    dir.writeFile("tokens.mp3", test::mp3File(tags));
    special.setRunningNumber(4);
    EXPECT_EQ(special.expandSpecial(request, "$${artist}$", TestDir::win("tokens.mp3")), "04$$ %% @@ ## {title}4");
}

TEST_F(MetadataTokensTest, SwitchedOffTheTokensStayLiteral)
{
    request.useSpecialStrings = false;
    EXPECT_EQ(special.expandSpecial(request, "{taken;yyyy} {artist}", TestDir::win("canon.jpg")),
              "{taken;yyyy} {artist}");
    EXPECT_EQ(special.metadata().filesRead(), 0u);
}

TEST_F(MetadataTokensTest, EachFileIsReadOncePerKindAndOnlyWhenAsked)
{
    ItemMetadataCache &cache = special.metadata();
    special.expandSpecial(request, "$$ %% @@ ## {{}", TestDir::win("canon.jpg"));
    EXPECT_EQ(cache.filesRead(), 0u);
    special.expandSpecial(request, "{taken}{make}", TestDir::win("canon.jpg"));
    special.expandSpecial(request, "{camera}{width}", TestDir::win("canon.jpg"));
    EXPECT_EQ(cache.filesRead(), 1u);
    special.expandSpecial(request, "{artist}{title}", TestDir::win("tagged.mp3"));
    special.expandSpecial(request, "{track;2}", TestDir::win("tagged.mp3"));
    EXPECT_EQ(cache.filesRead(), 2u);
    cache.clear();
    special.expandSpecial(request, "{taken}", TestDir::win("canon.jpg"));
    EXPECT_EQ(cache.filesRead(), 3u);
}

TEST_F(MetadataTokensTest, AFifoIsNotOpened)
{
    ASSERT_EQ(::mkfifo(dir.host("pipe.jpg").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.host("pipe.mp3").c_str(), 0600), 0);
    EXPECT_EQ(special.expandSpecial(request, "a{taken}{artist}b", TestDir::win("pipe.jpg")), "ab");
    EXPECT_EQ(special.expandSpecial(request, "a{taken}{artist}b", TestDir::win("pipe.mp3")), "ab");
}

TEST(ItemMetadata, ExifDates)
{
    const struct {
        const char *text;
        bool valid;
        int year, month, day, hour, minute, second;
    } rows[] = {
        {"2024:07:14 09:30:12", true, 2024, 7, 14, 9, 30, 12},
        {"2024-07-14 09:30:12", true, 2024, 7, 14, 9, 30, 12},
        {"2024:02:29 00:00:00", true, 2024, 2, 29, 0, 0, 0},
        {"2024:07:14 09:30:12.25", true, 2024, 7, 14, 9, 30, 12},
        {"2023:02:29 00:00:00", false, 0, 0, 0, 0, 0, 0},
        {"2024:13:01 00:00:00", false, 0, 0, 0, 0, 0, 0},
        {"2024:07:14 24:00:00", false, 0, 0, 0, 0, 0, 0},
        {"0000:00:00 00:00:00", false, 0, 0, 0, 0, 0, 0},
        {"    :  :     :  :  ", false, 0, 0, 0, 0, 0, 0},
        {"2024:07-14 09:30:12", false, 0, 0, 0, 0, 0, 0},
        {"2024:07:14", false, 0, 0, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0, 0, 0},
    };
    for (const auto &row : rows) {
        const auto t = parseExifDate(row.text);
        ASSERT_EQ(t.has_value(), row.valid) << row.text;
        if (!t)
            continue;
        EXPECT_EQ(t->year, row.year);
        EXPECT_EQ(t->month, row.month);
        EXPECT_EQ(t->day, row.day);
        EXPECT_EQ(t->hour, row.hour);
        EXPECT_EQ(t->minute, row.minute);
        EXPECT_EQ(t->second, row.second);
    }
}

TEST(ItemMetadata, NameSafeValues)
{
    const struct {
        std::string value, expected;
    } rows[] = {
        {"  Canon  ", "Canon"},
        {"AC/DC", "AC_DC"},
        {"a\\b", "a_b"},
        {"\tline\none\r", "line_one"},
        {std::string("Canon\0\0\0", 8), "Canon"},
        {"a\x7f" "b\x01" "c", "a_b_c"},
        {"Motörhead: *?", "Motörhead: *?"},
        {"   ", ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(nameSafeValue(row.value), row.expected) << row.value;
}

TEST(ItemMetadata, TakenOrderTiesByNameAndPutsTheUndatedLast)
{
    const std::map<std::string, std::optional<CalendarTime>> taken = {
        {"T:\\b.jpg", CalendarTime{2024, 7, 14, 9, 30, 12}},
        {"T:\\a.jpg", CalendarTime{2024, 7, 14, 9, 30, 12}},
        {"T:\\c.jpg", CalendarTime{2024, 7, 14, 9, 30, 11}},
        {"T:\\d.jpg", CalendarTime{2023, 12, 31, 23, 59, 59}},
        {"T:\\e.txt", std::nullopt},
        {"T:\\A0.txt", std::nullopt},
        {"T:\\f.jpg", CalendarTime{2024, 1, 1, 0, 0, 0}},
    };
    std::vector<std::string> items = {"T:\\b.jpg", "T:\\e.txt", "T:\\a.jpg", "T:\\c.jpg",
                                      "T:\\A0.txt", "T:\\d.jpg", "T:\\f.jpg"};
    int asked = 0;
    orderByTaken(items, [&](const std::string &path) {
        ++asked;
        return taken.at(path);
    });
    EXPECT_EQ(asked, 7);
    EXPECT_EQ(items, (std::vector<std::string>{"T:\\d.jpg", "T:\\f.jpg", "T:\\c.jpg", "T:\\a.jpg", "T:\\b.jpg",
                                                "T:\\A0.txt", "T:\\e.txt"}));
}

} // namespace
} // namespace renomiq
