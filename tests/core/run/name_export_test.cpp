#include "run/name_export.h"

#include "support/test_app.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <set>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;
using Content = ExportChoices::Content;

class NameExportTest : public ::testing::Test {
protected:
    test::TestApp app;
    test::TestDir &dir = app.dir;
    NameExporter exporter{app.state, app.windows};

    void SetUp() override
    {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        std::setlocale(LC_ALL, "C");
        app.state.engine.specialStrings().setDecimalSeparator(".");
        app.state.editKind = EditKind::Savealls;
    }
    void TearDown() override
    {
        ::unsetenv("TZ");
        ::tzset();
    }
    void touch(const std::string &relative, long long size, std::int64_t time = 1178000000)
    {
        const int fd = ::open(dir.host(relative).c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, size), 0);
        ::close(fd);
        const struct timeval times[2] = {{time, 0}, {time, 0}};
        ::utimes(dir.host(relative).c_str(), times);
    }
    // A folder tree with one file per folder, so the file-system order does not matter.
    void tree()
    {
        dir.createFiles({"A/B/", "A/pics_files/"});
        touch("A/B/x.txt", 2048);
        touch("A/y.doc", 100);
        touch("A/pics_files/p.jpg", 5);
        app.state.targets.targetFolder = TestDir::win("A\\");
        app.state.targets.filesMode = false;
    }
};

const std::string kDate = "[05/01/07 06:13:20]";

TEST_F(NameExportTest, LinkedFoldersAreListedAsFoldersNeverEntered)
{
    tree();
    touch("A/B/z.txt", 1);
    ASSERT_EQ(::symlink(dir.host("A/B").c_str(), dir.host("A/C").c_str()), 0);
    ASSERT_EQ(::symlink(".", dir.host("A/D").c_str()), 0);
    ExportChoices all;
    all.content = Content::AllFilenames;
    EXPECT_EQ(exporter.folderLines(all), (Lines{"Files name(ALL layers) in folder, T:\\A\\", kDate, "<B>", "  x.txt",
                                                "  z.txt", "<C>", "<D>", "y.doc"}));
}

TEST_F(NameExportTest, AFolderSwappedForALinkDuringTheExportIsLeftOut)
{
    tree();
    dir.createFiles({"A/C/c.txt", "outside/secret.txt"});
    // The fourth entry seen is C, after B and B's file in both passes: C is
    // swapped once it was found a folder, before it is entered.
    int entries = 0;
    app.windows.onProcessEvents = [&] {
        if (++entries != 4)
            return;
        ASSERT_EQ(::rename(dir.host("A/C").c_str(), dir.host("away").c_str()), 0);
        ASSERT_EQ(::symlink(dir.host("outside").c_str(), dir.host("A/C").c_str()), 0);
    };
    app.state.settings.options.dontOpenAfterSave = true;
    app.shell.saveFiles = {TestDir::win("out.txt")};
    app.prompter.expect(Answer::Ok);
    ExportChoices all;
    all.content = Content::AllFilenames;
    EXPECT_EQ(exporter.exportNames(all), TestDir::win("out.txt"));
    EXPECT_GE(entries, 4);
    EXPECT_EQ(dir.readFile("out.txt"), "Files name(ALL layers) in folder, T:\\A\\\r\n" + kDate
                                           + "\r\n<B>\r\n  x.txt\r\n<C>\r\ny.doc\r\n");
    EXPECT_EQ(app.prompter.texts(), Lines{"1 item could not be read and is not in the list:\nT:\\A\\C\\ (Too many "
                                          "levels of symbolic links)"});
}

TEST_F(NameExportTest, FolderContents)
{
    tree();
    ExportChoices all;
    all.content = Content::AllFilenames;
    all.fileSize = true;
    EXPECT_EQ(exporter.folderLines(all),
              (Lines{"Files name(ALL layers) in folder, T:\\A\\", kDate, "<B>", "  x.txt  2KB", "y.doc  100Byte"}));
    EXPECT_EQ(app.windows.progressRuns, 1);
    EXPECT_EQ(app.windows.progressMaximum, 600);

    all.includeWebpageFolder = true;
    Lines withWebpage = exporter.folderLines(all);
    EXPECT_EQ(withWebpage.size(), 7u);
    EXPECT_NE(std::find(withWebpage.begin(), withWebpage.end(), "  p.jpg  5Byte"), withWebpage.end());

    ExportChoices one;
    one.fileDateTime = true;
    EXPECT_EQ(exporter.folderLines(one),
              (Lines{"Files name(ONE layer) in folder, T:\\A\\", kDate, "<B>", "y.doc  20070501 6:13"}));

    ExportChoices folders;
    folders.content = Content::OnlySubfolders;
    folders.specialTypes = true; // no file whatever the types
    dir.createFiles({"A/B/C/"});
    EXPECT_EQ(exporter.folderLines(folders), (Lines{"All subfolders name in folder, T:\\A\\", kDate, "<B>", "  <C>"}));
}

TEST_F(NameExportTest, SizesOfLargeFiles)
{
    dir.createFiles({"S/"});
    touch("S/five.iso", 5LL * 1024 * 1024 * 1024);
    app.state.targets.targetFolder = TestDir::win("S\\");
    app.state.targets.filesMode = false;
    ExportChoices choices;
    choices.fileSize = true;
    EXPECT_EQ(exporter.folderLines(choices).back(), "five.iso  5GB");
}

TEST_F(NameExportTest, TypeFilter)
{
    ExportChoices c;
    c.specialTypes = true;
    c.picture = true;
    EXPECT_TRUE(exportAcceptsType(c, "photo.JPG"));
    EXPECT_FALSE(exportAcceptsType(c, "song.mp3"));
    EXPECT_FALSE(exportAcceptsType(c, "noext"));
    c.picture = false;
    c.other = true;
    const struct {
        const char *other, *file;
        bool accepted;
    } rows[] = {
        {".log", "a.log", true}, {"log", "a.log", true}, {"LOG", "a.log", false}, {"log", "a.LOG", true},
        {"x,,y", "noext", true}, {"x,y", "noext", false}, {"lo", "a.log", false}, {".LOG", "a.LOG", true},
    };
    for (const auto &row : rows) {
        c.otherTypes = row.other;
        EXPECT_EQ(exportAcceptsType(c, row.file), row.accepted) << row.other << " " << row.file;
    }
}

TEST_F(NameExportTest, FilesExportGroupsByFolderInListOrder)
{
    dir.createFiles({"A/x.txt", "B/y.txt", "A/z.txt", "A/sub/"});
    app.targetFiles({"A/x.txt", "B/y.txt", "A/z.txt", "A/sub"});
    EXPECT_EQ(exporter.filesLines(), (Lines{kDate, "Selected files names:", "In folder, <T:\\A\\>", "  x.txt",
                                            "In folder, <T:\\B\\>", "  y.txt", "In folder, <T:\\A\\>", "  z.txt",
                                            "  <sub>"}));
}

TEST_F(NameExportTest, ChoosingWritingAndOpeningTheFile)
{
    tree();
    app.state.targets.targetFolder = TestDir::win("A\\");
    app.state.targets.filesMode = false;
    ExportChoices one;
    dir.createFiles({"out/list.doc.txt"});
    // The replace question keeps the dialog open after Cancel.
    app.shell.saveFiles = {TestDir::win("out/list.doc"), TestDir::win("out/list.doc")};
    app.prompter.expect(Answer::Cancel);
    app.prompter.expect(Answer::Ok);
    EXPECT_EQ(exporter.exportNames(one), TestDir::win("out/list.doc.txt"));
    EXPECT_EQ(dir.readFile("out/list.doc.txt"),
              "Files name(ONE layer) in folder, T:\\A\\\r\n" + kDate + "\r\n<B>\r\ny.doc\r\n");
    EXPECT_EQ(app.prompter.shown()[0], (Message{"Confirmation", "The file is existing, replace it ?",
                                                MessageIcon::Question, MessageButtons::OkCancel}));
    EXPECT_EQ(app.shell.opened, Lines{TestDir::win("out/list.doc.txt")});
    EXPECT_EQ(app.shell.lastSave.title, "Select file to save filenames");
    EXPECT_TRUE(app.state.run.operationRan);

    app.shell.saveFiles = {TestDir::win("out/LIST.TXT")};
    app.state.settings.options.dontOpenAfterSave = true;
    EXPECT_EQ(exporter.exportNames(one), TestDir::win("out/LIST.TXT"));
    EXPECT_EQ(app.shell.opened.size(), 1u);

    app.shell.saveFiles = {std::nullopt};
    EXPECT_EQ(exporter.exportNames(one), "");
}

// What the export cannot read is told after it, the first five by name.
TEST_F(NameExportTest, FoldersItCannotListAndNamesNoPathHoldsAreTold)
{
    tree();
    dir.createFiles({"A/B/a\\b.txt", "A/L/x.txt", "A/M/", "A/N/", "A/O/", "A/P/"});
    app.state.settings.options.dontOpenAfterSave = true;
    const std::string noPath = " (the name holds '\\', which a Windows-style path cannot hold)";
    const std::string head = "Files name(ALL layers) in folder, T:\\A\\\r\n" + kDate + "\r\n<B>\r\n  x.txt\r\n<L>\r\n";
    const std::string tail = "<M>\r\n<N>\r\n<O>\r\n<P>\r\ny.doc\r\n";
    const struct {
        std::set<std::string> unlisted;
        std::string told;
        std::string written;
    } rows[] = {
        {{"A/L/"}, "2 items could not be read and are not in the list:\nT:\\A\\B\\a\\b.txt" + noPath
                       + "\nT:\\A\\L\\ (Permission denied)",
         head + tail},
        {{"A/L/", "A/M/", "A/N/", "A/O/", "A/P/"},
         "6 items could not be read and are not in the list:\nT:\\A\\B\\a\\b.txt" + noPath
             + "\nT:\\A\\L\\ (Permission denied)\nT:\\A\\M\\ (Permission denied)\nT:\\A\\N\\ (Permission "
               "denied)\nT:\\A\\O\\ (Permission denied)\n...",
         head + tail},
    };
    ExportChoices all;
    all.content = Content::AllFilenames;
    for (const auto &row : rows) {
        app.fileSystem.refuseListOf.clear();
        for (const std::string &folder : row.unlisted)
            app.fileSystem.refuseListOf.insert(TestDir::win(folder));
        app.prompter.clear();
        app.shell.saveFiles = {TestDir::win("out.txt")};
        app.prompter.expect(Answer::Ok);
        EXPECT_EQ(exporter.exportNames(all), TestDir::win("out.txt"));
        EXPECT_EQ(app.prompter.texts(), Lines{row.told});
        EXPECT_EQ(dir.readFile("out.txt"), row.written);
        std::remove(dir.host("out.txt").c_str());
    }
}

TEST_F(NameExportTest, AFileThatCannotBeWrittenFallsBackToDriveC)
{
    tree();
    // Drive C of this program instance is the test folder.
    DriveTable drives = dir.drives();
    drives.setDrive('C', dir.host("c-drive"));
    dir.createFiles({"c-drive/filenames.txt"});
    test::FaultyFileSystem fs(drives);
    Platform platform = app.platform;
    Platform redirected{fs, platform.registry, platform.prompter, platform.shell, platform.clipboard,
                        platform.sound, platform.help, platform.clock};
    AppState state(redirected);
    state.targets.targetFolder = TestDir::win("A\\");
    state.targets.filesMode = false;
    state.editKind = EditKind::Savealls;
    state.settings.options.dontOpenAfterSave = true;
    NameExporter redirectedExporter(state, app.windows);
    fs.refuseWriteOf = {TestDir::win("out.txt")};
    app.shell.saveFiles = {TestDir::win("out.txt")};
    app.prompter.expect(Answer::Ok);
    EXPECT_EQ(redirectedExporter.exportNames(ExportChoices{}), "C:\\filenames(1).txt");
    EXPECT_EQ(app.prompter.texts().back(), "The filename had been saved to:C:\\filenames(1).txt");
    EXPECT_NE(dir.readFile("c-drive/filenames(1).txt").find("<B>\r\n"), std::string::npos);
}

} // namespace
} // namespace renomiq
