#include "editor/operation_check.h"

#include "support/test_app.h"

#include <gtest/gtest.h>

#include <functional>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

struct Row {
    const char *label;
    EditKind kind;
    std::function<void(EditorInputs &)> set;
    std::vector<Answer> answers;
    Lines texts; // every box shown, in order
    CheckResult::Action action;
    EditorBox focus = EditorBox::None;
};

const std::string kFolderSuffix = "Edit content is (Filenames in this folder(ONE layer)),continue ?";

class OperationCheckTest : public ::testing::Test {
protected:
    test::TestApp app;

    void SetUp() override
    {
        app.dir.createFiles({"F/a.txt"});
        app.targetFolder("F\\", FolderScope::OneLayer);
        app.state.settings.options.confirm = true;
    }

    void check(const Row &row)
    {
        app.prompter.clear();
        for (Answer a : row.answers)
            app.prompter.expect(a);
        EditorInputs inputs;
        inputs.request.kind = row.kind;
        inputs.scopeCaption = "Filenames in this folder(ONE layer)";
        row.set(inputs);
        app.state.editKind = row.kind;
        const CheckResult result = checkAndStart(app.state, inputs);
        EXPECT_EQ(app.prompter.texts(), row.texts) << row.label;
        EXPECT_EQ(result.action, row.action) << row.label;
        EXPECT_EQ(result.focus, row.focus) << row.label;
        EXPECT_EQ(app.prompter.unanswered(), 0u) << row.label;
    }
};

TEST_F(OperationCheckTest, Remove)
{
    const Row rows[] = {
        {"no strings", EditKind::Removpart, [](EditorInputs &) {}, {Answer::Ok},
         {"Please select or input string to be removed."}, CheckResult::Stop, EditorBox::RemoveString1},
        {"strings 1 and 3", EditKind::Removpart, [](EditorInputs &i) { i.request.removeStrings = {"a", "", "c"}; },
         {Answer::Ok}, {"It will remove the strings of 'a' and 'c'(case insensitive) from original filenames,\n" + kFolderSuffix},
         CheckResult::Run},
        {"cancelled", EditKind::Removpart, [](EditorInputs &i) { i.request.removeStrings[1] = "b"; i.request.removeCaseSensitive = true; },
         {Answer::Cancel}, {"It will remove the strings of 'b'(case sensitive) from original filenames,\n" + kFolderSuffix},
         CheckResult::Stop},
        {"no selection", EditKind::Removpart, [](EditorInputs &i) { i.request.removeMode = RemoveMode::Anything; },
         {Answer::Ok}, {"You have not selected part, please use mouse select the part you want to remove."}, CheckResult::Stop},
        {"selected part from end", EditKind::Removpart, [](EditorInputs &i) {
             i.request.removeMode = RemoveMode::Anything; i.request.selectionLength = 2;
             i.request.removeDirection = Direction::FromEnd; i.selectedText = "xy"; },
         {Answer::Ok}, {"It will remove the part at the position(from end) of 'xy',\n" + kFolderSuffix}, CheckResult::Run},
        {"between, right missing", EditKind::Removpart, [](EditorInputs &i) {
             i.request.removeMode = RemoveMode::Anything; i.request.anythingMode = AnythingMode::BetweenTwoStrings;
             i.request.leftString = "("; },
         {Answer::Ok}, {"Please select or input strings to define limition."}, CheckResult::Stop, EditorBox::RightString},
        {"between", EditKind::Removpart, [](EditorInputs &i) {
             i.request.removeMode = RemoveMode::Anything; i.request.anythingMode = AnythingMode::BetweenTwoStrings;
             i.request.leftString = "("; i.request.rightString = ")"; },
         {Answer::Ok}, {"It will remove the part between '(' and ')',\n" + kFolderSuffix}, CheckResult::Run},
        {"clean, empty other symbols", EditKind::Removpart, [](EditorInputs &i) {
             i.request.removeMode = RemoveMode::CleanSymbols; i.request.keepOthers = true; },
         {Answer::Ok}, {"Please select or input special symbols of dont remove"}, CheckResult::Stop, EditorBox::KeepOthersText},
        {"clean, empty erase text", EditKind::Removpart, [](EditorInputs &i) {
             i.request.removeMode = RemoveMode::CleanSymbols; i.request.alsoEraseOthers = true; },
         {Answer::Ok}, {"Please select or input special symbols to remove"}, CheckResult::Stop, EditorBox::AlsoEraseText},
        {"clean", EditKind::Removpart, [](EditorInputs &i) { i.request.removeMode = RemoveMode::CleanSymbols; },
         {Answer::Ok}, {"It will clean symbols, continue ?"}, CheckResult::Run},
        {"keep strings", EditKind::Removpart, [](EditorInputs &i) {
             i.request.removeMode = RemoveMode::Keep; i.request.keepMode = KeepMode::Strings; i.request.keepStrings = {"", "01"}; },
         {Answer::Ok}, {"It will KEEP the string of '01',\n" + kFolderSuffix}, CheckResult::Run},
        {"keep strings empty", EditKind::Removpart, [](EditorInputs &i) {
             i.request.removeMode = RemoveMode::Keep; i.request.keepMode = KeepMode::Strings; },
         {Answer::Ok}, {"Please select or input strings to define limition."}, CheckResult::Stop, EditorBox::KeepString1},
        {"keep selection", EditKind::Removpart, [](EditorInputs &i) {
             i.request.removeMode = RemoveMode::Keep; i.request.selectionLength = 1; i.selectedText = "k"; },
         {Answer::Ok}, {"It will KEEP the part at the position(from head) of 'k',\n" + kFolderSuffix}, CheckResult::Run},
        {"keep, no selection", EditKind::Removpart, [](EditorInputs &i) { i.request.removeMode = RemoveMode::Keep; },
         {Answer::Ok}, {"You have not selected part, please use mouse select the part you want to Keep."}, CheckResult::Stop},
    };
    for (const Row &row : rows)
        check(row);
}

TEST_F(OperationCheckTest, Replace)
{
    const Row rows[] = {
        {"no old string", EditKind::Replapart, [](EditorInputs &) {}, {Answer::Ok},
         {"Please input the old part of file name"}, CheckResult::Stop, EditorBox::OldString},
        {"empty new, case insensitive, OK", EditKind::Replapart, [](EditorInputs &i) { i.request.oldString = "IMG"; },
         {Answer::Ok}, {"The new part is empty, it will REMOVE old part 'IMG'(case insensitive) from original filenames,\n" + kFolderSuffix},
         CheckResult::Run},
        {"empty new, case sensitive, cancelled", EditKind::Replapart, [](EditorInputs &i) {
             i.request.oldString = "IMG"; i.request.replaceCaseSensitive = true; },
         {Answer::Cancel}, {"The new part is empty, it will REMOVE old part 'IMG'(case sensitive) from original filenames! continue ?"},
         CheckResult::Stop, EditorBox::NewString},
        {"prohibited character", EditKind::Replapart, [](EditorInputs &i) { i.request.oldString = "a"; i.request.newString = "b|c"; },
         {Answer::Ok}, {"You should remove one of following nine characters from input text, because they are prohibited in Windows filenames:  \\ / : * ? \" < > |"},
         CheckResult::Stop},
        {"replace", EditKind::Replapart, [](EditorInputs &i) { i.request.oldString = "a"; i.request.newString = "b"; },
         {Answer::Ok}, {"It will replace the old strings 'a'(case insensitive) by new string 'b',\n" + kFolderSuffix}, CheckResult::Run},
        {"length, empty new", EditKind::Replapart, [](EditorInputs &i) {
             i.request.replaceMode = ReplaceMode::SelectedLength; i.request.selectionLength = 2; i.selectedText = "ab"; },
         {Answer::Ok}, {"The new part is empty, it will REMOVE old part 'ab' from original filenames! continue ?"}, CheckResult::Run},
        {"length from end", EditKind::Replapart, [](EditorInputs &i) {
             i.request.replaceMode = ReplaceMode::SelectedLength; i.request.selectionLength = 2; i.selectedText = "ab";
             i.request.newString = "X"; i.request.replaceDirection = Direction::FromEnd; },
         {Answer::Ok}, {"It will replace the part at the position(from end) of 'ab',\n" + kFolderSuffix}, CheckResult::Run},
        {"length, no selection", EditKind::Replapart, [](EditorInputs &i) { i.request.replaceMode = ReplaceMode::SelectedLength; },
         {Answer::Ok}, {"You have not selected part, please use mouse select the part you want to replace."}, CheckResult::Stop},
        {"length, separator in the new text", EditKind::Replapart, [](EditorInputs &i) {
             i.request.replaceMode = ReplaceMode::SelectedLength; i.request.selectionLength = 1; i.request.newString = "a/b"; },
         {Answer::Ok}, {"You should remove one of following nine characters from input text, because they are prohibited in Windows filenames:  \\ / : * ? \" < > |"},
         CheckResult::Stop},
    };
    for (const Row &row : rows)
        check(row);
}

TEST_F(OperationCheckTest, ReplaceByRegularExpression)
{
    const auto regex = [](const char *pattern, const char *newString) {
        return [pattern, newString](EditorInputs &i) {
            i.request.replaceRegex = true;
            i.request.oldString = pattern;
            i.request.newString = newString;
        };
    };
    const Row rows[] = {
        {"invalid pattern", EditKind::Replapart, regex("(\\d+", "x"), {Answer::Ok},
         {"The regular expression '(\\d+' is not valid: missing closing parenthesis (at position 5)."},
         CheckResult::Stop, EditorBox::OldString},
        {"group beyond the pattern's", EditKind::Replapart, regex("(\\d+)", "{2}"), {Answer::Ok},
         {"The new string refers to {2}, but the regular expression '(\\d+)' has 1 group(s)."},
         CheckResult::Stop, EditorBox::NewString},
        // The pattern is no new-name text: its backslashes and '*' pass.
        {"pattern", EditKind::Replapart, regex("IMG_(\\d*)\\w", "{1}-photo"), {Answer::Ok},
         {"It will replace the parts matching the pattern 'IMG_(\\d*)\\w'(case insensitive) by new string '{1}-photo',\n"
          + kFolderSuffix},
         CheckResult::Run},
        {"empty-matching pattern", EditKind::Replapart, regex("x*", "-"), {Answer::Ok},
         {"It will replace the parts matching the pattern 'x*'(case insensitive) by new string '-',\n" + kFolderSuffix},
         CheckResult::Run},
        {"empty new string", EditKind::Replapart, regex("\\s+", ""), {Answer::Cancel},
         {"The new part is empty, it will REMOVE the parts matching the pattern '\\s+'(case insensitive) from original "
          "filenames,\n" + kFolderSuffix},
         CheckResult::Stop, EditorBox::NewString},
        {"new string still checked", EditKind::Replapart, regex("a", "{0}\\"), {Answer::Ok},
         {"You should remove one of following nine characters from input text, because they are prohibited in Windows filenames:  \\ / : * ? \" < > |"},
         CheckResult::Stop},
    };
    for (const Row &row : rows)
        check(row);
    // The invalid pattern's box is an error, with its caption.
    app.prompter.clear();
    app.prompter.expect(Answer::Ok);
    EditorInputs inputs;
    inputs.request.kind = EditKind::Replapart;
    regex("a)", "b")(inputs);
    EXPECT_EQ(checkAndStart(app.state, inputs).action, CheckResult::Stop);
    ASSERT_EQ(app.prompter.shown().size(), 1u);
    EXPECT_EQ(app.prompter.shown()[0].caption, "Error");
    EXPECT_EQ(app.prompter.shown()[0].icon, MessageIcon::Error);
}

TEST_F(OperationCheckTest, Insert)
{
    const Row rows[] = {
        {"cursor not picked", EditKind::Addnewnum, [](EditorInputs &i) { i.request.atCursor = true; }, {Answer::Ok},
         {"You selected CURSOR position, so you should use mouse point the position(in old filename) you want to insert."},
         CheckResult::Stop},
        {"nothing ticked", EditKind::Addnewnum, [](EditorInputs &) {}, {Answer::Ok},
         {"You have not selected insert position, please select one or more checkbox."}, CheckResult::Stop},
        {"empty texts, HEAD first", EditKind::Addnewnum, [](EditorInputs &i) {
             i.request.atHead = i.request.atEnd = i.request.atCursor = true; i.cursorPicked = true; },
         {Answer::Ok, Answer::Ok, Answer::Ok},
         {"You have not inputted text of HEAD string to insert.", "You have not inputted text of END string to insert.",
          "You have not inputted text of at CURSOR string to insert."},
         CheckResult::Stop, EditorBox::CursorText},
        {"all three pieces", EditKind::Addnewnum, [](EditorInputs &i) {
             i.request.atHead = i.request.atEnd = i.request.atCursor = true; i.cursorPicked = true;
             i.request.headText = "h"; i.request.endText = "e"; i.request.cursorText = "c";
             i.request.sampleName = "photo"; i.request.cursorPosition = 3; },
         {Answer::Ok},
         {"It will insert 'h' to the HEAD of all filenames,\ninsert 'e' to the END of all filenames,\ninsert 'c' to the position BEHIND the part of 'ph'\n" + kFolderSuffix},
         CheckResult::Run},
        {"cursor from end at the end", EditKind::Addnewnum, [](EditorInputs &i) {
             i.request.atCursor = true; i.cursorPicked = true; i.request.cursorText = "c"; i.request.sampleName = "ab";
             i.request.cursorPosition = 3; i.request.cursorDirection = Direction::FromEnd; },
         {Answer::Ok}, {"It will insert 'c' to the END of all filenames,\n" + kFolderSuffix}, CheckResult::Run},
        {"cursor from end in the middle", EditKind::Addnewnum, [](EditorInputs &i) {
             i.request.atCursor = true; i.cursorPicked = true; i.request.cursorText = "c"; i.request.sampleName = "abcd";
             i.request.cursorPosition = 2; i.request.cursorDirection = Direction::FromEnd; },
         {Answer::Ok}, {"It will insert 'c' to the position BEFORE the part of 'bcd'\n" + kFolderSuffix}, CheckResult::Run},
        {"bad token", EditKind::Addnewnum, [](EditorInputs &i) { i.request.atHead = true; i.request.headText = "%101%"; },
         {Answer::Ok}, {"101 is too big. The max random string digits is 100."}, CheckResult::Stop},
        {"to string, no second", EditKind::Addnewnum, [](EditorInputs &i) {
             i.request.insertMode = InsertMode::ToString; i.request.existingString = "a";
             i.request.placement = Placement::BetweenTwo; },
         {Answer::Ok}, {"Please specify the second string"}, CheckResult::Stop, EditorBox::SecondString},
        {"to string", EditKind::Addnewnum, [](EditorInputs &i) {
             i.request.insertMode = InsertMode::ToString; i.request.existingString = "a"; i.request.insertText = "T";
             i.request.placement = Placement::BehindExisting; },
         {Answer::Ok}, {"It will insert 'T' to the positon \nBEHIND existing string of 'a',\n" + kFolderSuffix}, CheckResult::Run},
    };
    for (const Row &row : rows)
        check(row);
}

TEST_F(OperationCheckTest, ChangeAndExtension)
{
    const Row rows[] = {
        {"no new name", EditKind::Changnew, [](EditorInputs &) {}, {Answer::Ok}, {"Please input new name"},
         CheckResult::Stop, EditorBox::NewName},
        {"new name", EditKind::Changnew, [](EditorInputs &i) { i.request.newName = "Photo$$"; }, {Answer::Ok},
         {"It will change filenames to 'Photo$$',\n" + kFolderSuffix}, CheckResult::Run},
        {"case", EditKind::Changnew, [](EditorInputs &i) {
             i.request.changeMode = ChangeMode::ConvertCase; i.request.nameCase = NameCase::CapitalizeEveryWord; },
         {Answer::Ok}, {"It will convert full name to Capitalize every words,\n" + kFolderSuffix}, CheckResult::Run},
        {"extension", EditKind::Changexten, [](EditorInputs &i) { i.request.oldExtension = "txt"; i.request.newExtension = "..md."; },
         {Answer::Ok}, {"It will change filenames extention part, from 'txt' to 'md',\n" + kFolderSuffix}, CheckResult::Run},
        {"all types", EditKind::Changexten, [](EditorInputs &i) { i.request.replaceAllTypes = true; i.request.newExtension = "md"; },
         {Answer::Cancel}, {"It will change all filenames extention part to 'md',\n" + kFolderSuffix}, CheckResult::Stop, EditorBox::NewExtension},
        {"empty extension", EditKind::Changexten, [](EditorInputs &i) { i.request.newExtension = "..."; },
         {Answer::Ok}, {"The new extention part is empty,\nit will REMOVE old extention part from original filenames,\n" + kFolderSuffix},
         CheckResult::Run},
        {"extension case", EditKind::Changexten, [](EditorInputs &i) {
             i.request.extensionMode = ExtensionMode::ConvertCase; i.request.extensionCase = ExtensionCase::Upper; },
         {Answer::Ok}, {"It will convert all filenames extention part case to 'UPPER case',\n" + kFolderSuffix}, CheckResult::Run},
    };
    for (const Row &row : rows)
        check(row);

    // The normalised extensions are written back with their leading dot.
    EditorInputs inputs;
    inputs.request.kind = EditKind::Changexten;
    inputs.request.oldExtension = "TXT";
    inputs.request.newExtension = "..md.";
    app.state.editKind = EditKind::Changexten;
    app.state.settings.options.confirm = false;
    EXPECT_EQ(checkAndStart(app.state, inputs).action, CheckResult::Run);
    EXPECT_EQ(inputs.request.oldExtension, ".TXT");
    EXPECT_EQ(inputs.request.newExtension, ".md");
}

TEST_F(OperationCheckTest, PreviewAndTheOptionOff)
{
    // Without the option nothing is confirmed; the empty-part questions still come.
    app.state.settings.options.confirm = false;
    check({"option off", EditKind::Changnew, [](EditorInputs &i) { i.request.newName = "x"; }, {}, {}, CheckResult::Run});
    app.state.settings.options.confirm = true;
    check({"preview", EditKind::Changnew, [](EditorInputs &i) { i.request.newName = "x"; i.request.preview = true; }, {}, {},
           CheckResult::Run});
    check({"preview question", EditKind::Replapart, [](EditorInputs &i) { i.request.oldString = "x"; i.request.preview = true; },
           {Answer::Ok},
           {"The new part is empty, it will REMOVE old part 'x'(case insensitive) from original filenames,\nEdit content is (Filenames in this folder(ONE layer)),continue preview ?"},
           CheckResult::Run});
    // Files mode: the suffix is only "continue ?".
    app.targetFiles({"F/a.txt"});
    check({"files mode", EditKind::Changnew, [](EditorInputs &i) { i.request.newName = "x"; }, {Answer::Ok},
           {"It will change filenames to 'x',\ncontinue ?"}, CheckResult::Run});
}

TEST_F(OperationCheckTest, TargetsAndScopes)
{
    app.dir.createFiles({"Empty/", "OnlyDirs/sub/"});
    app.targetFolder("Empty\\", FolderScope::OneLayer);
    check({"no file", EditKind::Changnew, [](EditorInputs &) {}, {Answer::Ok}, {"There is no file(one layer) now!"}, CheckResult::Stop});
    app.targetFolder("Empty\\", FolderScope::OnlySubfolders);
    check({"no subfolder", EditKind::Changnew, [](EditorInputs &) {}, {Answer::Ok}, {"There is no subfolder now!"}, CheckResult::Stop});
    // A folder that cannot be listed says so and why, in every scope that lists it.
    app.dir.createFiles({"Locked/a.txt"});
    app.fileSystem.refuseListOf = {TestDir::win("Locked/")};
    for (const FolderScope scope : {FolderScope::OneLayer, FolderScope::AllLayers, FolderScope::OnlySubfolders}) {
        app.targetFolder("Locked\\", scope);
        check({"unreadable folder", EditKind::Changnew, [](EditorInputs &i) { i.request.newName = "n"; }, {Answer::Ok},
               {"The target folder can not be read: T:\\Locked\\ (Permission denied)"}, CheckResult::Stop});
    }
    app.fileSystem.refuseListOf.clear();
    app.targetFolder("Gone\\", FolderScope::ThisFolderOnly);
    check({"folder gone", EditKind::Changnew, [](EditorInputs &) {}, {Answer::Ok},
           {"The targeted folder had been modified or deleted!"}, CheckResult::Stop});
    app.targetFolder("OnlyDirs\\", FolderScope::AllLayers);
    check({"all layers without first-layer files", EditKind::Changnew, [](EditorInputs &i) { i.request.newName = "n"; },
           {Answer::Ok, Answer::Ok}, {"There is no file(one layer) now!", "It will change filenames to 'n',\nEdit content is (Filenames in this folder(ONE layer)),continue ?"},
           CheckResult::Run});
    app.targetFolder("OnlyDirs\\", FolderScope::OnlySubfolders);
    check({"no extension of folders", EditKind::Changexten, [](EditorInputs &) {}, {Answer::Ok},
           {"Folder or subfolder name have no extension part."}, CheckResult::Stop});
    app.targetFolder("Empty\\", FolderScope::OneLayer);
    check({"save of an empty folder", EditKind::Savealls, [](EditorInputs &) {}, {Answer::Ok},
           {"There is no file and subfolder now!"}, CheckResult::Stop});
    app.targetFolder("OnlyDirs\\", FolderScope::OneLayer);
    check({"save, special types without a box", EditKind::Savealls, [](EditorInputs &i) { i.save.specialTypes = true; },
           {Answer::Ok}, {"You selected special types filename to save, so you should select at least one box of file types."},
           CheckResult::Stop});
    check({"save, other without types", EditKind::Savealls, [](EditorInputs &i) { i.save.specialTypes = i.save.other = true; },
           {Answer::Ok}, {"You selected other types filename to save, so you should define file types in edit box."},
           CheckResult::Stop, EditorBox::OtherTypes});
    check({"save", EditKind::Savealls, [](EditorInputs &i) { i.request.preview = true; }, {}, {}, CheckResult::Export});
    EXPECT_EQ(app.prompter.shown().size(), 0u);
}

} // namespace
} // namespace renomiq
