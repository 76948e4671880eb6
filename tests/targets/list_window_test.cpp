#include "targets/list_window.h"

#include "support/gui_test_platform.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace renomiq {
namespace {

TEST(ListWindow, ShowsItsCaptionButtonsAndHints)
{
    test::TestPlatform t;
    TForm4 window(t.platform);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Renomiq "));
    EXPECT_EQ(window.size(), QSize(601, 475));

    const struct {
        const char *caption;
        const char *hint;
        bool enabled;
    } rows[] = {
        {"Folder", "Select a folder to edit included filenames ", true},
        {"Files", "Select files to edit their filenames ", true},
        {"Delete", "Remove the selected files", false},
        {"Options", "Change options", true},
        {" Help", "Read help ", true},
        {"Remove", "Remove strings from filenames", true},
        {"Replace", "Replace old part of filenames with a new part", true},
        {"Insert", "Insert strings or numbers to filenames", true},
        {"Change", "Change filename to new or convert case", true},
        {"Extension", "Change file extension part", true},
        {"Save", "Save filenames to a text file", true},
        {"Undo", "Undo the last operation", true},
        {"Exit", "Exit the program", true},
    };
    for (const auto &row : rows) {
        QPushButton *b = window.button(QString::fromLatin1(row.caption));
        ASSERT_NE(b, nullptr) << row.caption;
        EXPECT_EQ(b->toolTip(), QString::fromLatin1(row.hint)) << row.caption;
        EXPECT_EQ(b->isEnabled(), row.enabled) << row.caption;
        EXPECT_TRUE(b->isVisible()) << row.caption;
    }

    EXPECT_TRUE(window.folderBox()->isEditable());
    EXPECT_EQ(window.folderBox()->completer(), nullptr);
    EXPECT_TRUE(window.guidePanel()->isVisible());
    EXPECT_FALSE(window.findChild<QToolButton *>(QStringLiteral("checkSettings"))->isVisible());
    EXPECT_TRUE(window.fileList()->horizontalHeader()->isHidden());
    EXPECT_TRUE(window.fileList()->showGrid());
    QStringList guide;
    for (QLabel *label : window.guidePanel()->findChildren<QLabel *>())
        guide << label->text();
    EXPECT_TRUE(guide.contains(QStringLiteral("2, Then choose a kind of editing to continue")));
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("headingLabel"))->text(),
              QStringLiteral("Select a folder to edit all its included file names together"));
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("orLabel"))->text(), QStringLiteral("OR"));
    EXPECT_NE(window.statusPanel(0), nullptr);
    EXPECT_NE(window.statusPanel(1), nullptr);

    test::saveScreenshot(window, QStringLiteral("list_window"));
}

TEST(ListWindow, ExitClosesTheWindow)
{
    test::TestPlatform t;
    TForm4 window(t.platform);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.button(QStringLiteral("Exit")), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
} // namespace renomiq
