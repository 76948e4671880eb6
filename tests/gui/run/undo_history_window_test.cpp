// "Undo history": opened from the list window, it lists the kept operations
// and undoes them newest first; an older one that shares items waits.
#include "run/undo_history_window.h"

#include "platform/clock.h"
#include "support/gui_app.h"
#include "run/single_rename.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

Lines rowTexts(const QTreeWidget *list)
{
    Lines rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        rows.push_back((item->text(1) + QLatin1Char('|') + item->text(2) + QLatin1Char('|') + item->text(3))
                           .toStdString());
    }
    return rows;
}

TEST(UndoHistoryWindow, ListsTheOperationsAndUndoesThemNewestFirst)
{
    test::GuiApp app;
    app.list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.list));
    app.dir.createFiles({"w/a.txt", "w/k.txt"});
    SingleRename single(app.state.platform, app.state.engine, app.state.settings);
    ++app.clock.time;
    ASSERT_EQ(single.rename("", TestDir::win("w/a.txt"), "b", ".txt").outcome, SingleRename::Outcome::Renamed);
    ++app.clock.time;
    ASSERT_EQ(single.rename("", TestDir::win("w/b.txt"), "c", ".txt").outcome, SingleRename::Outcome::Renamed);

    // From the popup menu.
    app.list.preparePopupMenu();
    QAction *item = app.list.popupMenu()->findChild<QAction *>(QStringLiteral("undoHistoryItem"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    UndoHistoryWindow *w = app.list.undoHistoryWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isVisible(); }, 5000));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Undo history"));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Dialog);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Undo history"));
    for (QWidget *control : w->findChildren<QWidget *>()) {
        if (control->focusPolicy() != Qt::NoFocus && control->isVisible() && control->parentWidget() == w) {
            QAccessibleInterface *c = QAccessible::queryAccessibleInterface(control);
            EXPECT_FALSE(c->text(QAccessible::Name).isEmpty()) << control->metaObject()->className();
        }
    }
    EXPECT_EQ(w->list()->accessibleName(), QStringLiteral("Kept operations"));
    EXPECT_EQ(rowTexts(w->list()), (Lines{"Rename|1 item|T:\\w\\b.txt", "Rename|1 item|T:\\w\\a.txt"}));
    EXPECT_EQ(w->list()->topLevelItem(0)->text(0).toStdString(), localDateTimeText(app.clock.time));
    EXPECT_EQ(w->list()->currentItem(), w->list()->topLevelItem(0));
    test::saveScreenshot(*w, QStringLiteral("undo_history"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->list(), Qt::Key_F1);
    EXPECT_EQ(app.help.topics, Lines{"Undo history.htm"});

    // The older one renamed the item the newer one renamed again: refused,
    // naming the newer one.
    w->list()->setCurrentItem(w->list()->topLevelItem(1));
    app.prompter.expect(Answer::Ok);
    QTest::mouseClick(w->undoButton(), Qt::LeftButton);
    ASSERT_EQ(app.prompter.texts().size(), 1u);
    const std::string newer = "the Rename of " + localDateTimeText(app.clock.time) + " (1 item, T:\\w\\b.txt)";
    EXPECT_NE(app.prompter.texts()[0].find(newer), std::string::npos)
        << app.prompter.texts()[0];
    EXPECT_EQ(app.dir.list("w"), (Lines{"c.txt", "k.txt"}));

    // Undo, then Undo again: the newest each time.
    app.prompter.expect(2, Answer::Yes);
    QTest::mouseClick(w->undoButton(), Qt::LeftButton);
    EXPECT_EQ(app.dir.list("w"), (Lines{"b.txt", "k.txt"}));
    EXPECT_EQ(rowTexts(w->list()), (Lines{"Rename|1 item|T:\\w\\a.txt"}));
    QTest::mouseClick(w->undoButton(), Qt::LeftButton);
    EXPECT_EQ(app.dir.list("w"), (Lines{"a.txt", "k.txt"}));
    EXPECT_EQ(app.prompter.unanswered(), 0u);
    EXPECT_TRUE(rowTexts(w->list()).empty());
    EXPECT_FALSE(w->undoButton()->isEnabled());
    EXPECT_EQ(w->heading()->text(), QStringLiteral("No operation is kept for undo."));
    EXPECT_EQ(app.list.statusPanel(1)->text(), QStringLiteral("Undo done."));

    // Ctrl+Shift+Z in the list window opens it again, listing anew.
    QTest::mouseClick(w->closeButton(), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 5000));
    ++app.clock.time;
    ASSERT_EQ(single.rename("", TestDir::win("w/k.txt"), "m", ".txt").outcome, SingleRename::Outcome::Renamed);
    app.list.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&app.list));
    QTest::keyClick(&app.list, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isVisible(); }, 5000));
    EXPECT_EQ(rowTexts(w->list()), (Lines{"Rename|1 item|T:\\w\\k.txt"}));
    w->close();
}

} // namespace
} // namespace renomiq
