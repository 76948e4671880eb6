#include "targets/folder_walks.h"

#include "platform/host_file_system.h"
#include "support/recording_windows.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

class FolderWalksTest : public ::testing::Test {
protected:
    TestDir dir;
    HostFileSystem fs{dir.drives()};
    test::ScriptedPrompter prompter;
    TargetSet targets;
};

TEST_F(FolderWalksTest, WebpageFolders)
{
    const struct {
        const char *name;
        bool webpage;
    } rows[] = {{"pics_files", true}, {"Report.FILES", true}, {"x_FILES", true}, {"files", false},
                {"my.files.bak", false}, {"_files", true}, {"Profiles", false}};
    for (const auto &row : rows)
        EXPECT_EQ(isWebpageFolder(row.name), row.webpage) << row.name;
}

TEST_F(FolderWalksTest, ListingSortsFoldersThenFilesAndCounts)
{
    dir.createFiles({"L/beta/", "L/Alpha/", "L/gamma/", "L/b.txt", "L/A.txt", "L/c.txt", "L/\xc3\xa9t\xc3\xa9.txt"});
    int entries = 0, firsts = 0;
    FolderListing listing = listFolder(fs, prompter, targets, "  " + TestDir::win("L") + " \t", [&] { ++entries; },
                                       [&] { ++firsts; });
    EXPECT_EQ(listing.status, FolderListing::Listed);
    EXPECT_EQ(listing.boxText, "T:\\L\\");
    EXPECT_EQ(listing.folders, (Lines{"Alpha", "beta", "gamma"}));
    EXPECT_EQ(listing.files, (Lines{"A.txt", "b.txt", "c.txt", "\xc3\xa9t\xc3\xa9.txt"}));
    EXPECT_EQ(listing.statusText(), "3 Folders 4 Files");
    EXPECT_EQ(targets.firstLayerFileCount, 4);
    EXPECT_EQ(entries, 7);
    EXPECT_EQ(firsts, 1);
    EXPECT_TRUE(prompter.shown().empty());

    // An abort requested while entries come in ends that listing only: the
    // next one lists everything.
    FolderListing aborted = listFolder(fs, prompter, targets, TestDir::win("L"), [&] {
        EXPECT_TRUE(targets.listingRunning);
        targets.listingAbort = true;
    });
    EXPECT_EQ(aborted.status, FolderListing::Aborted);
    EXPECT_EQ(aborted.folders.size() + aborted.files.size(), 1u);
    EXPECT_FALSE(targets.listingRunning);
    EXPECT_FALSE(targets.listingAbort);
    FolderListing again = listFolder(fs, prompter, targets, TestDir::win("L"));
    EXPECT_EQ(again.status, FolderListing::Listed);
    EXPECT_EQ(again.folders.size() + again.files.size(), 7u);
}

TEST_F(FolderWalksTest, ListingRefusals)
{
    prompter.expect(2, Answer::Ok);
    EXPECT_EQ(listFolder(fs, prompter, targets, TestDir::win("nothing")).status, FolderListing::Refused);
    EXPECT_EQ(listFolder(fs, prompter, targets, "Q").status, FolderListing::Refused);
    EXPECT_EQ(prompter.texts(), (Lines{"The selected folder is invalid!", "The target folder is invalid, please select again."}));

    // A drive letter alone lists the drive.
    FolderListing drive = listFolder(fs, prompter, targets, "T");
    EXPECT_EQ(drive.status, FolderListing::Listed);
    EXPECT_EQ(drive.boxText, "T:\\");
}

TEST_F(FolderWalksTest, SampleFileAndFirstSubfolder)
{
    dir.createFiles({"Empty/", "Dirs/sub/", "Many/"});
    for (int i = 0; i < 40; ++i)
        dir.createFiles({"Many/f" + std::to_string(i)});

    EXPECT_EQ(findSampleFile(fs, targets, TestDir::win("Empty")), "");
    EXPECT_TRUE(targets.folderIsEmpty);
    EXPECT_EQ(findSampleFile(fs, targets, TestDir::win("Dirs")), "");
    EXPECT_FALSE(targets.folderIsEmpty);
    EXPECT_EQ(findFirstSubfolder(fs, targets, TestDir::win("Dirs\\")), "T:\\Dirs\\sub");

    EXPECT_EQ(findSampleFile(fs, targets, TestDir::win("Many")), "T:\\Many\\f0"); // the first in name order
    EXPECT_EQ(targets.firstLayerFileCount, 30);
}

TEST_F(FolderWalksTest, LinkedFoldersAreFoldersThatNoWalkEnters)
{
    dir.createFiles({"T/real/x", "T/f.txt", "outside/o"});
    ASSERT_EQ(::symlink(dir.host("T/real").c_str(), dir.host("T/linked").c_str()), 0);
    ASSERT_EQ(::symlink(".", dir.host("T/loop").c_str()), 0);
    ASSERT_EQ(::symlink(dir.host("outside").c_str(), dir.host("T/out").c_str()), 0);
    ASSERT_EQ(::symlink("f.txt", dir.host("T/flink").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", dir.host("T/dead").c_str()), 0);

    const struct {
        FolderScope scope;
        std::vector<Lines> batches; // the non-empty ones, in the order handed over
    } rows[] = {
        {FolderScope::OneLayer, {{"T:\\T\\dead", "T:\\T\\f.txt", "T:\\T\\flink"}}},
        {FolderScope::AllLayers, {{"T:\\T\\real\\x"}, {"T:\\T\\dead", "T:\\T\\f.txt", "T:\\T\\flink"}}},
        {FolderScope::OnlySubfolders, {{"T:\\T\\linked", "T:\\T\\loop", "T:\\T\\out", "T:\\T\\real"}}},
    };
    for (const auto &row : rows) {
        targets.targetFolder = TestDir::win("T");
        targets.folderScope = row.scope;
        std::vector<std::string> workList;
        std::vector<Lines> batches;
        const bool stop = false;
        visitTargets(fs, targets, workList, stop, [&] {
            if (!workList.empty())
                batches.push_back(workList);
        });
        EXPECT_EQ(batches, row.batches) << static_cast<int>(row.scope);
    }

    FolderListing listing = listFolder(fs, prompter, targets, TestDir::win("T"));
    EXPECT_EQ(listing.folders, (Lines{"linked", "loop", "out", "real"}));
    EXPECT_EQ(listing.files, (Lines{"dead", "f.txt", "flink"}));
    EXPECT_EQ(findFirstSubfolder(fs, targets, TestDir::win("T")), "T:\\T\\linked");
}

TEST_F(FolderWalksTest, FilesModeCollectsEveryRowAndAddFileRowSkipsDuplicates)
{
    test::MemoryFileList list;
    list.addFileRow("C:\\a", true);
    list.addFileRow("C:\\b", true);
    list.addFileRow("C:\\a", true);
    list.addFileRow("C:\\A", true);
    list.addFileRow("C:\\a");
    EXPECT_EQ(list.rows, (Lines{"C:\\a", "C:\\b", "C:\\A", "C:\\a"}));
    std::vector<std::string> work{"old"};
    targets.targetFolder = "C:\\x\\";
    collectFilesForRun(list, targets, work);
    EXPECT_EQ(work, list.rows);
    EXPECT_TRUE(targets.targetFolder.empty());
}

} // namespace
} // namespace renomiq

namespace renomiq {
namespace {

TEST(NameOrder, LettersWithoutCaseThenBytes)
{
    const std::vector<std::string> names{"b", "A", "_x", "a", "\xc3\xa9", "E", "\xff"};
    std::vector<std::string> sorted;
    for (std::size_t i : nameOrderIgnoringCase(names))
        sorted.push_back(names[i]);
    EXPECT_EQ(sorted, (std::vector<std::string>{"A", "a", "b", "E", "_x", "\xc3\xa9", "\xff"}));
}

} // namespace
} // namespace renomiq
