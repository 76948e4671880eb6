#include "editor/list_controller.h"

#include "platform/shell.h"
#include "support/test_platform.h"
#include "targets/file_list.h"
#include "targets/target_set.h"

#include <gtest/gtest.h>

#include <optional>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

const char *const kNoTarget =
    "You have not selected a folder or some files,\nplease click 'Folder' or 'Files' button to proceed.";

class ListControllerTest : public ::testing::Test {
protected:
    test::TestPlatform t;
    TargetSet targets;
    EditKind editKind = EditKind::Browsefile;
    bool handOffMode = true;
    Lines workList{"T:\\stale"};
    // What the folder's first item lookup was asked, and with which edit kind.
    int firstItemLookups = 0;
    EditKind kindAtLookup = EditKind::Browsefile;
    ListController c{{t.fileSystem, t.prompter, targets, editKind, handOffMode, workList, [this] {
                          ++firstItemLookups;
                          kindAtLookup = editKind;
                          return std::string("T:\\F\\first.txt");
                      }}};

    void SetUp() override { t.dir.createFiles({"F/a.txt", "F/b.txt", "F/Sub/c.txt", "G/x.jpg"}); }

    static RowList rowsOf(const Lines &texts)
    {
        RowList rows;
        rows.rows = texts;
        return rows;
    }
};

TEST_F(ListControllerTest, StartEditDecidesPerModeAndKind)
{
    const struct {
        const char *label;
        bool filesMode;
        const char *box;
        Lines rows;
        std::optional<std::size_t> selected;
        EditKind kind;
        ListController::EditStep step;
        const char *boxAfter;
        bool clearRows;
        Lines messages;
        EditKind kindAfter;
        const char *sample;
        const char *targetFolder;
        Lines workList;
        int lookups;
    } cases[] = {
        {"nothing chosen", true, "", {}, std::nullopt, EditKind::Removpart, ListController::EditStep::Refused, "", false,
         {kNoTarget}, EditKind::Browsefile, "", "T:\\old\\", {"T:\\stale"}, 0},
        {"blanks in the box only", false, " \t ", {}, std::nullopt, EditKind::Replapart,
         ListController::EditStep::Refused, "", false, {kNoTarget}, EditKind::Browsefile, "", "T:\\old\\",
         {"T:\\stale"}, 0},
        {"files mode with a folder typed but no rows", true, "T:\\F\\", {}, std::nullopt, EditKind::Changnew,
         ListController::EditStep::Refused, "T:\\F\\", false, {kNoTarget}, EditKind::Browsefile, "", "T:\\old\\",
         {"T:\\stale"}, 0},
        {"a folder that is gone", false, "T:\\gone", {"x"}, std::nullopt, EditKind::Addnewnum,
         ListController::EditStep::Refused, "T:\\gone", true,
         {"The sepecified folder does not exist, please select another."}, EditKind::Browsefile, "", "T:\\old\\",
         {"T:\\stale"}, 0},
        {"a folder with a row selected", false, "  T:\\F\\ ", {"a.txt", "b.txt"}, 1, EditKind::Removpart,
         ListController::EditStep::ShowEditor, "T:\\F\\", false, {}, EditKind::Removpart, "T:\\F\\b.txt", "T:\\F\\",
         {"T:\\stale"}, 0},
        {"a folder typed without its backslash", false, "T:\\F", {"a.txt"}, 0, EditKind::Changexten,
         ListController::EditStep::ShowEditor, "T:\\F", false, {}, EditKind::Changexten, "T:\\F\\a.txt", "T:\\F",
         {"T:\\stale"}, 0},
        {"a folder, nothing selected: its first item", false, "T:\\F\\", {"a.txt"}, std::nullopt,
         EditKind::Savealls, ListController::EditStep::ShowEditor, "T:\\F\\", false, {}, EditKind::Savealls,
         "T:\\F\\first.txt", "T:\\F\\", {"T:\\stale"}, 1},
        {"files, one selected", true, "", {"T:\\F\\a.txt", "T:\\G\\x.jpg"}, 1, EditKind::Addnewnum,
         ListController::EditStep::ShowEditor, "", false, {}, EditKind::Addnewnum, "T:\\G\\x.jpg", "",
         {"T:\\F\\a.txt", "T:\\G\\x.jpg"}, 0},
        {"files, none selected: the first row", true, "", {"T:\\F\\a.txt", "T:\\G\\x.jpg"}, std::nullopt,
         EditKind::Changnew, ListController::EditStep::ShowEditor, "", false, {}, EditKind::Changnew, "T:\\F\\a.txt",
         "", {"T:\\F\\a.txt", "T:\\G\\x.jpg"}, 0},
        {"save of files: exported at once", true, "", {"T:\\G\\x.jpg"}, std::nullopt, EditKind::Savesomes,
         ListController::EditStep::ExportNames, "", false, {}, EditKind::Savesomes, "T:\\G\\x.jpg", "",
         {"T:\\G\\x.jpg"}, 0},
    };
    for (const auto &k : cases) {
        targets = TargetSet{};
        targets.filesMode = k.filesMode;
        targets.targetFolder = "T:\\old\\";
        editKind = EditKind::Browsefile;
        handOffMode = true;
        workList = {"T:\\stale"};
        firstItemLookups = 0;
        t.prompter.clear();
        for (std::size_t i = 0; i < k.messages.size(); ++i)
            t.prompter.expect(Answer::Ok);
        const RowList rows = rowsOf(k.rows);
        const ListController::EditStart start = c.startEdit(k.kind, k.box, rows, k.selected);
        EXPECT_EQ(start.step, k.step) << k.label;
        EXPECT_EQ(start.boxText, k.boxAfter) << k.label;
        EXPECT_EQ(start.clearRows, k.clearRows) << k.label;
        EXPECT_EQ(t.prompter.texts(), k.messages) << k.label;
        EXPECT_EQ(editKind, k.kindAfter) << k.label;
        EXPECT_FALSE(handOffMode) << k.label;
        EXPECT_EQ(targets.sampleItem, k.sample) << k.label;
        EXPECT_EQ(targets.targetFolder, k.targetFolder) << k.label;
        EXPECT_EQ(workList, k.workList) << k.label;
        EXPECT_EQ(firstItemLookups, k.lookups) << k.label;
        if (k.lookups > 0) {
            // The lookup sees the edit chosen (a folder's save may start from a subfolder).
            EXPECT_EQ(kindAtLookup, k.kind) << k.label;
        }
    }
}

TEST_F(ListControllerTest, SaveExportAndHandOff)
{
    EXPECT_EQ(ListController::saveKind(""), EditKind::Savesomes);
    EXPECT_EQ(ListController::saveKind("T:\\F\\"), EditKind::Savealls);

    editKind = EditKind::Savesomes;
    c.exportDone();
    EXPECT_EQ(editKind, EditKind::Browsefile);

    const struct {
        EditKind kind;
        ListController::EditStep step;
        const char *targetFolder;
    } cases[] = {
        {EditKind::Savesomes, ListController::EditStep::ExportNames, ""},
        {EditKind::Savealls, ListController::EditStep::ShowEditor, "T:\\F\\"},
        {EditKind::Changnew, ListController::EditStep::ShowEditor, "T:\\F\\"},
    };
    for (const auto &k : cases) {
        editKind = k.kind;
        targets.targetFolder = "T:\\F\\";
        EXPECT_EQ(c.handOffStep(), k.step) << static_cast<int>(k.kind);
        EXPECT_EQ(targets.targetFolder, k.targetFolder) << static_cast<int>(k.kind);
    }
}

TEST_F(ListControllerTest, SwitchingBetweenFolderAndFilesAsks)
{
    const char *const folderQuestion = "You had selected some files, so can not edit a folder at the same time.\nDo "
                                       "you want to clear the selected files in order to select A folder?";
    const char *const filesQuestion = "You had selected a folder, so can not add another files at the same "
                                      "time.\nDo you want to clear the folder in order to select another files?";
    const char *const folderFilesQuestion = "You had selected to edit a folder, so can not add another files at the "
                                            "same time.\nDo you want to cancel the folder in order to select "
                                            "another files?";
    using S = ListController::Switch;
    using F = ListController::FilesFrom;
    const struct {
        const char *label;
        bool filesMode;
        std::size_t rows;     // for the switch to a folder
        const char *box;      // for the switch to files; nullptr: the switch to a folder
        F from;
        std::optional<Answer> answer;
        S result;
        const char *caption;
        const char *question;
    } cases[] = {
        {"folder over no files", true, 0, nullptr, F::FilesDialog, std::nullopt, S::Go, nullptr, nullptr},
        {"folder over a folder's rows", false, 4, nullptr, F::FilesDialog, std::nullopt, S::Go, nullptr, nullptr},
        {"folder over files, OK", true, 2, nullptr, F::FilesDialog, Answer::Ok, S::ClearAndGo,
         "Select folder Confirmation", folderQuestion},
        {"folder over files, Cancel", true, 2, nullptr, F::FilesDialog, Answer::Cancel, S::Stay,
         "Select folder Confirmation", folderQuestion},
        {"files with an empty box", false, 0, "", F::FilesDialog, std::nullopt, S::Go, nullptr, nullptr},
        {"files over a folder, OK", false, 0, "T:\\F\\", F::FilesDialog, Answer::Ok, S::ClearAndGo,
         "Select files Confirmation", filesQuestion},
        {"files over a folder, Cancel", false, 0, "T:\\F\\", F::FilesDialog, Answer::Cancel, S::Stay,
         "Select files Confirmation", filesQuestion},
        {"a folder's files over a folder, OK", false, 0, " ", F::FolderOfFiles, Answer::Ok, S::ClearAndGo,
         "Select files Confirmation", folderFilesQuestion},
        {"a folder's files over a folder, Cancel", false, 0, "T:\\F", F::FolderOfFiles, Answer::Cancel, S::Stay,
         "Select files Confirmation", folderFilesQuestion},
    };
    for (const auto &k : cases) {
        targets.filesMode = k.filesMode;
        t.prompter.clear();
        if (k.answer)
            t.prompter.expect(*k.answer);
        const S result = k.box ? c.toFiles(k.box, k.from) : c.toFolder(k.rows);
        EXPECT_EQ(result, k.result) << k.label;
        ASSERT_EQ(t.prompter.shown().size(), k.question ? 1u : 0u) << k.label;
        if (k.question) {
            EXPECT_EQ(t.prompter.shown()[0].caption, k.caption) << k.label;
            EXPECT_EQ(t.prompter.shown()[0].text, k.question) << k.label;
            EXPECT_EQ(t.prompter.shown()[0].buttons, MessageButtons::OkCancel) << k.label;
        }
        // Asking never changes the mode.
        EXPECT_EQ(targets.filesMode, k.filesMode) << k.label;
    }

    targets.firstLayerFileCount = 7;
    c.enterFolderMode();
    EXPECT_FALSE(targets.filesMode);
    EXPECT_EQ(c.filesChosen({"T:\\G\\x.jpg", "T:\\F\\a.txt"}), "T:\\G\\");
    EXPECT_TRUE(targets.filesMode);
    EXPECT_EQ(targets.firstLayerFileCount, 0);
    c.enterFolderMode();
    c.enterFilesMode();
    EXPECT_TRUE(targets.filesMode);
}

TEST_F(ListControllerTest, FilesDialogOpensWhereTheLastFilesWere)
{
    const OpenFilesRequest first = ListController::filesRequest(std::nullopt);
    EXPECT_EQ(first.title, "Select files ");
    EXPECT_EQ(first.initialFolder, "");
    ASSERT_EQ(first.filters.size(), 20u);
    EXPECT_EQ(first.filters[13].text, "Audio(*.mp3;*.wav;*.wma;*.mid)");
    EXPECT_EQ(ListController::filesRequest(std::string("T:\\G\\")).initialFolder, "T:\\G\\");
}

TEST_F(ListControllerTest, DroppedItemsAreExistingFilesInFilesModeOnly)
{
    const Lines dropped{TestDir::win("F/a.txt"), TestDir::win("F/Sub"), TestDir::win("F/none.txt"),
                        TestDir::win("G/x.jpg")};
    targets.filesMode = true;
    EXPECT_EQ(c.droppedFiles(dropped), (Lines{"T:\\F\\a.txt", "T:\\G\\x.jpg"}));
    targets.filesMode = false;
    EXPECT_EQ(c.droppedFiles(dropped), std::nullopt);
}

TEST_F(ListControllerTest, FolderBoxUpperDirectoryAndRows)
{
    const struct {
        std::string typed;
        const char *folder;
        bool listable;
        std::optional<std::string> upper;
    } cases[] = {
        {" T:\\F\\Sub\\ ", "T:\\F\\Sub\\", true, std::string("T:\\F\\")},
        {"T:\\F\\Sub", "T:\\F\\Sub", true, std::string("T:\\F\\")},
        {t.dir.host("F/Sub"), "T:\\F\\Sub", true, std::string("T:\\F\\")},
        {"T:\\F\\", "T:\\F\\", true, std::string("T:\\")},
        {"T:\\", "T:\\", true, std::nullopt},
        {"T", "T", true, std::nullopt},
        {"T:\\none\\deeper", "T:\\none\\deeper", false, std::nullopt},
        // Under the root drive of the test table.
        {"/nowhere/at/all", "C:\\nowhere\\at\\all", false, std::nullopt},
        {"", "", false, std::nullopt},
    };
    for (const auto &k : cases) {
        const std::string folder = c.folderOfBox(k.typed);
        EXPECT_EQ(folder, k.folder) << k.typed;
        EXPECT_EQ(c.listable(folder), k.listable) << k.typed;
        EXPECT_EQ(c.upperFolder(folder), k.upper) << k.typed;
    }

    using R = ListController::RowOpen;
    const std::pair<const char *, R> rows[] = {
        {"F/Sub", R::ListFolder}, {"F/a.txt", R::Rename}, {"F/gone.txt", R::Nothing}};
    for (const auto &[relative, open] : rows)
        EXPECT_EQ(c.rowOpen(TestDir::win(relative)), open) << relative;
}

TEST_F(ListControllerTest, ClearRefreshAndDelete)
{
    const struct {
        std::size_t rows;
        std::optional<Answer> answer;
        bool cleared;
    } clears[] = {{0, std::nullopt, false}, {3, Answer::Ok, true}, {3, Answer::Cancel, false}};
    for (const auto &k : clears) {
        t.prompter.clear();
        if (k.answer)
            t.prompter.expect(*k.answer);
        EXPECT_EQ(c.confirmClear(k.rows), k.cleared) << k.rows;
        const Lines asked = k.answer ? Lines{"Do you want to clear all files in the box?"} : Lines{};
        EXPECT_EQ(t.prompter.texts(), asked) << k.rows;
    }

    const RowList rows = rowsOf({TestDir::win("F/a.txt"), TestDir::win("F/gone"), TestDir::win("F/Sub"),
                                 TestDir::win("G/x.jpg"), TestDir::win("H/y")});
    EXPECT_EQ(c.goneRows(rows), (std::vector<int>{4, 1}));

    using K = ListController::ListKey;
    const struct {
        bool filesMode;
        std::size_t selected;
        std::optional<std::string> statusAfterClear;
        bool refreshLists, sentRowsLeave, deleteEnabled;
        bool keys[5]; // Refresh, Rename, CopyName, SelectAll, Delete
    } modes[] = {
        {true, 0, std::string("0 Files"), false, true, false, {false, false, false, true, false}},
        {true, 1, std::string("0 Files"), false, true, true, {false, true, true, true, true}},
        {true, 2, std::string("0 Files"), false, true, true, {false, false, false, true, true}},
        {false, 0, std::nullopt, true, false, false, {true, false, false, false, false}},
        {false, 1, std::nullopt, true, false, false, {true, true, true, false, true}},
        {false, 3, std::nullopt, true, false, false, {true, false, false, false, true}},
    };
    for (const auto &k : modes) {
        targets.filesMode = k.filesMode;
        const std::string label = (k.filesMode ? "files, " : "folder, ") + std::to_string(k.selected);
        EXPECT_EQ(c.statusAfterClear(), k.statusAfterClear) << label;
        EXPECT_EQ(c.refreshLists(), k.refreshLists) << label;
        EXPECT_EQ(c.sentRowsLeave(), k.sentRowsLeave) << label;
        EXPECT_EQ(c.deleteEnabled(k.selected), k.deleteEnabled) << label;
        const K keys[] = {K::Refresh, K::Rename, K::CopyName, K::SelectAll, K::Delete};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(c.keyAllowed(keys[i], k.selected), k.keys[i]) << label << " key " << i;
    }
}

TEST_F(ListControllerTest, StatusTexts)
{
    EXPECT_EQ(ListController::countStatus(0), "0 Files");
    EXPECT_EQ(ListController::countStatus(12), "12 Files");

    const struct {
        bool filesMode;
        std::size_t rows, selected;
        bool boxHasText;
        const char *label;
        const char *caption;
        bool deleteOff;
    } ticks[] = {
        {true, 0, 0, false, "OR add some files to below to edit their names together", "Renomiq", true},
        {true, 3, 0, false, "OR add some files to below to edit their names together", "Renomiq - rename some files",
         true},
        {true, 3, 2, true, "OR add some files to below to edit their names together", "Renomiq - rename some files",
         false},
        {false, 3, 1, true, "The filenames(one layer) in above folder:", "Renomiq - rename folder's files", true},
        {false, 0, 0, false, "The filenames(one layer) in above folder:", "Renomiq", true},
    };
    for (const auto &k : ticks) {
        targets.filesMode = k.filesMode;
        const ListController::Tick tick = c.tick(k.rows, k.selected, k.boxHasText);
        EXPECT_EQ(tick.modeLabel, k.label) << k.caption;
        EXPECT_EQ(tick.caption, k.caption) << k.caption;
        EXPECT_EQ(tick.deleteOff, k.deleteOff) << k.caption;
    }

    const struct {
        bool handOff;
        EditKind kind;
        bool loadOptions, showWorkList;
    } firsts[] = {
        {false, EditKind::Browsefile, true, false},
        {true, EditKind::Changnew, false, false},
        {true, EditKind::Savesomes, false, true},
    };
    for (const auto &k : firsts) {
        handOffMode = k.handOff;
        editKind = k.kind;
        EXPECT_EQ(c.firstTick().loadOptions, k.loadOptions) << static_cast<int>(k.kind);
        EXPECT_EQ(c.firstTick().showWorkList, k.showWorkList) << static_cast<int>(k.kind);
    }
}

TEST_F(ListControllerTest, UndoIsThereWhileItsLogIs)
{
    const std::string data = TestDir::win("data/");
    EXPECT_FALSE(c.undoAvailable(data));
    t.dir.createFiles({"data/rollback.rbk"});
    EXPECT_TRUE(c.undoAvailable(data));
    EXPECT_FALSE(c.undoAvailable(TestDir::win("F/")));
}

} // namespace
} // namespace renomiq
