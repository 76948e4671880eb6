#include "cli/cli_app.h"

#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
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
    EXPECT_EQ(refused.err, "Undo Confirmation: Do you want to UNDO the last rename operation ?\n");
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
         "filenames,\nEdit content is (Filenames in this folder(ONE layer)),continue preview ?\n"},
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

TEST_F(CliAppTest, WindowsStylePathsTakeSlashesAsSeparators)
{
    dir.createFiles({"w/a1.txt", "w/a2.txt", "w/a3.txt"});
    CliRun run = cli({"Replapart", "oldString=a", "newString=b", "T:\\w\\a1.txt", "T:\\w/a2.txt", "T:/w/a3.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "3 renamed successfully, 0 failed.\n");
    EXPECT_EQ(dir.list("w"), (Lines{"b1.txt", "b2.txt", "b3.txt"}));
    EXPECT_EQ(dir.readFile(".data-home/Corvane/Renomiq/rollback.rbk"),
              "T:\\w\\b1.txt\r\nT:\\w\\a1.txt\r\nT:\\w\\b2.txt\r\nT:\\w\\a2.txt\r\nT:\\w\\b3.txt\r\nT:\\w\\a3.txt\r\n");
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
         "Undo Confirmation: Do you want to UNDO the last rename operation ?\n", {"last.txt", "old.txt"}},
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

} // namespace
} // namespace renomiq
