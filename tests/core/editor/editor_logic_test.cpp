// The editor's logic that needs no window: header texts, byte positions of the
// sample name, the sub-mode switches, the automatic copy and the special
// string texts.
#include "editor/auto_copy.h"
#include "editor/editor_texts.h"
#include "editor/help_topics.h"
#include "editor/sample_positions.h"
#include "editor/string_token_text.h"
#include "editor/sub_mode_switch.h"
#include "engine/edit_request.h"

#include <gtest/gtest.h>

#include <functional>

namespace renomiq {
namespace {

TEST(EditorTexts, TargetDescriptionCutsFrom54Characters)
{
    const struct {
        std::string folder;
        std::string shown;
    } rows[] = {
        // 53 characters: whole.
        {"C:\\" + std::string(50, 'a'), "C:\\" + std::string(50, 'a')},
        // 54 characters: 18 + " ... " + 26.
        {"C:\\abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXY",
         "C:\\abcdefghijklmno ... zABCDEFGHIJKLMNOPQRSTUVWXY"},
        // Characters, not bytes: 53 characters of which 10 take two bytes.
        {"C:\\\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9" + std::string(40, 'b'),
         "C:\\\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9" + std::string(40, 'b')},
        // A cut between whole characters: the head ends after the 18th, a
        // three-byte one.
        {"C:\\\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\\bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
         "C:\\\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad\xe4\xb8\xad ... bbbbbbbbbbbbbbbbbbbbbbbbbb"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(targetDescription(row.folder), row.shown) << row.folder;
}

TEST(EditorTexts, CaptionsAndHelpTopicsPerKind)
{
    const struct {
        EditKind kind;
        const char *caption;
        const char *preview;
        const char *topic;
    } rows[] = {
        {EditKind::Removpart, "Renomiq - Remove string", "Preview - Remove string", "Remove.htm"},
        {EditKind::Replapart, "Renomiq - Replace string", "Preview - Replace string", "Replace.htm"},
        {EditKind::Addnewnum, "Renomiq - Insert string", "Preview - Insert string", "Insert.htm"},
        {EditKind::Changnew, "Renomiq - Change to new name", "Preview - Change to new name", "Change.htm"},
        {EditKind::Changexten, "Renomiq - Edit Extention part", "Preview - Edit Extention part", "Change ext.htm"},
        {EditKind::Savealls, "Renomiq - Save filenames", "Preview - Save filenames", "Save.htm"},
        {EditKind::Browsefile, "Renomiq - Save filenames", "Preview - Save filenames", "How to use.htm"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(editorCaption(row.kind), row.caption);
        EXPECT_EQ(previewCaption(row.kind), row.preview);
        EXPECT_EQ(HelpTopics::forEditKind(row.kind), row.topic);
    }
    EXPECT_EQ(filesDescription(150), "total 150 file(s)");
}

TEST(EditorTexts, SampleDisplayNames)
{
    EXPECT_EQ(sampleDisplayName("T:\\F\\Holiday_2009.jpg", false, false), "Holiday_2009");
    EXPECT_EQ(sampleDisplayName("T:\\F\\Holiday_2009.jpg", false, true), "Holiday_2009.jpg");
    EXPECT_EQ(sampleDisplayName("T:\\F\\Sub.dir\\", true, false), "Sub.dir");
    EXPECT_EQ(sampleDisplayName("T:\\F\\Sub.dir", true, true), "Sub.dir");
}

// "a" (1 byte), "é" (2), "中" (3), "😀" (4, two UTF-16 units), "b" (1).
const std::string kMixed = "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80"
                           "b";

TEST(SamplePositions, UnitsToBytesAcrossWidths)
{
    const struct {
        int unitStart, unitLength;
        ByteSelection bytes;
    } rows[] = {
        {0, 0, {0, 0}},  {0, 1, {0, 1}},  {1, 1, {1, 2}},  {2, 1, {3, 3}}, {3, 2, {6, 4}},
        {5, 1, {10, 1}}, {0, 6, {0, 11}}, {1, 4, {1, 9}},  {6, 0, {11, 0}},
        // A unit inside the surrogate pair moves to the character's end.
        {4, 0, {10, 0}},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(byteSelectionOf(kMixed, row.unitStart, row.unitLength), row.bytes)
            << row.unitStart << "+" << row.unitLength;
    }
    const struct {
        int byte;
        int unit;
    } back[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {5, 2}, {6, 3}, {9, 3}, {10, 5}, {11, 6}};
    for (const auto &row : back)
        EXPECT_EQ(unitOfByteOffset(kMixed, row.byte), row.unit) << row.byte;
    // A byte outside any valid sequence shows as one unit.
    EXPECT_EQ(byteOffsetOfUnit("a\xff"
                               "b",
                               2),
              2);
}

TEST(SubModeSwitch, ShowsHidesFocusesAndClears)
{
    using C = SubModeControl;
    using P = PanelPart;
    const struct {
        C control;
        bool on;
        std::vector<P> shows, hides;
        EditorBox focus;
        bool clears;
    } rows[] = {
        {C::RemoveStrings, true, {P::RemoveStringGroup}, {P::RemoveAnythingGroup, P::CleanSymbolsGroup, P::KeepGroup},
         EditorBox::RemoveString1, true},
        {C::KeepSomething, true, {P::KeepGroup}, {P::RemoveStringGroup, P::RemoveAnythingGroup, P::CleanSymbolsGroup},
         EditorBox::None, true},
        {C::RemoveBetweenStrings, true, {P::BetweenStrings}, {P::RemoveDirection}, EditorBox::None, true},
        {C::KeepStrings, true, {P::KeepStringsPart}, {P::KeepDirection}, EditorBox::None, false},
        {C::ReplaceLength, true, {P::ReplaceDirection}, {P::OldStringPart}, EditorBox::NewString, true},
        {C::RegularExpression, true, {P::ReplaceDirection}, {}, EditorBox::OldString, false},
        {C::RegularExpression, false, {}, {P::ReplaceDirection}, EditorBox::None, false},
        {C::InsertToPosition, true, {P::PositionGroup}, {P::InsertToStringGroup}, EditorBox::HeadText, false},
        {C::InsertToString, true, {P::InsertToStringGroup}, {P::PositionGroup}, EditorBox::ExistingString, true},
        {C::Cursor, true, {P::CursorDirection}, {}, EditorBox::CursorText, false},
        {C::Cursor, false, {}, {P::CursorDirection}, EditorBox::None, false},
        {C::End, true, {}, {}, EditorBox::EndText, false},
        {C::Placement, false, {}, {P::SecondString}, EditorBox::None, false},
        {C::ChangeNewName, true, {P::NewNamePart}, {P::NameCaseGroup}, EditorBox::NewName, true},
        {C::NameCase, false, {}, {P::CapitalizeFirstLetter}, EditorBox::None, false},
        {C::ChangeExtension, true, {P::ChangeExtensionGroup}, {P::ExtensionCaseGroup}, EditorBox::NewExtension, false},
        {C::ReplaceAllTypes, true, {}, {P::OldExtension}, EditorBox::None, false},
        {C::ReplaceAllTypes, false, {P::OldExtension}, {}, EditorBox::None, false},
        {C::SaveOnlySubfolders, true, {}, {P::SaveFileTypes, P::SaveFileDateTime, P::SaveFileSize, P::SaveWebpageFolder},
         EditorBox::None, false},
        {C::ClearAll, true, {}, {}, EditorBox::RemoveString1, true},
    };
    for (const auto &row : rows) {
        const SubModeSwitch s = subModeSwitch(row.control, row.on);
        const int line = static_cast<int>(&row - rows);
        EXPECT_EQ(s.shows, row.shows) << "row " << line;
        EXPECT_EQ(s.hides, row.hides) << "row " << line;
        EXPECT_EQ(s.focus, row.focus) << "row " << line;
        EXPECT_EQ(s.clearsSelection, row.clears) << "row " << line;
    }
}

TEST(AutoCopy, TheBoxThatReceivesTheMarkedText)
{
    const struct {
        const char *label;
        std::function<void(EditRequest &)> set;
        int target;
        EditorBox box;
    } rows[] = {
        {"remove strings, target 3", [](EditRequest &r) { r.kind = EditKind::Removpart; }, 3, EditorBox::RemoveString3},
        {"remove strings, target 0", [](EditRequest &r) { r.kind = EditKind::Removpart; }, 0, EditorBox::RemoveString1},
        {"remove strings, target 5", [](EditRequest &r) { r.kind = EditKind::Removpart; }, 5, EditorBox::RemoveString1},
        {"between, right", [](EditRequest &r) {
             r.kind = EditKind::Removpart;
             r.removeMode = RemoveMode::Anything;
             r.anythingMode = AnythingMode::BetweenTwoStrings;
         }, 5, EditorBox::RightString},
        {"between, other", [](EditRequest &r) {
             r.kind = EditKind::Removpart;
             r.removeMode = RemoveMode::Anything;
             r.anythingMode = AnythingMode::BetweenTwoStrings;
         }, 1, EditorBox::LeftString},
        {"selected part", [](EditRequest &r) {
             r.kind = EditKind::Removpart;
             r.removeMode = RemoveMode::Anything;
         }, 5, EditorBox::None},
        {"clean, target 7", [](EditRequest &r) {
             r.kind = EditKind::Removpart;
             r.removeMode = RemoveMode::CleanSymbols;
         }, 7, EditorBox::AlsoEraseText},
        {"clean, other", [](EditRequest &r) {
             r.kind = EditKind::Removpart;
             r.removeMode = RemoveMode::CleanSymbols;
         }, 1, EditorBox::KeepOthersText},
        {"keep strings, 10", [](EditRequest &r) {
             r.kind = EditKind::Removpart;
             r.removeMode = RemoveMode::Keep;
             r.keepMode = KeepMode::Strings;
         }, 10, EditorBox::KeepString2},
        {"keep part", [](EditRequest &r) {
             r.kind = EditKind::Removpart;
             r.removeMode = RemoveMode::Keep;
         }, 10, EditorBox::None},
        {"replace string", [](EditRequest &r) { r.kind = EditKind::Replapart; }, 2, EditorBox::OldString},
        {"replace length", [](EditRequest &r) {
             r.kind = EditKind::Replapart;
             r.replaceMode = ReplaceMode::SelectedLength;
         }, 2, EditorBox::None},
        {"change new name", [](EditRequest &r) { r.kind = EditKind::Changnew; }, 0, EditorBox::NewName},
        {"change case", [](EditRequest &r) {
             r.kind = EditKind::Changnew;
             r.changeMode = ChangeMode::ConvertCase;
         }, 0, EditorBox::None},
        {"insert to position", [](EditRequest &r) { r.kind = EditKind::Addnewnum; }, 6, EditorBox::None},
        {"insert between, 6", [](EditRequest &r) {
             r.kind = EditKind::Addnewnum;
             r.insertMode = InsertMode::ToString;
             r.placement = Placement::BetweenTwo;
         }, 6, EditorBox::SecondString},
        {"insert before, 6", [](EditRequest &r) {
             r.kind = EditKind::Addnewnum;
             r.insertMode = InsertMode::ToString;
         }, 6, EditorBox::ExistingString},
        {"extension", [](EditRequest &r) { r.kind = EditKind::Changexten; }, 1, EditorBox::None},
    };
    for (const auto &row : rows) {
        EditRequest r;
        row.set(r);
        EXPECT_EQ(autoCopyBox(r, row.target), row.box) << row.label;
    }
    EXPECT_EQ(copyTargetOf(EditorBox::KeepOthersText), 8);
    EXPECT_EQ(copyTargetOf(EditorBox::OldString), 0);
}

TEST(SpecialStringText, CodesDatesAndDollarWidths)
{
    const auto captions = todayCaptions(2010, 3, 9);
    const std::array<std::string, 6> expected = {"20100309", "2010-03-09", "2010.03.09",
                                                 "03092010", "03-09-2010", "03.09.2010"};
    EXPECT_EQ(captions, expected);

    const struct {
        int code;
        bool use;
        std::size_t entries;
        const char *text;
    } rows[] = {
        {OrderedNumbers, true, 150, "$$$"}, {OrderedNumbers, true, 1200, "$$$$"}, {OrderedNumbers, true, 12, "$$"},
        {OrderedNumbers, true, 0, "$$$"},   {OrderedNumbers, true, 99, "$$"},     {OrderedNumbers, true, 1000, "$$$$"},
        {Today, true, 0, "2010.03.09"},     {DisorderedNames, true, 0, "%6%"},    {FileDate, true, 0, "@@"},
        {FileSize, true, 0, "##"},          {FolderName, true, 0, "%%"},          {NotUsed, false, 0, ""},
        {OrderedNumbers, false, 5, ""},     {Cancelled, true, 5, ""},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(specialStringText(row.code, row.use, row.entries, captions[2]), row.text)
            << row.code << " " << row.entries;
    }
}

TEST(SpecialStringText, MetadataTokens)
{
    const struct {
        const char *name, *format, *token;
    } rows[] = {
        {"taken", "yyyy-MM-dd HH.mm.ss", "{taken;yyyy-MM-dd HH.mm.ss}"},
        {"taken", "", "{taken}"},
        {"taken", "yy{MM}dd", "{taken;yyMMdd}"},
        {"camera", "yyyy", "{camera}"},
        {"track", "2", "{track;2}"},
        {"track", "12", "{track;12}"},
        {"track", "123", "{track}"},
        {"track", "x", "{track}"},
        {"track", "", "{track}"},
        {"artist", "", "{artist}"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(metadataTokenFor(row.name, row.format), row.token) << row.name << " " << row.format;
    EXPECT_EQ(specialStringText(Metadata, true, 0, "20100309", "{make}"), "{make}");
    EXPECT_EQ(specialStringText(Metadata, false, 0, "20100309", "{make}"), "");
}

} // namespace
} // namespace renomiq
