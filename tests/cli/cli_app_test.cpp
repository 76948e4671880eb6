#include "cli/cli_app.h"

#include "support/media_files.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

// Runs renomiq-cli in this process; standard input is not a terminal here.
struct CliRun {
    int status;
    std::string out;
    std::string err;
};

class CliAppTest : public ::testing::Test {
protected:
    TestDir dir;

    CliRun cli(const std::vector<std::string> &args)
    {
        const int savedIn = ::dup(0);
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        ::close(devNull);
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int status = runCli(args);
        std::fflush(stdout);
        std::fflush(stderr);
        CliRun run{status, ::testing::internal::GetCapturedStdout(), ::testing::internal::GetCapturedStderr()};
        ::dup2(savedIn, 0);
        ::close(savedIn);
        return run;
    }
};

TEST_F(CliAppTest, PreviewRunAndUndoShareTheUndoLog)
{
    dir.createFiles({"p/IMG_1.jpg", "p/IMG_2.jpg", "p/x.txt"});
    CliRun preview = cli({"Replapart", "oldString=IMG_", "newString=Photo_", "--preview", dir.host("p")});
    EXPECT_EQ(preview.status, 0);
    Lines rows;
    for (std::size_t start = 0, end; (end = preview.out.find('\n', start)) != std::string::npos; start = end + 1)
        rows.push_back(preview.out.substr(start, end - start));
    EXPECT_EQ(rows, (Lines{"IMG_1.jpg\tPhoto_1.jpg", "IMG_2.jpg\tPhoto_2.jpg"}));
    EXPECT_EQ(dir.list("p"), (Lines{"IMG_1.jpg", "IMG_2.jpg", "x.txt"}));

    CliRun run = cli({"Replapart", "oldString=IMG_", "newString=Photo_", TestDir::win("p")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "2 renamed successfully, 0 failed.\n");
    EXPECT_EQ(dir.list("p"), (Lines{"Photo_1.jpg", "Photo_2.jpg", "x.txt"}));
    EXPECT_TRUE(dir.exists(".data-home/Corvane/Renomiq/rollback.rbk"));
    EXPECT_FALSE(dir.exists(".data-home/Corvane/Renomiq/rollback.jnl"));
    EXPECT_EQ(dir.readFile(".data-home/Corvane/Renomiq/Newname.txt"), "Photo_\r\n");

    // Without --yes and without a terminal the question is answered No.
    CliRun refused = cli({"undo"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Undo Confirmation: Do you want to UNDO the last rename operation ?\n"
                           "renomiq-cli: standard input is not a terminal, so the answer is No; give --yes to answer "
                           "Yes.\n");
    CliRun undo = cli({"undo", "--yes"});
    EXPECT_EQ(undo.status, 0);
    EXPECT_EQ(undo.out, "Undo done.\n");
    EXPECT_EQ(dir.list("p"), (Lines{"IMG_1.jpg", "IMG_2.jpg", "x.txt"}));
    EXPECT_EQ(cli({"undo", "--yes"}).status, 1);
}

TEST_F(CliAppTest, EveryKindAndScope)
{
    dir.createFiles({"k/a b.TXT", "k/sub/c.txt", "k/sub/deep/", "one.txt", "two.txt"});
    const struct {
        Lines args;
        int status;
        Lines after; // the listing of `where` afterwards
        const char *where;
    } rows[] = {
        {{"Removpart", "removeString1= "}, 0, {"ab.TXT", "sub"}, "k"},
        {{"Changexten", "extensionMode=convertCase"}, 0, {"ab.txt", "sub"}, "k"},
        {{"Addnewnum", "atEnd=true", "endText=_$$", "--scope", "1"}, 0, {"ab_01.txt", "sub"}, "k"},
        {{"Changnew", "changeMode=convertCase", "nameCase=upper", "--scope", "2"}, 0, {"DEEP", "c_01.txt"}, "k/SUB"},
        {{"Changnew", "newName=Folder", "--scope", "3"}, 0, {"Folder", "one.txt", "two.txt"}, ""},
    };
    for (const auto &row : rows) {
        Lines args = row.args;
        args.push_back(dir.host("k"));
        CliRun run = cli(args);
        EXPECT_EQ(run.status, row.status) << args[0] << ": " << run.err;
        EXPECT_EQ(dir.list(row.where), row.after) << args[0];
    }

    // Files given one by one are files mode.
    CliRun files = cli({"Addnewnum", "atHead=true", "headText=$_", dir.host("one.txt"), dir.host("two.txt")});
    EXPECT_EQ(files.status, 0);
    EXPECT_EQ(dir.list(), (Lines{"1_one.txt", "2_two.txt", "Folder"}));
}

TEST_F(CliAppTest, ADataFolderReachedThroughALinkIsNeverRenamed)
{
    dir.createFiles({"t/real/", "t/other.txt"});
    ASSERT_EQ(::symlink(dir.host("t/real").c_str(), dir.host("datalink").c_str()), 0);
    ::setenv("XDG_DATA_HOME", dir.host("datalink").c_str(), 1);
    CliRun run = cli({"Addnewnum", "atHead=true", "headText=x", "--scope", "1", "--yes", dir.host("t")});
    ::setenv("XDG_DATA_HOME", dir.dataHome().c_str(), 1);
    EXPECT_EQ(dir.list("t"), (Lines{"real", "xother.txt"}));
    EXPECT_NE(run.err.find("'T:\\t\\real\\Corvane\\Renomiq\\Newname.txt' can not be renamed, because it is one of "
                           "the program's own files"),
              std::string::npos)
        << run.err;
    // Its lists, its lock and the run's own journal.
    EXPECT_EQ(run.out, "1 renamed successfully, 3 failed.\n") << run.err;
    for (const std::string &name : dir.list("t/real/Corvane/Renomiq"))
        EXPECT_NE(name[0], 'x') << name;
}

TEST_F(CliAppTest, NamesThisFileSystemHoldsAreRenamed)
{
    dir.createFiles({"m/Meeting 10:30.txt", "m/Who?.mp3", "m/Due: \"soon\"/a.txt"});
    const struct {
        Lines args;
        const char *where;
        Lines after;
    } rows[] = {
        {{"Addnewnum", "atHead=true", "headText=x_", dir.host("m")}, "m", {"Due: \"soon\"", "x_Meeting 10:30.txt", "x_Who?.mp3"}},
        // The folder's name, through its token, brings its characters along.
        {{"Addnewnum", "atHead=true", "headText=%%_", dir.host("m/Due: \"soon\"")}, "m/Due: \"soon\"",
         {"Due: \"soon\"_a.txt"}},
    };
    for (const auto &row : rows) {
        CliRun run = cli(row.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(dir.list(row.where), row.after);
    }
    CliRun preview = cli({"Addnewnum", "atHead=true", "headText=y_", "--preview", dir.host("m")});
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out, "x_Meeting 10:30.txt\ty_x_Meeting 10:30.txt\nx_Who?.mp3\ty_x_Who?.mp3\n");
    // A text the user types still keeps to the nine characters.
    CliRun typed = cli({"Addnewnum", "atEnd=true", "endText=?", dir.host("m")});
    EXPECT_EQ(typed.status, 1);
    EXPECT_EQ(typed.err, "Information: You should remove one of following nine characters from input text, because "
                         "they are prohibited in Windows filenames:  \\ / : * ? \" < > |\n");
    CliRun undo = cli({"undo", "--yes"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(dir.list("m/Due: \"soon\""), Lines{"a.txt"});
}

TEST_F(CliAppTest, RefusalsAndNothingRenamed)
{
    dir.createFiles({"r/a.txt"});
    const struct {
        Lines args;
        int status;
        const char *err;
    } rows[] = {
        {{"Replapart", "newString=x"}, 1, "Information: Please input the old part of file name\n"},
        {{"Replapart", "oldString=zzz", "newString=y"}, 1,
         "Information: No filename had been changed,please check input text and \nmake sure that the targeted files "
         "can be renamed.\n"},
        {{"Changnew", "newName=a"}, 1, "Information: No filename had been changed,please check input text and \nmake "
                                       "sure that the targeted files can be renamed.\n"},
        {{"Changnew", "newName=a:b?"}, 1,
         "Information: You should remove one of following nine characters from input text, because they are "
         "prohibited in Windows filenames:  \\ / : * ? \" < > |\n"},
        {{"Replapart", "oldString=a", "--preview"}, 1,
         "Confirmation: The new part is empty, it will REMOVE old part 'a'(case insensitive) from original "
         "filenames,\nEdit content is (Filenames in this folder(ONE layer)),continue preview ?\n"
         "renomiq-cli: standard input is not a terminal, so the answer is Cancel; give --yes to answer OK.\n"},
    };
    for (const auto &row : rows) {
        Lines args = row.args;
        args.push_back(dir.host("r"));
        CliRun run = cli(args);
        EXPECT_EQ(run.status, row.status) << row.err;
        EXPECT_EQ(run.err, row.err);
    }
    EXPECT_EQ(cli({"Changnew", "newName=x", dir.host("nothing")}).status, 2);
    EXPECT_EQ(dir.list("r"), Lines{"a.txt"});
}

TEST_F(CliAppTest, RefusesWhatTheWindowsRefuse)
{
    dir.createFiles({"r/a.txt", "subs/in/b.txt"});
    const std::string usage = "\nTry 'renomiq-cli --help' for more information.\n";
    const std::string longExtension(254, 'e');
    const struct {
        Lines args;
        int status;
        std::string err;
    } rows[] = {
        {{"Changnew", "newName=%3%", "randomUpper=false", "randomLower=false", "randomDigits=false", dir.host("r")},
         2, "renomiq-cli: You have to select at least one choice." + usage},
        {{"Changnew", "newName=x", "--scope", "3", "T:\\"}, 1, "Information: Can not rename root directory !\n"},
        {{"Changexten", "newExtension=" + longExtension, dir.host("r")}, 2,
         "renomiq-cli: bad value '" + longExtension + "' for field 'newExtension'" + usage},
        {{"Changexten", "oldExtension=" + longExtension, dir.host("r")}, 2,
         "renomiq-cli: bad value '" + longExtension + "' for field 'oldExtension'" + usage},
        {{"Changnew", "newName=x", ""}, 2, "renomiq-cli: empty TARGET" + usage},
        {{"Changnew", "newName=x", dir.host("r"), ""}, 2, "renomiq-cli: empty TARGET" + usage},
        // The target check's message comes once, and the run goes on with the subfolder's file.
        {{"Changnew", "newName=x", "--scope", "1", dir.host("subs")}, 0, "Information: There is no file(one layer) now!\n"},
    };
    for (const auto &row : rows) {
        CliRun run = cli(row.args);
        EXPECT_EQ(run.status, row.status) << row.err;
        EXPECT_EQ(run.err, row.err);
    }
    EXPECT_EQ(dir.list("r"), Lines{"a.txt"});
    EXPECT_EQ(dir.list("subs/in"), Lines{"x.txt"});
}

TEST_F(CliAppTest, FailuresNameTheirReasonOnStandardError)
{
    dir.createFiles({"t/a.txt", "w/a", "w/b\\c"});
    std::string longName; // 130 characters, 260 bytes: within the program's limit, beyond the host's
    for (int i = 0; i < 130; ++i)
        longName += "\xc3\xa9";
    CliRun tooLong = cli({"Changnew", "newName=" + longName, dir.host("t")});
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_EQ(tooLong.err, "Rename Error: Rename failed when rename: T:\\t\\a.txt To: T:\\t\\" + longName
                               + ".txt (File name too long)\n"
                                 "Information: No filename had been changed,please check input text and \nmake sure "
                                 "that the targeted files can be renamed.\n");

    CliRun skipped = cli({"Addnewnum", "atHead=true", "headText=z", dir.host("w")});
    EXPECT_EQ(skipped.status, 0);
    EXPECT_EQ(skipped.err, "renomiq-cli: skipped T:\\w\\b\\c: the name holds '\\', which a Windows-style path "
                           "cannot hold\n");
    EXPECT_EQ(skipped.out, "1 renamed successfully, 1 failed.\n");
    EXPECT_EQ(dir.list("w"), (Lines{"b\\c", "za"}));
}

TEST_F(CliAppTest, RegularExpressionsReplaceByPattern)
{
    dir.createFiles({"r/IMG_0042.jpg", "r/img_7.JPG", "r/notes.txt", "r/" + std::string(40, 'x') + ".txt"});
    const std::string pattern = "oldString=IMG_(\\d+)";
    CliRun preview = cli({"replace", "replaceRegex=true", pattern, "newString={1}_trip", "--preview", dir.host("r")});
    EXPECT_EQ(preview.status, 0);
    EXPECT_EQ(preview.out, "IMG_0042.jpg\t0042_trip.jpg\nimg_7.JPG\t7_trip.JPG\n");

    CliRun invalid = cli({"replace", "replaceRegex=true", "oldString=IMG_(\\d+", "newString=x", "--yes", dir.host("r")});
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.err, "Error: The regular expression 'IMG_(\\d+' is not valid: missing closing parenthesis (at "
                           "position 9).\n");

    // A runaway pattern fails its item and leaves the others to be renamed.
    CliRun run = cli({"replace", "replaceRegex=true", "oldString=^(x+x+)+\\d|_(\\d+)$", "newString=_n{2}", "--yes",
                      dir.host("r")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "2 renamed successfully, 1 failed.\n");
    EXPECT_NE(run.err.find("match limit"), std::string::npos) << run.err;
    EXPECT_EQ(dir.list("r"), (Lines{"IMG_n0042.jpg", "img_n7.JPG", "notes.txt", std::string(40, 'x') + ".txt"}));
    EXPECT_EQ(cli({"replace", "replaceRegex=maybe", "oldString=a", dir.host("r")}).status, 2);
}

TEST_F(CliAppTest, WindowsStylePathsTakeSlashesAsSeparators)
{
    dir.createFiles({"w/a1.txt", "w/a2.txt", "w/a3.txt"});
    CliRun run = cli({"Replapart", "oldString=a", "newString=b", "T:\\w\\a1.txt", "T:\\w/a2.txt", "T:/w/a3.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 renamed successfully, 0 failed.\n");
    EXPECT_EQ(dir.list("w"), (Lines{"b1.txt", "b2.txt", "b3.txt"}));
    // The folder the files lie in, then each pair after the identity line of its item.
    std::string log = dir.folderLine("w", "T:\\w\\") + "\r\n";
    for (const char *item : {"1.txt", "2.txt", "3.txt"}) {
        struct stat st {};
        ::stat(dir.host(std::string("w/b") + item).c_str(), &st);
        log += "#item " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + "\r\nT:\\w\\b" + item
            + "\r\nT:\\w\\a" + item + "\r\n";
    }
    EXPECT_EQ(dir.readFile(".data-home/Corvane/Renomiq/rollback.rbk"), log);
}

// "X:" starts a Windows-style path only for a drive of the table followed by a
// separator or nothing; anything else is a host name relative to the current folder.
TEST_F(CliAppTest, DriveLettersOnlyForDrivesOfTheTable)
{
    const std::string usage = "\nTry 'renomiq-cli --help' for more information.\n";
    const struct {
        const char *file;   // under d, the current folder
        const char *target;
        int status;
        std::string err;
        const char *folder; // where the file was
        Lines after;
    } rows[] = {
        {"t:y.txt", "t:y.txt", 0, "", "d", {"x.txt"}},
        {"q:/a.txt", "q:/a.txt", 0, "", "d/q:", {"x.txt"}}, // no drive Q
        {"a.txt", "T:\\d\\a.txt", 0, "", "d", {"x.txt"}},
        {"a.txt", "t:/d/a.txt", 0, "", "d", {"x.txt"}},
        // A host name cannot hold '\\'.
        {"a.txt", "q:\\d\\a.txt", 2, "renomiq-cli: no drive holds 'q:\\d\\a.txt'" + usage, "d", {"a.txt"}},
    };
    const int savedFolder = ::open(".", O_RDONLY | O_DIRECTORY);
    for (const auto &row : rows) {
        dir.createFiles({std::string("d/") + row.file});
        ASSERT_EQ(::chdir(dir.host("d").c_str()), 0);
        CliRun run = cli({"Changnew", "newName=x", row.target});
        EXPECT_EQ(run.status, row.status) << row.target;
        EXPECT_EQ(run.err, row.err) << row.target;
        EXPECT_EQ(dir.list(row.folder), row.after) << row.target;
        ASSERT_EQ(::fchdir(savedFolder), 0);
        std::filesystem::remove_all(dir.host("d"));
    }
    ::close(savedFolder);
}

TEST_F(CliAppTest, UndoOfAGivenLog)
{
    dir.createFiles({"g/new.txt", "g/last.txt", ".data-home/Corvane/Renomiq/"});
    dir.writeFile("kept.rbk", "T:\\g\\new.txt\r\nT:\\g\\old.txt\r\n");
    dir.writeFile(".data-home/Corvane/Renomiq/rollback.rbk", "T:\\g\\last.txt\r\nT:\\g\\before.txt\r\n");
    const struct {
        Lines args;
        int status;
        const char *out;
        const char *err;
        Lines after;
    } rows[] = {
        {{"undo", "--log", "T:\\missing.rbk", "--yes"}, 1, "", "renomiq-cli: no such undo log: T:\\missing.rbk\n",
         {"last.txt", "new.txt"}},
        {{"undo", "--log", "T:/kept.rbk", "--yes"}, 0, "Undo done.\n",
         "Undo Confirmation: Do you want to UNDO the rename operation recorded in 'T:\\kept.rbk' ?\n",
         {"last.txt", "old.txt"}},
        {{"undo", "--yes"}, 0, "Undo done.\n", "Undo Confirmation: Do you want to UNDO the last rename operation ?\n",
         {"before.txt", "old.txt"}},
    };
    for (const auto &row : rows) {
        CliRun run = cli(row.args);
        EXPECT_EQ(run.status, row.status) << row.args[2];
        EXPECT_EQ(run.out, row.out) << row.args[2];
        EXPECT_EQ(run.err, row.err) << row.args[2];
        EXPECT_EQ(dir.list("g"), row.after) << row.args[2];
    }
    EXPECT_FALSE(dir.exists("kept.rbk"));
}

// An undo whose log cannot take what it left (the log's temporary name is
// too long for the file system) reports that failure and never "Undo done.".
TEST_F(CliAppTest, AnUndoWhoseLogCannotBeRewrittenFails)
{
    dir.createFiles({"g/b.txt"});
    const std::string name = std::string(248, 'l') + ".rbk";
    dir.writeFile(name, "T:\\g\\b.txt\r\nT:\\g\\a.txt\r\nT:\\g\\gone.txt\r\nT:\\g\\was.txt\r\n");
    CliRun run = cli({"undo", "--log", dir.host(name), "--yes"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::string error = "Error: The undo log could not be written: ";
    EXPECT_NE(run.err.find(error), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Undo done."), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("could not be restored"), std::string::npos) << run.err;
    EXPECT_EQ(dir.list("g"), Lines{"a.txt"});
    // The log stays as it was: the next undo tries its pairs again.
    EXPECT_EQ(dir.readFile(name), "T:\\g\\b.txt\r\nT:\\g\\a.txt\r\nT:\\g\\gone.txt\r\nT:\\g\\was.txt\r\n");
}

// What writes of the registry killed midway left beside it goes at the next
// start, even one that writes no setting; only those, and only regular files
// that no live process holds.
TEST_F(CliAppTest, StartUpRemovesTheRegistrysWriteLeftovers)
{
    const std::string config = ".config-home/Corvane/Renomiq/";
    dir.createFiles({config, "outside.txt"});
    // A start before has written every setting: this one writes none.
    EXPECT_EQ(cli({"undo", "--yes"}).status, 1);
    const std::string registry = dir.readFile(config + "registry.reg");
    dir.writeFile(config + "registry.reg.tmp-AbC123", "Windows Registry");
    dir.writeFile(config + "registry.reg.tmp-held00", "Windows Registry");
    dir.writeFile(config + "registry.reg.tmp-toolong", "x");
    dir.writeFile(config + "registry.reg.old", "x");
    ASSERT_EQ(::symlink(dir.host("outside.txt").c_str(), dir.host(config + "registry.reg.tmp-LiNk00").c_str()), 0);
    ASSERT_EQ(::mkfifo(dir.host(config + "registry.reg.tmp-FiFo00").c_str(), 0600), 0);
    const int held = ::open(dir.host(config + "registry.reg.tmp-held00").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    CliRun run = cli({"undo", "--yes"});
    ::close(held);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(dir.list(config), (Lines{"registry.reg", "registry.reg.lock", "registry.reg.old", "registry.reg.tmp-FiFo00", "registry.reg.tmp-LiNk00",
                                       "registry.reg.tmp-held00", "registry.reg.tmp-toolong"}));
    EXPECT_TRUE(dir.exists("outside.txt"));
    EXPECT_EQ(dir.readFile(config + "registry.reg"), registry);
}

// The undo history as renomiq-cli lists it, and undo --steps, which undoes
// the newest operations one after the other.
TEST_F(CliAppTest, HistoryAndUndoOfSeveralSteps)
{
    dir.createFiles({"h/a.txt", "h/b.txt"});
    ASSERT_EQ(cli({"replace", "oldString=a", "newString=c", dir.host("h")}).status, 0);
    ASSERT_EQ(cli({"insert", "atHead=true", "headText=x_", dir.host("h")}).status, 0);
    EXPECT_EQ(dir.list("h"), (Lines{"x_b.txt", "x_c.txt"}));

    const CliRun history = cli({"history"});
    EXPECT_EQ(history.status, 0);
    EXPECT_EQ(history.err, "");
    std::vector<Lines> rows;
    for (std::size_t start = 0, end; (end = history.out.find('\n', start)) != std::string::npos; start = end + 1) {
        Lines fields;
        const std::string line = history.out.substr(start, end - start);
        for (std::size_t from = 0, tab;; from = tab + 1) {
            tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab == std::string::npos ? tab : tab - from));
            if (tab == std::string::npos)
                break;
        }
        rows.push_back(fields);
    }
    ASSERT_EQ(rows.size(), 2u) << history.out;
    const std::string data = dir.host(".data-home/Corvane/Renomiq/");
    EXPECT_EQ(rows[0], (Lines{"1", rows[0][1], "Insert", "2 items", "T:\\h\\", data + "rollback.rbk"}));
    ASSERT_EQ(rows[1].size(), 6u);
    EXPECT_EQ(rows[1], (Lines{"2", rows[1][1], "Replace", "1 item", "T:\\h\\", rows[1][5]}));
    EXPECT_EQ(rows[1][5].rfind(data + "rollback.h", 0), 0u) << rows[1][5];
    EXPECT_FALSE(rows[0][1].empty());

    const struct {
        Lines args;
        int status;
        const char *out;
        Lines after;
    } steps[] = {
        // Without --yes and a terminal the first question is answered No.
        {{"undo", "--steps", "2"}, 1, "", {"x_b.txt", "x_c.txt"}},
        {{"undo", "--steps", "3", "--yes"}, 1, "", {"x_b.txt", "x_c.txt"}},
        {{"undo", "--steps", "2", "--yes"}, 0, "Undo done.\nUndo done.\n", {"a.txt", "b.txt"}},
        {{"undo", "--steps", "1", "--yes"}, 1, "", {"a.txt", "b.txt"}},
    };
    for (const auto &step : steps) {
        const CliRun run = cli(step.args);
        EXPECT_EQ(run.status, step.status) << step.args[2] << run.err;
        EXPECT_EQ(run.out, step.out) << step.args[2];
        EXPECT_EQ(dir.list("h"), step.after) << step.args[2];
    }
    EXPECT_EQ(cli({"undo", "--steps", "3", "--yes"}).err, "renomiq-cli: there is no operation to undo\n");
    const CliRun empty = cli({"history"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
    EXPECT_EQ(empty.err, "renomiq-cli: no operation is kept for undo\n");
}

// A file given as the log that is no undo log is refused and stays as it was:
// never deleted, never rewritten, and nothing is renamed through it.
TEST_F(CliAppTest, UndoRefusesAFileThatIsNoUndoLog)
{
    dir.createFiles({"g/new.txt"});
    dir.writeFile("notes.txt", "my only line\n");
    dir.writeFile("empty.txt", "");
    dir.writeFile("real.rbk", "T:\\g\\new.txt\r\nT:\\g\\old.txt\r\n");
    ASSERT_EQ(::mkfifo(dir.host("fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink(dir.host("real.rbk").c_str(), dir.host("link.rbk").c_str()), 0);
    const std::string prefix = "Error: The undo log could not be read: ";
    const struct {
        const char *file;
        std::string err;
    } rows[] = {
        {"notes.txt", prefix + "'T:\\notes.txt' holds no pair of names to undo; it is left as it is\n"},
        {"empty.txt", prefix + "'T:\\empty.txt' holds no pair of names to undo; it is left as it is\n"},
        {"fifo", prefix + "'T:\\fifo' is not a regular file\n"},
        {"link.rbk", prefix + "'T:\\link.rbk' is a link, not a regular file\n"},
    };
    const auto identity = [&](const char *file) {
        struct stat st {};
        ::lstat(dir.host(file).c_str(), &st);
        return std::make_tuple(st.st_ino, st.st_mode, st.st_size, st.st_mtim.tv_nsec);
    };
    for (const auto &row : rows) {
        const auto before = identity(row.file);
        CliRun run = cli({"undo", "--log", dir.host(row.file), "--yes"});
        EXPECT_EQ(run.status, 1) << row.file;
        EXPECT_EQ(run.out, "") << row.file;
        EXPECT_EQ(run.err, "Undo Confirmation: Do you want to UNDO the rename operation recorded in 'T:\\"
                               + std::string(row.file) + "' ?\n" + row.err)
            << row.file;
        EXPECT_TRUE(dir.exists(row.file)) << row.file;
        EXPECT_EQ(identity(row.file), before) << row.file;
    }
    EXPECT_EQ(dir.readFile("notes.txt"), "my only line\n");
    EXPECT_EQ(dir.list("g"), Lines{"new.txt"});
}

// A character device as /dev/null is, made in the test folder (root only).
TEST_F(CliAppTest, UndoRefusesACharacterDeviceAsItsLog)
{
    if (::mknod(dir.host("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        GTEST_SKIP() << "no character device can be made here: " << std::strerror(errno);
    struct stat before {};
    ASSERT_EQ(::lstat(dir.host("null").c_str(), &before), 0);
    CliRun run = cli({"undo", "--log", dir.host("null"), "--yes"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Undo Confirmation: Do you want to UNDO the rename operation recorded in 'T:\\null' ?\n"
                       "Error: The undo log could not be read: 'T:\\null' is not a regular file\n");
    struct stat after {};
    ASSERT_EQ(::lstat(dir.host("null").c_str(), &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
}

TEST_F(CliAppTest, SaveWritesTheNameList)
{
    dir.createFiles({"s/sub/", "s/a.txt"});
    CliRun save = cli({"Savealls", "--output", dir.host("list"), dir.host("s")});
    EXPECT_EQ(save.status, 0) << save.err;
    const std::string text = dir.readFile("list.txt");
    EXPECT_EQ(text.rfind("Files name(ONE layer) in folder, T:\\s\\\r\n[", 0), 0u) << text;
    EXPECT_NE(text.find("]\r\n<sub>\r\na.txt\r\n"), std::string::npos) << text;

    CliRun some = cli({"Savesomes", "--output", dir.host("some.txt"), dir.host("s/a.txt"), dir.host("s/sub")});
    EXPECT_EQ(some.status, 0) << some.err;
    EXPECT_NE(dir.readFile("some.txt").find("Selected files names:\r\nIn folder, <T:\\s\\>\r\n  a.txt\r\n  <sub>\r\n"),
              std::string::npos);
    // The file exists now: the question is answered Cancel, and nothing is written.
    EXPECT_EQ(cli({"Savesomes", "--output", dir.host("some.txt"), dir.host("s/a.txt")}).status, 1);
}

TEST_F(CliAppTest, FriendlyNamesStandForTheKeywords)
{
    const struct {
        Lines args;
        Lines after; // the folder's names afterwards, or the export's first line
    } rows[] = {
        {{"remove", "removeString1=_x"}, {"a.txt", "b.txt"}},
        {{"replace", "oldString=a", "newString=c"}, {"b.txt", "c_x.txt"}},
        {{"insert", "atHead=true", "headText=n"}, {"na_x.txt", "nb.txt"}},
        {{"change", "changeMode=convertCase", "nameCase=upper"}, {"A_X.TXT", "B.TXT"}},
        {{"extension", "oldExtension=txt", "newExtension=md"}, {"a_x.md", "b.md"}},
        {{"export-folder", "--output", "OUT"}, {"b.txt"}},
        {{"export-files", "--output", "OUT"}, {"  b.txt"}},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string folder = "e" + std::to_string(n) + "/";
        dir.createFiles({folder + "a_x.txt", folder + "b.txt"});
        ::rename(dir.host(folder).c_str(), dir.host("e").c_str());
        Lines args = row.args;
        const std::string out = dir.host("out" + std::to_string(n++) + ".txt");
        for (std::string &a : args)
            a = a == "OUT" ? out : a;
        args.push_back(row.args[0] == "export-files" ? dir.host("e/b.txt") : dir.host("e"));
        CliRun run = cli(args);
        EXPECT_EQ(run.status, 0) << args[0] << ": " << run.err;
        if (row.args[0].rfind("export", 0) == 0) {
            const std::string text = dir.readFile("out" + std::to_string(n - 1) + ".txt");
            EXPECT_NE(text.find(row.after[0] + "\r\n"), std::string::npos) << args[0] << ": " << text;
            EXPECT_EQ(dir.list("e"), (Lines{"a_x.txt", "b.txt"})) << args[0];
        } else {
            EXPECT_EQ(dir.list("e"), row.after) << args[0];
        }
        std::filesystem::remove_all(dir.host("e"));
    }
    // The keywords keep working beside them.
    dir.createFiles({"k/a.txt"});
    EXPECT_EQ(cli({"Changexten", "oldExtension=txt", "newExtension=md", dir.host("k")}).status, 0);
    EXPECT_EQ(dir.list("k"), Lines{"a.md"});
}

TEST_F(CliAppTest, VersionIsTheProjectsVersion)
{
    for (const Lines &args : {Lines{"--version"}, Lines{"replace", "--version"}, Lines{"undo", "--version"}}) {
        CliRun run = cli(args);
        EXPECT_EQ(run.status, 0) << args[0];
        EXPECT_EQ(run.out, "renomiq-cli 0.1.0\n") << args[0];
        EXPECT_EQ(run.err, "") << args[0];
    }
}

// The number of rows a preview printed, and whether it said there are more.
std::pair<int, bool> previewRows(const std::string &out)
{
    int rows = 0;
    bool more = false;
    for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = out.substr(start, end - start);
        if (line == "(Others not shown...)")
            more = true;
        else
            ++rows;
    }
    return {rows, more};
}

TEST_F(CliAppTest, PreviewShowsTheStoredNumberOfRowsUnlessLimited)
{
    std::vector<std::string> files;
    for (int i = 10; i < 35; ++i)
        files.push_back("p/IMG_" + std::to_string(i) + ".jpg");
    dir.createFiles(files);
    const struct {
        Lines options;
        int status;
        int rows;
        bool more;
    } rows[] = {
        {{}, 0, 20, true},
        {{"--limit", "3"}, 0, 3, true},
        {{"--limit", "all"}, 0, 25, false},
        {{"--limit", "25"}, 0, 25, false},
        {{}, 0, 20, true}, // a limit is for its run only
        {{"--limit", "0"}, 2, 0, false},
        {{"--limit", "some"}, 2, 0, false},
        {{"--limit"}, 2, 0, false},
    };
    for (const auto &row : rows) {
        Lines args = {"replace", "oldString=IMG_", "newString=P_", "--preview"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        args.push_back(dir.host("p"));
        CliRun run = cli(args);
        const std::string label = row.options.empty() ? "(none)" : row.options.back();
        EXPECT_EQ(run.status, row.status) << label << run.err;
        EXPECT_EQ(previewRows(run.out), std::make_pair(row.rows, row.more)) << label;
    }
    EXPECT_EQ(cli({"replace", "--limit", "0", "x"}).err,
              "renomiq-cli: bad value '0' for --limit (a number from 1, or all)\n"
              "Try 'renomiq-cli --help' for more information.\n");
    EXPECT_EQ(dir.list("p").front(), "IMG_10.jpg");
}

std::vector<nlohmann::json> jsonRows(const std::string &out)
{
    std::vector<nlohmann::json> rows;
    for (std::size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1)
        rows.push_back(nlohmann::json::parse(out.substr(start, end - start)));
    std::sort(rows.begin(), rows.end(), [](const nlohmann::json &a, const nlohmann::json &b) {
        return a["old"].get<std::string>() < b["old"].get<std::string>();
    });
    return rows;
}

TEST_F(CliAppTest, JsonRowsForPreviewsAndRuns)
{
    dir.createFiles({"j/IMG_1.jpg", "j/IMG_2 'é'.jpg", "j/IMG_\n.jpg", "j/b\\c", "j/x.txt"});
    using nlohmann::json;
    CliRun preview = cli({"replace", "oldString=IMG_", "newString=P_", "--preview", "--format", "json", dir.host("j")});
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(jsonRows(preview.out),
              (std::vector<json>{
                  json{{"old", "IMG_\n.jpg"}, {"new", "P_\n.jpg"}, {"status", "refused"}},
                  json{{"old", "IMG_1.jpg"}, {"new", "P_1.jpg"}, {"status", "renamed"}},
                  json{{"old", "IMG_2 'é'.jpg"}, {"new", "P_2 'é'.jpg"}, {"status", "renamed"}},
              }))
        << preview.out;
    EXPECT_EQ(dir.list("j").front(), "IMG_\n.jpg");

    CliRun paths = cli({"replace", "oldString=IMG_1", "newString=P_1", "--preview", "--scope", "1", "--format", "json",
                        dir.host("j")});
    EXPECT_EQ(jsonRows(paths.out),
              (std::vector<json>{json{{"old", dir.host("j/IMG_1.jpg")}, {"new", dir.host("j/P_1.jpg")},
                                      {"status", "renamed"}}}));

    CliRun run = cli({"replace", "oldString=IMG_", "newString=P_", "--format", "json", dir.host("j")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(jsonRows(run.out),
              (std::vector<json>{
                  json{{"old", dir.host("j/IMG_\n.jpg")}, {"new", dir.host("j/P_\n.jpg")}, {"status", "refused"}},
                  json{{"old", dir.host("j/IMG_1.jpg")}, {"new", dir.host("j/P_1.jpg")}, {"status", "renamed"}},
                  json{{"old", dir.host("j/IMG_2 'é'.jpg")}, {"new", dir.host("j/P_2 'é'.jpg")},
                       {"status", "renamed"}},
                  json{{"old", dir.host("j/x.txt")}, {"new", dir.host("j/x.txt")}, {"status", "unchanged"}},
                  json{{"old", "T:\\j\\b\\c"}, {"new", nullptr}, {"status", "failed"}},
              }))
        << run.out;
    // The result goes to standard error, after the messages.
    const std::string result = "2 renamed successfully, 2 failed.\n";
    ASSERT_GE(run.err.size(), result.size());
    EXPECT_EQ(run.err.substr(run.err.size() - result.size()), result);
    EXPECT_EQ(dir.list("j"), (Lines{"IMG_\n.jpg", "P_1.jpg", "P_2 'é'.jpg", "b\\c", "x.txt"}));
    EXPECT_EQ(cli({"replace", "--format", "xml", "x"}).status, 2);
}

// Photos named by when they were taken, and numbered in that order; a photo
// without the date, or a damaged one, gets the empty text: no name, so it
// stays, and it comes last in the taken order.
TEST_F(CliAppTest, PhotosNamedByWhenTheyWereTaken)
{
    dir.createFiles({"p/"});
    const auto photo = [this](const std::string &name, const std::string &taken, const std::string &model) {
        test::ExifFields fields;
        fields.dateTimeOriginal = taken;
        fields.model = model;
        dir.writeFile("p/" + name, test::jpegWithExif(fields));
    };
    photo("IMG_0001.jpg", "2024:07:14 09:30:12", "Canon EOS R6");
    photo("IMG_0002.jpg", "2024:07:14 08:15:00", "Canon EOS R6");
    photo("DSC_0100.JPG", "2024:07:15 18:00:05", "NIKON Z 6");
    dir.writeFile("p/scan.jpg", test::plainJpeg());
    dir.writeFile("p/broken.jpg", test::jpegWithExif({}).substr(0, 40));

    CliRun preview = cli({"change", "newName={taken;yyyy-MM-dd HH.mm.ss} {camera}", "--preview", dir.host("p")});
    EXPECT_EQ(preview.out, "broken.jpg\t(none).jpg\n"
                           "DSC_0100.JPG\t2024-07-15 18.00.05 NIKON Z 6.JPG\n"
                           "IMG_0001.jpg\t2024-07-14 09.30.12 Canon EOS R6.jpg\n"
                           "IMG_0002.jpg\t2024-07-14 08.15.00 Canon EOS R6.jpg\n"
                           "scan.jpg\t(none)(1).jpg\n");

    CliRun run = cli({"change", "newName={taken;yyyy-MM-dd HH.mm.ss}", dir.host("p")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(dir.list("p"), (Lines{"2024-07-14 08.15.00.jpg", "2024-07-14 09.30.12.jpg", "2024-07-15 18.00.05.JPG",
                                    "broken.jpg", "scan.jpg"}));

    // Each day's photos numbered in shooting order.
    CliRun numbered = cli({"change", "newName={taken;yyyy-MM-dd}_$$$", "numberOrder=taken", dir.host("p")});
    EXPECT_EQ(numbered.status, 0) << numbered.err;
    EXPECT_EQ(dir.list("p"), (Lines{"2024-07-14_001.jpg", "2024-07-14_002.jpg", "2024-07-15_003.JPG", "_004.jpg",
                                    "_005.jpg"}));
    EXPECT_EQ(dir.readFile("p/2024-07-14_001.jpg").size(), test::jpegWithExif([] {
                  test::ExifFields f;
                  f.dateTimeOriginal = "2024:07:14 08:15:00";
                  f.model = "Canon EOS R6";
                  return f;
              }()).size());

    CliRun bad = cli({"change", "newName=x", "numberOrder=shot", dir.host("p")});
    EXPECT_EQ(bad.status, 2);
}

} // namespace
} // namespace renomiq
