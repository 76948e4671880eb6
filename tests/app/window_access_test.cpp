// The program's windows as people reach them: the keyboard alone, larger
// fonts, other screens, screen readers.
#include "app/program_window.h"

#include "services/help_window.h"
#include "run/undo_history_window.h"
#include "settings/settings_store.h"
#include "support/gui_app.h"
#include "list/list_window_model.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QProgressBar>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

struct ShownList : test::GuiApp {
    ShownList()
    {
        list.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&list));
    }
    void typeFolder(const std::string &text)
    {
        list.folderBox()->lineEdit()->setText(QString::fromStdString(text));
        QTest::keyClick(list.folderBox(), Qt::Key_Return);
    }
    Lines rows() const
    {
        Lines r;
        for (std::size_t i = 0; i < list.model().rowCount(); ++i)
            r.push_back(list.model().rowText(i));
        return r;
    }
};

// The names of the widgets that Tab visits from `from`, `count` presses.
Lines tabStops(QWidget *from, int count)
{
    from->setFocus(Qt::TabFocusReason);
    Lines stops;
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *w = QApplication::focusWidget();
        stops.push_back(w ? w->accessibleName().toStdString() : std::string("(none)"));
    }
    return stops;
}

TEST(WindowKeyboard, TabLeavesThePreviewList)
{
    test::GuiApp app;
    app.preview.clearPreview();
    for (int i = 0; i < 3; ++i)
        app.preview.addPreviewRow("old" + std::to_string(i), "new" + std::to_string(i));
    app.preview.showPreview(false);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.preview));
    app.preview.list()->setCurrentIndex(app.preview.list()->model()->index(0, 0));
    EXPECT_EQ(tabStops(app.preview.list(), 4), (Lines{"Rename", "Options", "Close", "Preview list"}));
}

TEST(WindowKeyboard, ShiftF10OpensTheFileListsMenu)
{
    ShownList app;
    app.dir.createFiles({"k/a.txt", "k/b.txt"});
    app.typeFolder(TestDir::win("k"));
    ASSERT_EQ(app.rows(), (Lines{"a.txt", "b.txt"}));
    app.list.fileListView()->setFocus();
    app.list.fileListView()->setCurrentIndex(app.list.model().index(1));
    QTest::keyClick(app.list.fileListView(), Qt::Key_F10, Qt::ShiftModifier);
    // (QTRY_VERIFY would only return from the test, unseen by gtest.)
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.list.popupMenu()->isVisible(); }, 2000));
    // Prepared as for a right click: one row selected, so "Rename" is on.
    bool renameEnabled = false;
    for (QAction *a : app.list.popupMenu()->actions()) {
        if (a->objectName() == QStringLiteral("renameItem"))
            renameEnabled = a->isEnabled();
    }
    EXPECT_TRUE(renameEnabled);
    app.list.popupMenu()->close();
}

TEST(WindowKeyboard, TabReachesTheGuideLink)
{
    ShownList app;
    ASSERT_TRUE(app.list.guidePanel()->isVisible());
    EXPECT_EQ(tabStops(app.list.folderBox()->lineEdit(), 2), (Lines{"Upper directory", "See more guide "}));
    // Enter on the link opens the guide.
    auto *link = app.list.guidePanel()->findChild<QLabel *>(QStringLiteral("guideLink"));
    ASSERT_NE(link, nullptr);
    ASSERT_TRUE(link->hasFocus());
    QTest::keyClick(link, Qt::Key_Return);
    EXPECT_EQ(app.help.topics, Lines{"How to use.htm"});
}

TEST(WindowKeyboard, CtrlZUndoesAsTheUndoButtonDoes)
{
    ShownList app;
    app.dir.createFiles({"u/annual.txt", "u/other.txt"});
    app.dir.writeFile(".data-home/Corvane/Renomiq/rollback.rbk", "T:\\u\\annual.txt\r\nT:\\u\\report.txt\r\n");
    app.typeFolder(TestDir::win("u"));
    app.list.fileListView()->setFocus();
    app.prompter.expect(Answer::Yes);
    QTest::keyClick(app.list.fileListView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app.prompter.unanswered(), 0u);
    EXPECT_EQ(app.dir.list("u"), (Lines{"other.txt", "report.txt"}));
    EXPECT_EQ(app.list.statusPanel(1)->text(), QStringLiteral("Undo done."));
}

const std::string kLong = "Holiday at the seaside with the whole family and the dog, day three, evening.jpg";
const std::string kLonger = "Holiday at the seaside with the whole family and the dog, day three, evening (2).jpg";

// A label holds one whole line that fits its width, and the whole text is its
// tooltip and what a screen reader reads.
void expectWholeLineWithTip(const QLabel *label, const std::string &text, const char *what)
{
    EXPECT_EQ(label->toolTip().toStdString(), text) << what;
    EXPECT_FALSE(label->wordWrap()) << what;
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width()) << what;
    EXPECT_EQ(label->fontMetrics().height() <= label->contentsRect().height(), true) << what;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(const_cast<QLabel *>(label));
    EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), text) << what;
}

TEST(WindowLongNames, ListAndPreviewRowsCarryTheWholeTextAsTooltip)
{
    ShownList app;
    app.dir.createFiles({"n/" + kLong});
    app.typeFolder(TestDir::win("n"));
    ASSERT_EQ(app.rows(), Lines{kLong});
    EXPECT_EQ(app.list.model().index(0).data(Qt::ToolTipRole).toString().toStdString(), kLong);

    app.preview.clearPreview();
    app.preview.addPreviewRow(kLong, kLonger);
    app.preview.showPreview(false);
    const QAbstractItemModel *preview = app.preview.list()->model();
    EXPECT_EQ(preview->index(0, 0).data(Qt::ToolTipRole).toString().toStdString(), kLong);
    EXPECT_EQ(preview->index(0, 1).data(Qt::ToolTipRole).toString().toStdString(), kLonger);
}

TEST(WindowLongNames, ProgressAndRenameErrorShowWholeLinesAndTheWholeName)
{
    test::GuiApp app;
    app.progress.runWithProgress([&] {
        app.progress.setProgressNames(kLong, kLonger);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            app.progress.processEvents();
            return app.progress.oldNameLabel()->toolTip().toStdString() == kLong;
        }, 2000));
        test::saveScreenshot(app.progress, QStringLiteral("progress_dialog_long_names"));
    });
    expectWholeLineWithTip(app.progress.oldNameLabel(), kLong, "progress, old");
    expectWholeLineWithTip(app.progress.newNameLabel(), kLonger, "progress, new");

    test::whenModal([&](QWidget *) {
        test::saveScreenshot(app.renameError, QStringLiteral("rename_error_long_names"));
        app.renameError.accept();
    });
    app.renameError.showRenameError(TestDir::win("n/" + kLong), TestDir::win("n/" + kLonger), "");
    expectWholeLineWithTip(app.renameError.oldNameLabel(), kLong, "rename error, old");
    expectWholeLineWithTip(app.renameError.newNameLabel(), kLonger, "rename error, new");
}

// The folder box takes host paths as renomiq-cli does: inside a drive they
// become that drive's path.
TEST(WindowFolderBox, AHostPathIsTakenAsItsDrivePath)
{
    ShownList app;
    app.dir.createFiles({"Pictures/a.jpg", "Pictures/b.jpg"});
    const struct {
        std::string typed;
        Lines rows;
        std::string box;
        Lines messages;
    } rows[] = {
        {app.dir.host("Pictures"), {"a.jpg", "b.jpg"}, "T:\\Pictures\\", {}},
        {app.dir.host("Pictures") + "/", {"a.jpg", "b.jpg"}, "T:\\Pictures\\", {}},
        // The default drive C: is the host's root: a missing folder there is invalid.
        {"/renomiq-nowhere/Pictures", {}, "C:\\renomiq-nowhere\\Pictures", {"The selected folder is invalid!"}},
    };
    for (const auto &row : rows) {
        app.prompter.clear();
        if (!row.messages.empty())
            app.prompter.expect(Answer::Ok);
        app.list.model().clear();
        app.typeFolder(row.typed);
        EXPECT_EQ(app.prompter.texts(), row.messages) << row.typed;
        EXPECT_EQ(app.rows(), row.rows) << row.typed;
        EXPECT_EQ(app.list.folderBoxText(), row.box) << row.typed;
    }
}

// A stored position that no screen shows (another monitor, another scale)
// is moved onto the screen; one that is on screen is kept.
TEST(WindowScreens, AStoredPositionOffEveryScreenIsMovedOntoIt)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        int left, top;
        bool kept;
    } rows[] = {
        {40, 30, true},
        {screen.right() + 500, 30, false},
        {40, screen.bottom() - 10, false},
        {-2000, -1500, false},
        {screen.right() + 3000, screen.bottom() + 2000, false},
    };
    for (const auto &row : rows) {
        test::GuiApp app;
        const auto store = [&](const char *name, int value) {
            app.registry.writeDword(RegistryHive::CurrentUser, SettingsStore::kKey, name,
                                    static_cast<std::uint32_t>(value));
        };
        store("Maximize", 0);
        store("Left", row.left);
        store("Top", row.top);
        store("Width", 600);
        store("Height", 470);
        app.list.startUp(std::nullopt);
        const QRect placed(app.list.pos(), app.list.size());
        EXPECT_TRUE(screen.contains(placed)) << row.left << "," << row.top << " placed " << placed.x() << "," << placed.y() << " " << placed.width() << "x" << placed.height() << " screen " << screen.width() << "x" << screen.height();
        if (row.kept) {
            EXPECT_EQ(app.list.pos(), QPoint(row.left, row.top));
        }
        app.list.hide();
    }
}

// Captions fit their buttons at a larger system font.
TEST(WindowFonts, ListWindowButtonsFitTheirCaptionsAt11Points)
{
    const QFont before = QApplication::font();
    QFont large = before;
    large.setPointSize(11);
    QApplication::setFont(large);
    {
        ShownList app;
        app.list.resize(601, 475);
        for (ListButton which : {ListButton::Folder, ListButton::Files, ListButton::Delete, ListButton::Options,
                                 ListButton::Help, ListButton::Remove, ListButton::Replace, ListButton::Insert,
                                 ListButton::Change, ListButton::Extension, ListButton::Save, ListButton::Undo,
                                 ListButton::Exit}) {
            QPushButton *b = app.list.button(which);
            ASSERT_NE(b, nullptr);
            const std::string caption = b->text().toStdString();
            QStyleOptionButton option;
            option.initFrom(b);
            const QRect contents = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
            EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()), contents.width()) << caption;
            // The style draws the caption inside its margins: the button is
            // as wide as the style asks for that caption, and no neighbour
            // covers any of it.
            QStyleOptionButton bare;
            bare.initFrom(b);
            const QSize textSize = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
            const int needed = b->style()->sizeFromContents(QStyle::CT_PushButton, &bare, textSize, b).width();
            EXPECT_LE(needed, b->width()) << caption << " is " << b->width() << " wide";
            EXPECT_LE(b->minimumSizeHint().height(), b->height()) << caption << " is " << b->height() << " high";
            for (QPushButton *other : app.list.findChildren<QPushButton *>()) {
                if (other != b && other->isVisible() && other->parentWidget() == b->parentWidget()) {
                    EXPECT_FALSE(other->geometry().intersects(b->geometry()))
                        << caption << " and " << other->text().toStdString();
                }
            }
        }
        test::saveScreenshot(app.list, QStringLiteral("list_window_11pt"));
    }
    QApplication::setFont(before);
}

// Each top-level window is announced as a window or a dialog, with its title,
// never as a "filler" area.
TEST(WindowScreenReader, EveryTopLevelWindowIsAWindowOrADialog)
{
    test::GuiApp app;
    HelpWindow help(QString::fromStdString(app.dir.host()));
    const std::pair<const char *, QWidget *> windows[] = {
        {"list", &app.list},          {"editor", &app.editor},     {"special string", &app.special},
        {"progress", &app.progress},  {"preview", &app.preview},   {"options", &app.options},
        {"name list", &app.nameList}, {"rename", &app.rename},     {"folder add", &app.folderAdd},
        {"rename error", &app.renameError}, {"help", &help}, {"undo history", nullptr},
    };
    app.list.popupMenu()->findChild<QAction *>(QStringLiteral("undoHistoryItem"))->trigger();
    for (auto [label, window] : windows) {
        if (!window)
            window = app.list.undoHistoryWindow();
        ASSERT_NE(window, nullptr) << label;
        ASSERT_TRUE(window->isWindow()) << label;
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(window);
        ASSERT_NE(iface, nullptr) << label;
        const QAccessible::Role role = iface->role();
        EXPECT_TRUE(role == QAccessible::Window || role == QAccessible::Dialog) << label << " role " << role;
        if (window->accessibleName().isEmpty()) {
            EXPECT_EQ(iface->text(QAccessible::Name), window->windowTitle()) << label;
        }
    }
}

} // namespace
} // namespace renomiq
