// The end-of-run sound: which player plays it, and the chime itself.
#include "platform/system_sound.h"

#include "platform/host_io.h"
#include "support/run_process.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace renomiq {
namespace {

using test::TestDir;

// PATH pointed at a folder of fake players for the length of a test.
class FakePath {
public:
    explicit FakePath(const std::string &folder) : m_old(std::getenv("PATH") ? std::getenv("PATH") : "")
    {
        ::setenv("PATH", folder.c_str(), 1);
    }
    ~FakePath() { ::setenv("PATH", m_old.c_str(), 1); }

private:
    std::string m_old;
};

struct PlayerCase {
    const char *name;
    std::vector<std::pair<const char *, int>> players; // fake player and its exit status
    bool withWave;
    const char *expectedLog; // "<player> <arguments>" lines, FILE for the wave's path
};

TEST(SystemSound, PlaysThroughTheFirstPlayerThatWorks)
{
    const PlayerCase cases[] = {
        {"all three: PipeWire first", {{"pw-play", 0}, {"paplay", 0}, {"aplay", 0}}, true, "pw-play FILE\n"},
        {"PulseAudio without PipeWire", {{"paplay", 0}, {"aplay", 0}}, true, "paplay FILE\n"},
        {"ALSA alone, quietly", {{"aplay", 0}}, true, "aplay -q FILE\n"},
        {"pw-play without its server: the next one plays",
         {{"pw-play", 1}, {"paplay", 0}},
         true,
         "pw-play FILE\npaplay FILE\n"},
        {"every player fails", {{"pw-play", 1}, {"paplay", 1}, {"aplay", 1}}, true,
         "pw-play FILE\npaplay FILE\naplay -q FILE\n"},
        {"no player at all", {}, true, ""},
        {"no sound file", {{"pw-play", 0}}, false, ""},
    };
    for (const PlayerCase &c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        dir.createFiles({"bin/", "share/"});
        if (c.withWave)
            dir.writeFile("share/end.wav", "RIFF");
        for (const auto &[player, status] : c.players) {
            test::writeScript(dir.host("bin/") + player, "echo \"${0##*/} $*\" >> '" + dir.host("log") + "'\nexit "
                                                             + std::to_string(status) + "\n");
        }
        FakePath path(dir.host("bin"));
        SystemSound(dir.host("share/")).play("end.wav");
        // Played synchronously: the log is complete when play() returns.
        std::string expected = c.expectedLog;
        for (std::size_t at; (at = expected.find("FILE")) != std::string::npos;)
            expected.replace(at, 4, dir.host("share/end.wav"));
        EXPECT_EQ(dir.exists("log") ? dir.readFile("log") : std::string(), expected);
    }
}

// A player that hangs (a sound server that never answers) is stopped, and the
// whole wait stays within the time limit: the others are not tried after it.
TEST(SystemSound, AHangingPlayerStopsTheWaitWithinTheTimeLimit)
{
    const struct {
        const char *name;
        std::vector<std::pair<const char *, const char *>> players; // fake player and its last command
        const char *expectedLog;
    } cases[] = {
        {"every player hangs", {{"pw-play", "exec /bin/sleep 60"}, {"paplay", "exec /bin/sleep 60"}, {"aplay", "exec /bin/sleep 60"}},
         "pw-play FILE\n"},
        {"a failing player, then a hanging one",
         {{"pw-play", "exit 1"}, {"paplay", "exec /bin/sleep 60"}, {"aplay", "exit 0"}},
         "pw-play FILE\npaplay FILE\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        TestDir dir;
        dir.createFiles({"bin/", "share/"});
        dir.writeFile("share/end.wav", "RIFF");
        for (const auto &[player, last] : c.players)
            test::writeScript(dir.host("bin/") + player,
                              "echo \"${0##*/} $*\" >> '" + dir.host("log") + "'\n" + last + "\n");
        FakePath path(dir.host("bin"));
        const auto start = std::chrono::steady_clock::now();
        SystemSound(dir.host("share/"), std::chrono::milliseconds(1000)).play("end.wav");
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::milliseconds(1000));
        EXPECT_LT(waited, std::chrono::milliseconds(2500));
        std::string expected = c.expectedLog;
        for (std::size_t at; (at = expected.find("FILE")) != std::string::npos;)
            expected.replace(at, 4, dir.host("share/end.wav"));
        EXPECT_EQ(dir.readFile("log"), expected);
    }
}

TEST(SystemSound, FindsOnlyExecutableFilesOnThePath)
{
    TestDir dir;
    dir.createFiles({"a/", "b/", "c/aplay/"});
    dir.writeFile("a/aplay", "not executable");
    test::writeScript(dir.host("b/aplay"), "exit 0\n");
    EXPECT_EQ(SystemSound::findProgram("aplay", dir.host("a") + ":" + dir.host("b")), dir.host("b/aplay"));
    EXPECT_EQ(SystemSound::findProgram("aplay", dir.host("c") + "::" + dir.host("a")), "");
    EXPECT_EQ(SystemSound::findProgram("aplay", ""), "");
}

std::uint32_t le32(const std::string &s, std::size_t at)
{
    return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8
        | static_cast<std::uint8_t>(s[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}

TEST(SystemSound, TheChimeIsAShortPcmWave)
{
    const std::string wave = readHostFile(std::string(RENOMIQ_SHARE_DIR) + "/end.wav", std::size_t{1} << 30).value();
    ASSERT_GT(wave.size(), 44u);
    EXPECT_EQ(wave.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(wave, 4), wave.size() - 8);
    EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wave, 20) & 0xffff, 1u);         // PCM
    EXPECT_EQ(le32(wave, 20) >> 16, 1u);            // mono
    EXPECT_EQ(le32(wave, 24), 44100u);              // samples per second
    EXPECT_EQ(le32(wave, 32) >> 16, 16u);           // bits per sample
    EXPECT_EQ(wave.substr(36, 4), "data");
    EXPECT_EQ(le32(wave, 40), wave.size() - 44);
    const double seconds = static_cast<double>(le32(wave, 40)) / (44100 * 2);
    EXPECT_GT(seconds, 0.2);
    EXPECT_LT(seconds, 1.0);
}

} // namespace
} // namespace renomiq
