#include "engine/name_engine.h"

#include "engine/edit_request.h"
#include "platform/host_file_system.h"
#include "support/recording_sink.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"
#include "support/test_doubles.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace renomiq {
namespace {

using test::TestDir;

using test::RecordingSink;

class NameEngineTest : public ::testing::Test {
protected:
    TestDir dir;
    HostFileSystem fs{dir.drives()};
    test::ScriptedPrompter prompter;
    test::FixedClock clock;
    NameEngine engine{fs, prompter, clock};
    RecordingSink sink;

    // Runs one item and returns its single outcome.
    ItemOutcome run(const EditRequest &request, const std::string &relative)
    {
        sink.outcomes.clear();
        engine.newNameFor(request, TestDir::win(relative), sink);
        EXPECT_EQ(sink.outcomes.size(), 1u) << relative;
        return sink.outcomes.empty() ? ItemOutcome{} : sink.outcomes.back();
    }
};

EditRequest changeTo(const std::string &newName)
{
    EditRequest r;
    r.kind = EditKind::Changnew;
    r.newName = newName;
    return r;
}

TEST_F(NameEngineTest, RenamesOnDiskAndReportsBothPaths)
{
    dir.createFiles({"IMG_0001.JPG", "Trip/"});
    ItemOutcome file = run(changeTo("Photo"), "IMG_0001.JPG");
    EXPECT_EQ(file.kind, OutcomeKind::Renamed);
    EXPECT_EQ(file.oldPath, TestDir::win("IMG_0001.JPG"));
    EXPECT_EQ(file.newPath, TestDir::win("Photo.JPG"));
    ItemOutcome folder = run(changeTo("Photo"), "Trip");
    EXPECT_EQ(folder.newPath, TestDir::win("Photo"));
    EXPECT_EQ(dir.list(), (std::vector<std::string>{"Photo", "Photo.JPG"}));
}

TEST_F(NameEngineTest, UniquenessSuffixesAccumulate)
{
    dir.createFiles({"a.txt", "b.txt", "c.txt", "b(1).txt", "x.txt"});
    EXPECT_EQ(run(changeTo("x"), "a.txt").newPath, TestDir::win("x(1).txt"));
    EXPECT_EQ(run(changeTo("b"), "c.txt").newPath, TestDir::win("b(1)(2).txt"));
    // Two items that get one name: the second finds the first on disk.
    dir.createFiles({"p1.jpg", "p2.jpg"});
    EXPECT_EQ(run(changeTo("Same"), "p1.jpg").newPath, TestDir::win("Same.jpg"));
    EXPECT_EQ(run(changeTo("Same"), "p2.jpg").newPath, TestDir::win("Same(1).jpg"));
}

TEST_F(NameEngineTest, PreviewListsWithoutRenamingAndKeepsTheSuffixCount)
{
    dir.createFiles({"a.txt", "b.txt"});
    EditRequest r = changeTo("b");
    r.preview = true;
    ItemOutcome outcome = run(r, "a.txt");
    EXPECT_EQ(outcome.kind, OutcomeKind::Previewed);
    EXPECT_EQ(outcome.newPath, TestDir::win("b(1).txt"));
    EXPECT_EQ(outcome.namePart, "b(1)");
    EXPECT_EQ(outcome.extensionPart, ".txt");
    EXPECT_EQ(outcome.suffixCount, 1);
    EXPECT_TRUE(dir.exists("a.txt"));
}

TEST_F(NameEngineTest, LeadingSpacesAndDots)
{
    const struct {
        const char *newName, *expectedFile;
    } rows[] = {
        {"   ", "(none).txt"},
        {"..x", "x.txt"},
        {". x", " x.txt"},
        {" .", "(none)(1).txt"},
        {"  ..y", "y.txt"},
    };
    int i = 0;
    for (const auto &row : rows) {
        const std::string item = "f" + std::to_string(i++) + ".txt";
        dir.createFiles({item});
        EXPECT_EQ(run(changeTo(row.newName), item).newPath, TestDir::win(row.expectedFile)) << row.newName;
    }
}

TEST_F(NameEngineTest, EmptyUnchangedAndRefusedNames)
{
    dir.createFiles({"a.txt", "keep.txt"});
    prompter.expect(Answer::Ok);
    EditRequest preview = changeTo("");
    preview.preview = true;
    EXPECT_EQ(run(preview, "a.txt").kind, OutcomeKind::EmptyName);
    EXPECT_EQ(prompter.texts().back(), "The new name of 'T:\\a.txt' is EMPTY, can not be renamed.");

    EXPECT_EQ(run(changeTo("keep"), "keep.txt").kind, OutcomeKind::Unchanged);

    const struct {
        const char *name;
        bool refused;
    } rows[] = {{"con", true}, {"nul", true}, {"lpt1", true}, {"CON", false}, {"con1", false}};
    for (const auto &row : rows) {
        prompter.clear();
        if (row.refused)
            prompter.expect(Answer::Ok);
        EditRequest r = changeTo(row.name);
        r.preview = true;
        EXPECT_EQ(run(r, "a.txt").kind, row.refused ? OutcomeKind::Refused : OutcomeKind::Previewed) << row.name;
        if (row.refused) {
            EXPECT_EQ(prompter.texts().back(),
                      std::string("The new filename: '") + row.name
                          + "' can not be renamed, because some names(con, aux, com1, lpt1, prn, nul) are reserved by "
                            "Windows, you should use another name.");
        }
    }
}

TEST_F(NameEngineTest, PathLengthLimitCountsCharacters)
{
    dir.createFiles({"a.txt"});
    const std::string folder = TestDir::win(""); // "T:\"
    const auto nameFor = [&](std::size_t total) { return std::string(total - folder.size() - 4, 'n'); };

    EditRequest r = changeTo(nameFor(255));
    r.preview = true;
    EXPECT_EQ(run(r, "a.txt").kind, OutcomeKind::Previewed);

    prompter.expect(Answer::Ok);
    r.newName = nameFor(256);
    EXPECT_EQ(run(r, "a.txt").kind, OutcomeKind::Refused);
    EXPECT_EQ(prompter.texts().back(), "The new filename: '" + r.newName
                                           + "' can not be renamed, because the filename(plus path) is too "
                                             "long(>255 characters), you should shorten it.");

    // 84 three-byte characters are 252 bytes but 84 characters.
    std::string kanji;
    for (int i = 0; i < 84; ++i)
        kanji += "\xe5\x86\x99";
    r.newName = kanji;
    EXPECT_EQ(run(r, "a.txt").kind, OutcomeKind::Previewed);
}

TEST_F(NameEngineTest, CaseConversionsSkipTheUniquenessTest)
{
    dir.createFiles({"MY FILE.TXT", "abc.txt", "ABC.txt"});
    EditRequest lower;
    lower.kind = EditKind::Changnew;
    lower.changeMode = ChangeMode::ConvertCase;
    EXPECT_EQ(run(lower, "MY FILE.TXT").newPath, TestDir::win("My file.txt"));

    lower.includeExtension = false;
    dir.createFiles({"SHOUT.TXT"});
    EXPECT_EQ(run(lower, "SHOUT.TXT").newPath, TestDir::win("Shout.TXT"));

    // Replace abc by ABC is no case conversion: it meets the other item.
    EditRequest replace;
    replace.kind = EditKind::Replapart;
    replace.oldString = "abc";
    replace.newString = "ABC";
    replace.replaceCaseSensitive = true;
    EXPECT_EQ(run(replace, "abc.txt").newPath, TestDir::win("ABC(1).txt"));

    // A case conversion that meets another item fails rather than replace it.
    EditRequest upper;
    upper.kind = EditKind::Changnew;
    upper.changeMode = ChangeMode::ConvertCase;
    upper.nameCase = NameCase::Upper;
    upper.includeExtension = false;
    dir.createFiles({"dup.txt", "DUP.txt"});
    ItemOutcome clash = run(upper, "dup.txt");
    EXPECT_EQ(clash.kind, OutcomeKind::RenameFailed);
    EXPECT_EQ(clash.newPath, TestDir::win("DUP.txt"));
    EXPECT_TRUE(dir.exists("dup.txt"));
    EXPECT_TRUE(dir.exists("DUP.txt"));
}

TEST_F(NameEngineTest, ExtensionRules)
{
    dir.createFiles({"a.TXT", "b.txt", "c", "d.doc", "Photos.2009/", ".cfg", "e.Txt"});
    EditRequest change;
    change.kind = EditKind::Changexten;
    change.oldExtension = ".txt";
    change.newExtension = ".md";
    change.preview = true;
    const struct {
        const char *item;
        OutcomeKind kind;
        const char *newPath;
    } rows[] = {
        {"a.TXT", OutcomeKind::Previewed, "a.md"},
        {"b.txt", OutcomeKind::Previewed, "b.md"},
        {"c", OutcomeKind::Unchanged, nullptr},
        {"d.doc", OutcomeKind::Unchanged, nullptr},
    };
    for (const auto &row : rows) {
        ItemOutcome outcome = run(change, row.item);
        EXPECT_EQ(outcome.kind, row.kind) << row.item;
        if (row.newPath)
            EXPECT_EQ(outcome.newPath, TestDir::win(row.newPath)) << row.item;
        else
            EXPECT_TRUE(outcome.byExtensionRule) << row.item;
    }

    // An empty old extension selects the files without one.
    change.oldExtension.clear();
    EXPECT_EQ(run(change, "c").newPath, TestDir::win("c.md"));
    EXPECT_EQ(run(change, "b.txt").kind, OutcomeKind::Unchanged);

    // All types, removed.
    change.replaceAllTypes = true;
    change.newExtension.clear();
    EXPECT_EQ(run(change, "d.doc").newPath, TestDir::win("d"));
    EXPECT_EQ(run(change, "c").kind, OutcomeKind::Unchanged);
    // A file with an empty name part gets the new extension alone.
    change.newExtension = ".ini";
    EXPECT_EQ(run(change, ".cfg").newPath, TestDir::win(".ini"));

    // Folders are skipped without a report.
    sink.outcomes.clear();
    engine.newNameFor(change, TestDir::win("Photos.2009"), sink);
    EXPECT_TRUE(sink.outcomes.empty());

    EditRequest caseChange;
    caseChange.kind = EditKind::Changexten;
    caseChange.extensionMode = ExtensionMode::ConvertCase;
    caseChange.extensionCase = ExtensionCase::Upper;
    EXPECT_EQ(run(caseChange, "e.Txt").newPath, TestDir::win("e.TXT"));
    EXPECT_EQ(run(caseChange, "a.TXT").kind, OutcomeKind::Unchanged);
    EXPECT_EQ(dir.list(), (std::vector<std::string>{".cfg", "Photos.2009", "a.TXT", "b.txt", "c", "d.doc", "e.TXT"}));
}

TEST_F(NameEngineTest, FolderWithADotIsNotSplit)
{
    dir.createFiles({"Photos.2009/", "Photos.2010"});
    EditRequest r;
    r.kind = EditKind::Addnewnum;
    r.atEnd = true;
    r.endText = "_x";
    r.preview = true;
    EXPECT_EQ(run(r, "Photos.2009").newPath, TestDir::win("Photos.2009_x"));
    EXPECT_EQ(run(r, "Photos.2010").newPath, TestDir::win("Photos_x.2010"));
}

TEST_F(NameEngineTest, TokensExpandPerItemWithTheRunningNumber)
{
    dir.createFiles({"Trip/a.jpg"});
    EditRequest r;
    r.kind = EditKind::Addnewnum;
    r.atHead = r.atEnd = true;
    r.headText = "%%_$$$_";
    r.endText = "_$";
    r.preview = true;
    engine.specialStrings().setRunningNumber(7);
    EXPECT_EQ(run(r, "Trip/a.jpg").newPath, TestDir::win("Trip/Trip_007_a_7.jpg"));
}

TEST_F(NameEngineTest, WhatAnExpansionBringsIsRenamedUnlessTheHostCannotHoldIt)
{
    const struct {
        const char *file;
        OutcomeKind kind;
        const char *newPath;
        std::vector<std::string> after; // the file's folder afterwards
    } rows[] = {
        // In a drive's root the folder name is "T:": ':' is legal on the host.
        {"a.txt", OutcomeKind::Renamed, "T:\\xT:.txt", {"xT:.txt"}},
        {"Due: \"soon\"?/a.txt", OutcomeKind::Renamed, "T:\\Due: \"soon\"?\\xDue: \"soon\"?.txt",
         {"xDue: \"soon\"?.txt"}},
        // A control character the host would take is still refused.
        {"t\tab/a.txt", OutcomeKind::RenameFailed, "T:\\t\tab\\xt\tab.txt", {"a.txt"}},
    };
    for (const auto &row : rows) {
        dir.createFiles({row.file});
        ItemOutcome outcome = run(changeTo("x%%"), row.file);
        EXPECT_EQ(outcome.kind, row.kind) << row.file;
        EXPECT_EQ(outcome.newPath, row.newPath);
        const std::string file = row.file;
        const std::size_t slash = file.rfind('/');
        EXPECT_EQ(dir.list(slash == std::string::npos ? "" : file.substr(0, slash)), row.after) << row.file;
        if (slash == std::string::npos)
            ::unlink(dir.host(row.after[0]).c_str());
    }
}

TEST_F(NameEngineTest, CheckInputText)
{
    EditRequest r;
    const std::string nine = "You should remove one of following nine characters from input text, because they are "
                             "prohibited in Windows filenames:  \\ / : * ? \" < > |";
    const struct {
        const char *text;
        const char *message; // nullptr: accepted
    } rows[] = {
        {"Photo_$$$", nullptr},
        {"a/b", nine.c_str()},
        {"a?", nine.c_str()},
        {"say \"x\"", nine.c_str()},
        {"%ab%", "The random string digits(ab) is not an integer."},
        {"%ab%/", "The random string digits(ab) is not an integer."},
    };
    for (const auto &row : rows) {
        prompter.clear();
        if (row.message)
            prompter.expect(Answer::Ok);
        EXPECT_EQ(engine.checkInputText(r, row.text), row.message == nullptr) << row.text;
        if (row.message) {
            ASSERT_EQ(prompter.shown().size(), 1u);
            EXPECT_EQ(prompter.shown()[0].text, row.message) << row.text;
            EXPECT_EQ(prompter.shown()[0].caption, "Information");
        }
    }
}

} // namespace
} // namespace renomiq
