// The topics the windows open, and the folder they are read from.
#include "editor/help_topics.h"

#include "platform/user_folders.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <cstdlib>
#include <sys/stat.h>

namespace renomiq {
namespace {

TEST(HelpTopics, EveryTopicTheWindowsOpenIsInstalled)
{
    const struct {
        EditKind kind;
        const char *topic;
    } kinds[] = {
        {EditKind::Removpart, "Remove.htm"},    {EditKind::Replapart, "Replace.htm"},
        {EditKind::Addnewnum, "Insert.htm"},    {EditKind::Changnew, "Change.htm"},
        {EditKind::Changexten, "Change ext.htm"}, {EditKind::Savealls, "Save.htm"},
        {EditKind::Savesomes, "How to use.htm"}, {EditKind::Browsefile, "How to use.htm"},
    };
    const struct {
        bool special, preview, options;
        const char *topic;
    } listWindow[] = {
        {true, true, true, "Special string.htm"},
        {false, true, true, "Preview.htm"},
        {false, false, true, "Options.htm"},
        {false, false, false, "How to use.htm"},
    };
    std::vector<std::string> topics;
    for (const auto &k : kinds) {
        EXPECT_EQ(HelpTopics::forEditKind(k.kind), k.topic) << keywordOf(k.kind);
        topics.push_back(k.topic);
    }
    for (const auto &w : listWindow) {
        EXPECT_EQ(HelpTopics::forListWindow(w.special, w.preview, w.options), w.topic);
        topics.push_back(w.topic);
    }
    EXPECT_EQ(HelpTopics::forUndoHistory(), "Undo history.htm");
    topics.push_back(HelpTopics::forUndoHistory());
    for (const std::string &topic : topics) {
        struct stat st {};
        EXPECT_EQ(::stat((std::string(RENOMIQ_SHARE_DIR) + "/help/" + topic).c_str(), &st), 0) << topic;
    }
}

// The file list's check marks are display only: no run, export or hand-off
// reads them, and the help says so instead of promising to leave items out.
TEST(HelpTopics, TheHelpTellsThatCheckMarksLeaveNothingOut)
{
    const auto topic = [](const char *name) {
        std::ifstream in(std::string(RENOMIQ_SHARE_DIR) + "/help/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const struct {
        const char *topic;
        const char *says;
    } rows[] = {
        {"How to use.htm", "they leave nothing out, and checked and unchecked items alike are renamed"},
        {"Options.htm", "unchecked items are still renamed, saved and sent"},
    };
    for (const auto &row : rows) {
        const std::string text = topic(row.topic);
        ASSERT_FALSE(text.empty()) << row.topic;
        EXPECT_NE(text.find(row.says), std::string::npos) << row.topic;
        EXPECT_EQ(text.find("leave single"), std::string::npos) << row.topic;
    }
}

TEST(HelpTopics, TheBuildTreeHoldsTheInstallLayout)
{
    // The test program sits in build/tests/, as renomiq in build/src/ and in bin/.
    char shareDir[PATH_MAX];
    ASSERT_NE(::realpath(RENOMIQ_SHARE_DIR, shareDir), nullptr);
    EXPECT_EQ(UserFolders::installFolder(), std::string(shareDir) + "/");
}

} // namespace
} // namespace renomiq
