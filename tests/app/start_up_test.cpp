// The windows' start: what the program reads of its own before the first
// window shows (the settings file, the journals of runs that died).
#include "app/program_window.h"
#include "run/start_up.h"
#include "state/app_state.h"
#include "support/special_files.h"
#include "support/test_platform.h"

#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::makeSpecial;
using test::Special;

// Anything but a regular file within its bound where the settings file or a
// journal should be: one box names it and what is wrong, the file is not
// deleted, and the list window starts with the defaults.
TEST(WindowsStartUp, SaysWhichOfTheProgramsOwnFilesCouldNotBeRead)
{
    struct Row {
        const char *name;
        bool journal; // else the settings file
        Special kind;
        long bound;
        const char *problem;
    };
    const Row rows[] = {
        {"registry FIFO", false, Special::Fifo, 0, "is not a regular file"},
        {"registry link to /dev/zero", false, Special::LinkToZero, 0, "is not a regular file"},
        {"registry over 16 MiB", false, Special::Oversized, long{16} << 20, "is larger than 16 MiB"},
        {"journal FIFO", true, Special::Fifo, 0, "is not a regular file"},
        {"journal link to /dev/zero", true, Special::LinkToZero, 0, "is not a regular file"},
        {"journal over 1024 MiB", true, Special::Oversized, long{1} << 30, "is larger than 1024 MiB"},
    };
    for (const Row &row : rows) {
        test::TestPlatform platform;
        const std::string config = ".config-home/Corvane/Renomiq/";
        const std::string data = ".data-home/Corvane/Renomiq/";
        platform.dir.createFiles({config, data});
        const std::string file = row.journal ? data + "rollback.77-00000000abcd.jnl" : config + "registry.reg";
        makeSpecial(platform.dir.host(file), row.kind, row.bound);

        AppState state(platform.platform);
        ProgramWindows program(state);
        platform.prompter.expect(Answer::Ok);
        recoverAtStartUp(state);
        std::string expected;
        if (row.journal) {
            const std::string path = test::TestDir::win("") + ".data-home\\Corvane\\Renomiq\\rollback.77-00000000abcd.jnl";
            expected = "The journal of a run '" + path + "' " + row.problem
                + (row.kind == Special::Oversized ? ": nothing was read from it, and it was set aside as '" + path
                           + ".damaged'."
                                                  : std::string(": nothing was read from it, and it was left as it is."));
        } else {
            const std::string path = platform.dir.host(file);
            expected = "The settings file '" + path + "' " + row.problem + ": it was set aside as '" + path
                + ".damaged', and the settings start from their defaults.";
        }
        EXPECT_EQ(platform.prompter.texts(), std::vector<std::string>{expected}) << row.name;
        EXPECT_EQ(platform.prompter.unanswered(), 0u) << row.name;

        struct stat st {};
        const bool setAside = !row.journal || row.kind == Special::Oversized;
        EXPECT_EQ(::lstat(platform.dir.host(setAside ? file + ".damaged" : file).c_str(), &st), 0) << row.name;

        // The list window starts as it does without them.
        program.list().startUp(std::nullopt);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&program.list())) << row.name;
        EXPECT_EQ(state.settings.options.previewLimit, 20) << row.name;
    }
}

// A file where the data folder or a folder above it should be: one box names
// both, and the data folder is not taken from elsewhere (the install folder).
TEST(WindowsStartUp, SaysWhenTheDataFolderIsNoFolder)
{
    const struct {
        const char *name;
        const char *file; // a regular file there, relative to the test folder
        const char *shown;
    } rows[] = {
        {"the data folder a file", ".data-home/Corvane/Renomiq", ".data-home\\Corvane\\Renomiq"},
        {"a folder above it a file", ".data-home/Corvane", ".data-home\\Corvane"},
    };
    for (const auto &row : rows) {
        test::TestPlatform platform;
        const std::string file = row.file;
        platform.dir.createFiles({file.substr(0, file.rfind('/') + 1)});
        platform.dir.writeFile(row.file, "a file");
        AppState state(platform.platform);
        ProgramWindows program(state);
        platform.prompter.expect(Answer::Ok);
        recoverAtStartUp(state);
        const std::string data = test::TestDir::win("") + ".data-home\\Corvane\\Renomiq";
        EXPECT_EQ(platform.prompter.texts(),
                  std::vector<std::string>{"The data folder '" + data + "' cannot be used: '" + test::TestDir::win("")
                                           + row.shown
                                           + "' is not a folder. The undo log, the name history and the hand-off "
                                             "file cannot be written until it is one."})
            << row.name;
        EXPECT_EQ(state.settings.dataFolder(), data + "\\") << row.name;
        EXPECT_EQ(platform.dir.readFile(row.file), "a file") << row.name;
    }
}

} // namespace
} // namespace renomiq
