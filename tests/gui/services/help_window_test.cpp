// The help window over the program's real help topics, offscreen.
#include "services/help_window.h"
#include "services/qt_help.h"

#include "support/gui_test_platform.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace renomiq {
namespace {

const std::string kHelpFolder = std::string(RENOMIQ_SHARE_DIR) + "/help/";

TEST(HelpWindow, ShowsTheTopicAskedFor)
{
    test::ScriptedPrompter prompter;
    QtHelp help(kHelpFolder, prompter);
    help.showTopic("Change ext.htm");
    HelpWindow *window = help.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->currentTopic(), QStringLiteral("Change ext.htm"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Changing extensions - Renomiq Help"));
    EXPECT_TRUE(window->browser()->toPlainText().contains(QStringLiteral("Convert extension case")));
    ASSERT_NE(window->index()->currentItem(), nullptr);
    EXPECT_EQ(window->index()->currentItem()->text(), QStringLiteral("Changing extensions"));
    EXPECT_TRUE(prompter.shown().empty());

    // Every topic the windows ask for is there; an unknown one shows the overview.
    const char *const topics[] = {"How to use.htm", "Remove.htm",  "Replace.htm",        "Insert.htm",
                                  "Change.htm",     "Save.htm",    "Special string.htm", "Preview.htm",
                                  "Options.htm",    "Change ext.htm"};
    for (const char *topic : topics) {
        help.showTopic(topic);
        EXPECT_EQ(window->currentTopic(), QString::fromLatin1(topic));
    }
    help.showTopic("Nothing.htm");
    EXPECT_EQ(window->currentTopic(), QStringLiteral("How to use.htm"));
    test::saveScreenshot(*window, QStringLiteral("help_window"));
}

TEST(HelpWindow, IndexSearch)
{
    HelpWindow window(QString::fromStdString(kHelpFolder));
    EXPECT_EQ(window.visibleTitles(),
              (QStringList{QStringLiteral("How to use Renomiq"), QStringLiteral("Removing text"),
                           QStringLiteral("Replacing text"), QStringLiteral("Inserting text and numbers"),
                           QStringLiteral("Changing whole names and letter case"),
                           QStringLiteral("Changing extensions"), QStringLiteral("Saving names to a text file"),
                           QStringLiteral("Special strings"), QStringLiteral("The preview"),
                           QStringLiteral("Options"), QStringLiteral("Undo history")}));
    EXPECT_EQ(window.aboutText(),
              QStringLiteral("Renomiq 0.1.0\nGNU General Public License, version 3 or later"));

    const struct {
        const char *words;
        QStringList titles;
    } searches[] = {
        {"random", {QStringLiteral("How to use Renomiq"), QStringLiteral("Special strings")}},
        {"CHIME", {QStringLiteral("Options")}},
        {"running number",
         {QStringLiteral("How to use Renomiq"), QStringLiteral("Replacing text"),
          QStringLiteral("Inserting text and numbers"), QStringLiteral("Special strings"),
          QStringLiteral("The preview")}},
        {"webpage", {QStringLiteral("Saving names to a text file")}},
        {"zebra", {}},
        {"", {}},
    };
    for (const auto &s : searches) {
        SCOPED_TRACE(s.words);
        QTest::keyClick(window.searchBox(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(window.searchBox(), Qt::Key_Delete);
        QTest::keyClicks(window.searchBox(), QString::fromLatin1(s.words));
        if (s.words[0] != '\0')
            EXPECT_EQ(window.visibleTitles(), s.titles);
        else
            EXPECT_EQ(window.visibleTitles().size(), 11);
    }
    // Enter opens the first topic found.
    window.searchBox()->setText(QStringLiteral("webpage"));
    QTest::keyClick(window.searchBox(), Qt::Key_Return);
    EXPECT_EQ(window.currentTopic(), QStringLiteral("Save.htm"));
}

TEST(HelpWindow, BackAndForwardThroughTheTopicsSeen)
{
    HelpWindow window(QString::fromStdString(kHelpFolder));
    window.show();
    EXPECT_FALSE(window.backButton()->isEnabled());
    window.showTopic(QStringLiteral("Remove.htm"));
    window.showTopic(QStringLiteral("Insert.htm"));
    // A click in the index and a link in the text count as steps too.
    QListWidget *index = window.index();
    QListWidgetItem *options = index->findItems(QStringLiteral("Options"), Qt::MatchExactly).value(0);
    ASSERT_NE(options, nullptr);
    QTest::mouseClick(index->viewport(), Qt::LeftButton, {}, index->visualItemRect(options).center());
    EXPECT_EQ(window.currentTopic(), QStringLiteral("Options.htm"));
    window.browser()->setSource(QUrl(QStringLiteral("Save.htm")));
    EXPECT_EQ(window.currentTopic(), QStringLiteral("Save.htm"));

    const char *const back[] = {"Options.htm", "Insert.htm", "Remove.htm"};
    for (const char *topic : back) {
        ASSERT_TRUE(window.backButton()->isEnabled()) << topic;
        QTest::mouseClick(window.backButton(), Qt::LeftButton);
        EXPECT_EQ(window.currentTopic(), QString::fromLatin1(topic));
    }
    EXPECT_FALSE(window.backButton()->isEnabled());
    QTest::mouseClick(window.forwardButton(), Qt::LeftButton);
    EXPECT_EQ(window.currentTopic(), QStringLiteral("Insert.htm"));
    ASSERT_NE(index->currentItem(), nullptr);
    EXPECT_EQ(index->currentItem()->text(), QStringLiteral("Inserting text and numbers"));
    EXPECT_TRUE(window.forwardButton()->isEnabled());
}

TEST(HelpWindow, MissingHelpFilesGiveAMessageNotAnEmptyWindow)
{
    test::TestDir dir;
    dir.createFiles({"empty/"});
    for (const std::string &folder : {dir.host("missing/"), dir.host("empty/")}) {
        test::ScriptedPrompter prompter;
        prompter.expect(Answer::Ok);
        QtHelp help(folder, prompter);
        help.showTopic("Remove.htm");
        EXPECT_EQ(help.window(), nullptr);
        EXPECT_EQ(prompter.shown(),
                  (std::vector<Message>{{"Help",
                                         "The help files are missing: there is no help topic in\n" + folder
                                             + "\nPlease reinstall Renomiq.",
                                         MessageIcon::Warning, MessageButtons::Ok}}));
    }
}

} // namespace
} // namespace renomiq
