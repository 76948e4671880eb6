#include "targets/folder_walks.h"

#include "platform/host_file_system.h"
#include "support/faulty_file_system.h"
#include "support/recording_windows.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A folder that cannot be read is said to be so, not shown as an empty one.
TEST_F(FolderWalksTest, AnUnreadableFolderIsReported)
{
    dir.createFiles({"U/a.txt", "U/sub/"});
    test::FaultyFileSystem faulty(dir.drives());
    faulty.refuseListOf.insert(TestDir::win("U") + "\\");
    prompter.expect(Answer::Ok);
    const FolderListing listing = listFolder(faulty, prompter, targets, TestDir::win("U"));
    EXPECT_EQ(prompter.texts(), Lines{"The folder could not be read: Cannot list 'T:\\U\\': Permission denied"});
    EXPECT_EQ(listing.status, FolderListing::Listed);
    EXPECT_TRUE(listing.folders.empty());
    EXPECT_TRUE(listing.files.empty());
    EXPECT_FALSE(targets.listingRunning);
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

TEST_F(FolderWalksTest, ACheckForAnyItemCountsAndFindsAsTheSampleLookUpDoes)
{
    // Mixed case and multi-byte names; the check for any item does not sort,
    // but the count up to 30, the emptiness and the presence of a file hold.
    dir.createFiles({"Empty/", "Dirs/sub/", "Few/Zeta", "Few/\xc3\xa9t\xc3\xa9", "Few/alpha", "Few/sub/", "Many/"});
    for (int i = 0; i < 300; ++i)
        dir.createFiles({"Many/" + std::string(i % 2 ? "IMG_" : "img_") + std::to_string(1000 + i) + ".jpg"});
    const struct {
        const char *folder;
        const char *first; // the sample in name order
        int count;
        bool empty;
    } rows[] = {
        {"Empty", "", 0, true},
        {"Dirs", "", 0, false},
        {"Few", "T:\\Few\\alpha", 3, false},
        {"Many", "T:\\Many\\img_1000.jpg", 30, false},
    };
    for (const auto &row : rows) {
        for (const auto lookup : {TargetLookup::FirstInOrder, TargetLookup::AnyItem}) {
            targets.folderIsEmpty = true;
            const std::string found = findSampleFile(fs, targets, TestDir::win(row.folder), lookup);
            EXPECT_EQ(targets.firstLayerFileCount, row.count) << row.folder;
            EXPECT_EQ(targets.folderIsEmpty, row.empty) << row.folder;
            if (lookup == TargetLookup::FirstInOrder)
                EXPECT_EQ(found, row.first) << row.folder;
            else
                EXPECT_EQ(found.empty(), std::string(row.first).empty()) << row.folder;
        }
    }
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
        for (const auto extent : {WalkExtent::Full, WalkExtent::UntilStopped}) {
            targets.targetFolder = TestDir::win("T");
            targets.folderScope = row.scope;
            std::vector<std::string> workList;
            std::vector<Lines> batches;
            const bool stop = false;
            visitTargets(
                fs, targets, workList, stop,
                [&](bool continued) {
                    EXPECT_FALSE(continued);
                    if (!workList.empty())
                        batches.push_back(workList);
                },
                {}, extent);
            EXPECT_EQ(batches, row.batches) << static_cast<int>(row.scope) << " " << static_cast<int>(extent);
        }
    }

    FolderListing listing = listFolder(fs, prompter, targets, TestDir::win("T"));
    EXPECT_EQ(listing.folders, (Lines{"linked", "loop", "out", "real"}));
    EXPECT_EQ(listing.files, (Lines{"dead", "f.txt", "flink"}));
    EXPECT_EQ(findFirstSubfolder(fs, targets, TestDir::win("T")), "T:\\T\\linked");
}

TEST_F(FolderWalksTest, APreviewWalkHandsOverTheSameItemsInStretchesUntilStopped)
{
    // 300 files whose order is their number, the case of the prefix and of
    // the accented letter alternating (which the order ignores), and a
    // subfolder whose batch comes first.
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i) {
        const std::string name = std::string(i % 2 ? "img" : "IMG") + (i % 3 ? "\xc3\xa9" : "\xc3\x89") + "_"
            + std::to_string(1000 + i) + ".jpg";
        names.push_back("T:\\P\\" + name);
        dir.createFiles({"P/" + name});
    }
    dir.createFiles({"P/sub/b", "P/sub/A", "P/page_files/x"});

    const struct {
        FolderScope scope;
        std::size_t stopAfter; // items read before the preview stops
        Lines firstItems;      // the first and last of the items read
        std::vector<std::size_t> handOvers; // sizes of the work lists handed over
    } rows[] = {
        {FolderScope::OneLayer, 1000, {names[0], names[299]}, {64, 128, 108}},
        {FolderScope::OneLayer, 100, {names[0], names[99]}, {64, 128}},
        {FolderScope::OneLayer, 3, {names[0], names[2]}, {64}},
        {FolderScope::AllLayers, 1000, {"T:\\P\\sub\\A", names[299]}, {2, 64, 128, 108}},
        {FolderScope::AllLayers, 70, {"T:\\P\\sub\\A", names[67]}, {2, 64, 128}},
        {FolderScope::OnlySubfolders, 1000, {"T:\\P\\sub", "T:\\P\\sub"}, {1}},
    };
    for (const auto &row : rows) {
        targets.targetFolder = TestDir::win("P");
        targets.folderScope = row.scope;
        std::vector<std::string> workList;
        Lines items;
        std::vector<std::size_t> handOvers;
        std::string lastFolder;
        bool stop = false;
        visitTargets(
            fs, targets, workList, stop,
            [&](bool continued) {
                if (workList.empty())
                    return;
                const std::string folder = workList.front().substr(0, workList.front().rfind('\\'));
                // A stretch continues the batch of the same folder, never another's.
                EXPECT_EQ(continued, folder == lastFolder) << workList.front();
                lastFolder = folder;
                handOvers.push_back(workList.size());
                for (const std::string &item : workList) {
                    if (items.size() == row.stopAfter) {
                        stop = true;
                        return;
                    }
                    items.push_back(item);
                }
            },
            {}, WalkExtent::UntilStopped);
        const std::string what = std::to_string(static_cast<int>(row.scope)) + " " + std::to_string(row.stopAfter);
        ASSERT_FALSE(items.empty()) << what;
        EXPECT_EQ((Lines{items.front(), items.back()}), row.firstItems) << what;
        EXPECT_EQ(handOvers, row.handOvers) << what;
        // The files come in the order of their numbers, none left out.
        auto at = static_cast<std::size_t>(std::find(items.begin(), items.end(), names[0]) - items.begin());
        for (std::size_t k = 0; at < items.size(); ++k, ++at)
            EXPECT_EQ(items[at], names[k]) << what;
    }
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
