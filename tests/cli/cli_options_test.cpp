#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace renomiq {
namespace {

using Args = std::vector<std::string>;

TEST(CliOptions, ParsesKindsFieldsAndOptions)
{
    std::string error;
    auto c = parseCliArguments({"Addnewnum", "atHead=true", "headText=$$_", "startNumber=5", "removeString2=x",
                                "keepString1=k", "cursorDirection=fromEnd", "placement=between", "--scope", "1",
                                "--preview", "--yes", "--no-undo", "/tmp/a=b", "C:\\x"},
                               error);
    ASSERT_TRUE(c.has_value()) << error;
    EXPECT_EQ(c->mode, CliCommand::Rename);
    const EditRequest &r = c->inputs.request;
    EXPECT_EQ(r.kind, EditKind::Addnewnum);
    EXPECT_TRUE(r.atHead);
    EXPECT_EQ(r.headText, "$$_");
    EXPECT_EQ(r.startNumber, 5);
    EXPECT_EQ(r.removeStrings[1], "x");
    EXPECT_EQ(r.keepStrings[0], "k");
    EXPECT_EQ(r.cursorDirection, Direction::FromEnd);
    EXPECT_EQ(r.placement, Placement::BetweenTwo);
    EXPECT_TRUE(r.preview);
    EXPECT_TRUE(c->yes);
    EXPECT_TRUE(c->noUndo);
    EXPECT_EQ(c->scope, FolderScope::AllLayers);
    EXPECT_EQ(c->targets, (Args{"/tmp/a=b", "C:\\x"}));
    EXPECT_EQ(c->fieldsGiven.count("headText"), 1u);

    auto save = parseCliArguments({"Savealls", "content=allLayers", "fileSize=true", "otherTypes=log", "--output",
                                   "out.txt", "/tmp"},
                                  error);
    ASSERT_TRUE(save.has_value()) << error;
    EXPECT_EQ(save->mode, CliCommand::Save);
    EXPECT_EQ(save->inputs.save.content, ExportChoices::Content::AllFilenames);
    EXPECT_TRUE(save->inputs.save.fileSize);
    EXPECT_EQ(save->output, "out.txt");

    EXPECT_EQ(parseCliArguments({"undo", "--yes"}, error)->mode, CliCommand::Undo);
    auto undo = parseCliArguments({"undo", "--log", "/tmp/rollback.1.rbk", "--yes"}, error);
    ASSERT_TRUE(undo.has_value()) << error;
    EXPECT_EQ(undo->log, "/tmp/rollback.1.rbk");
    EXPECT_TRUE(undo->yes);
    EXPECT_FALSE(undo->noUndo);
    EXPECT_EQ(parseCliArguments({"Removpart", "--help"}, error)->mode, CliCommand::Help);
}

TEST(CliOptions, UsageErrorsNameTheirCause)
{
    const struct {
        Args args;
        const char *error;
    } rows[] = {
        {{}, "no command"},
        {{"Browsefile", "x"}, "unknown command 'Browsefile'"},
        {{"removpart", "x"}, "unknown command 'removpart'"},
        {{"Removpart", "colour=red", "x"}, "unknown field 'colour'"},
        {{"Removpart", "removeCaseSensitive=yes", "x"}, "bad value 'yes' for field 'removeCaseSensitive'"},
        {{"Removpart", "removeMode=all", "x"}, "bad value 'all' for field 'removeMode'"},
        {{"Addnewnum", "startNumber=10001", "x"}, "bad value '10001' for field 'startNumber'"},
        {{"Addnewnum", "selectionStart=1x", "x"}, "bad value '1x' for field 'selectionStart'"},
        {{"Changnew", "--scope", "4", "x"}, "bad value '4' for --scope"},
        {{"Changnew", "--scope"}, "--scope needs a value"},
        {{"Changnew", "--fast", "x"}, "unknown option '--fast'"},
        {{"Changnew", "newName=x"}, "no target"},
        {{"Savealls", "/tmp"}, "Savealls and Savesomes need --output FILE"},
        {{"Savealls", "--preview", "/tmp"}, "unknown option '--preview'"},
        {{"undo", "x"}, "undo takes no argument 'x'"},
        {{"undo", "--log"}, "--log needs a value"},
        {{"undo", "--log", ""}, "--log needs a file"},
        {{"Changnew", "--log", "f", "x"}, "unknown option '--log'"},
        {{"undo", "--no-undo"}, "undo takes no argument '--no-undo'"},
        {{"undo", "--steps", "0"}, "bad value '0' for --steps (a number from 1 to 20)"},
        {{"undo", "--steps", "21"}, "bad value '21' for --steps (a number from 1 to 20)"},
        {{"undo", "--steps"}, "--steps needs a value"},
        {{"undo", "--steps", "2", "--log", "f"}, "--steps and --log do not go together"},
        {{"history", "x"}, "history takes no argument 'x'"},
        {{"history", "--steps", "2"}, "history takes no argument '--steps'"},
        {{"Savealls", "--no-undo", "--output", "o", "/tmp"}, "unknown option '--no-undo'"},
        {{"replace", "oldString=f", "newString=g", "--limit", "3", "x"}, "--limit goes with --preview"},
    };
    for (const auto &row : rows) {
        std::string error;
        EXPECT_FALSE(parseCliArguments(row.args, error).has_value()) << row.error;
        EXPECT_EQ(error, row.error);
    }
}

} // namespace
} // namespace renomiq
