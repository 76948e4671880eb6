#include "list/list_window.h"

#include "support/gui_app.h"
#include "editor/editor_panel.h"
#include "editor/sample_name_box.h"
#include "targets/hand_off.h"
#include "list/list_window_model.h"

#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMenu>
#include <QDropEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cstdio>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;

// The undo log of a rename of one item of the test tree, by its host path,
// as the rename dialog writes it: the folder, the item, then the pair.
std::string singleRenameLog(const TestDir &dir, const std::string &folder, const std::string &now,
                            const std::string &before)
{
    struct stat item {};
    ::stat(dir.host(folder + "/" + now).c_str(), &item);
    const std::string win = TestDir::win(folder) + "\\";
    return dir.folderLine(folder, win) + "\r\n#item "
        + std::to_string(item.st_dev) + ":" + std::to_string(item.st_ino) + "\r\n" + win + now + "\r\n" + win
        + before + "\r\n";
}

class ListWindowTest : public ::testing::Test {
protected:
    test::GuiApp app;
    TForm4 &w = app.list;

    void SetUp() override
    {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
    Lines rows() const
    {
        Lines r;
        for (std::size_t i = 0; i < w.model().rowCount(); ++i)
            r.push_back(w.model().rowText(i));
        return r;
    }
    std::string status(int panel) const { return w.statusPanel(panel)->text().toStdString(); }
    void typeFolder(const std::string &text)
    {
        w.folderBox()->lineEdit()->setText(QString::fromStdString(text));
        QTest::keyClick(w.folderBox(), Qt::Key_Return);
    }
    void selectRows(std::initializer_list<int> list)
    {
        w.fileListView()->clearSelection();
        for (int r : list)
            w.fileListView()->selectionModel()->select(w.model().index(r),
                                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    void addFiles(const Lines &relatives)
    {
        Lines paths;
        for (const std::string &r : relatives)
            paths.push_back(TestDir::win(r));
        app.shell.fileSelections.push_back(paths);
        click(ListButton::Files);
    }
    void click(ListButton which) { QTest::mouseClick(w.button(which), Qt::LeftButton); }
    // An item of the file list's popup menu, as a right click would offer it.
    void trigger(const char *name)
    {
        w.preparePopupMenu();
        QAction *item = w.popupMenu()->findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(item, nullptr) << name;
        ASSERT_TRUE(item->isEnabled()) << name;
        item->trigger();
    }
    // "Rename in another session" and its sub-item.
    void sendTo(const char *subItem)
    {
        w.preparePopupMenu();
        QMenu *session = w.popupMenu()->findChild<QMenu *>(QStringLiteral("sessionMenu"));
        ASSERT_TRUE(session->isEnabled()) << subItem;
        for (QAction *sub : session->actions()) {
            if (sub->text() == QString::fromLatin1(subItem))
                return sub->trigger();
        }
        ADD_FAILURE() << "no sub-item " << subItem;
    }
    // Items of the test tree dropped on the window, as a file manager drops them.
    void drop(const Lines &relatives)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string &r : relatives)
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(app.dir.host(r))));
        data.setUrls(urls);
        // The drag enters first: the window it enters is the one the drop goes to.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &event);
    }
};

TEST_F(ListWindowTest, ShowsItsCaptionButtonsHintsAndNames)
{
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Renomiq "));
    const struct {
        ListButton which;
        const char *caption;
        const char *hint;
        bool enabled;
    } buttons[] = {
        {ListButton::Folder, "Folder", "Select a folder to edit included filenames ", true},
        {ListButton::Files, "Files", "Select files to edit their filenames ", true},
        {ListButton::Delete, "Delete", "Remove the selected files", false},
        {ListButton::Options, "Options", "Change options", true},
        {ListButton::Help, " Help", "Read help ", true},
        {ListButton::Remove, "Remove", "Remove strings from filenames", true},
        {ListButton::Replace, "Replace", "Replace old part of filenames with a new part", true},
        {ListButton::Insert, "Insert", "Insert strings or numbers to filenames", true},
        {ListButton::Change, "Change", "Change filename to new or convert case", true},
        {ListButton::Extension, "Extension", "Change file extension part", true},
        {ListButton::Save, "Save", "Save filenames to a text file", true},
        {ListButton::Undo, "Undo", "Undo the last operation", true},
        {ListButton::Exit, "Exit", "Exit the program", true},
    };
    for (const auto &row : buttons) {
        QPushButton *b = w.button(row.which);
        ASSERT_NE(b, nullptr) << row.caption;
        EXPECT_EQ(b->text(), QString::fromLatin1(row.caption)) << row.caption;
        EXPECT_EQ(b->toolTip(), QString::fromLatin1(row.hint)) << row.caption;
        EXPECT_EQ(b->accessibleName(), QString::fromLatin1(row.caption).trimmed()) << row.caption;
        EXPECT_EQ(b->isEnabled(), row.enabled) << row.caption;
    }
    EXPECT_EQ(w.folderBox()->accessibleName(), QStringLiteral("Folder"));
    EXPECT_EQ(w.fileListView()->accessibleName(), QStringLiteral("File list"));
    EXPECT_EQ(w.upperDirectoryButton()->accessibleName(), QStringLiteral("Upper directory"));
    EXPECT_EQ(w.folderBox()->completer(), nullptr);
    EXPECT_TRUE(w.guidePanel()->isVisible());
    EXPECT_TRUE(w.fileListView()->horizontalHeader()->isHidden());
    test::saveScreenshot(w, QStringLiteral("list_window"));
}

TEST_F(ListWindowTest, EnterInTheFolderBoxListsTheFolderSorted)
{
    app.dir.createFiles({"trip/IMG_2.jpg", "trip/img_1.jpg", "trip/b.txt", "trip/Sub/", "trip/alpha/"});
    typeFolder("  " + TestDir::win("trip") + " ");
    EXPECT_EQ(rows(), (Lines{"alpha", "Sub", "b.txt", "img_1.jpg", "IMG_2.jpg"}));
    EXPECT_EQ(status(0), "2 Folders 3 Files");
    EXPECT_EQ(w.folderBoxText(), "T:\\trip\\");
    EXPECT_FALSE(app.state.targets.filesMode);
    EXPECT_FALSE(w.guidePanel()->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.windowTitle() == QStringLiteral("Renomiq - rename folder's files"); }, 1000));
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("orLabel"))->text(),
              QStringLiteral("The filenames(one layer) in above folder:"));
    test::saveScreenshot(w, QStringLiteral("list_window_folder"));

    // A second listing after the first one works (the listing flags were cleared).
    app.dir.createFiles({"trip/c.txt"});
    trigger("refreshItem");
    EXPECT_EQ(status(0), "2 Folders 4 Files");
}

TEST_F(ListWindowTest, FolderBoxRefusals)
{
    const struct {
        const char *typed;
        const char *message;
    } cases[] = {
        {"T:\\missing", "The selected folder is invalid!"},
        {"Q", "The target folder is invalid, please select again."},
    };
    for (const auto &c : cases) {
        app.prompter.clear();
        app.prompter.expect(Answer::Ok);
        typeFolder(c.typed);
        EXPECT_EQ(app.prompter.texts(), (Lines{c.message})) << c.typed;
        EXPECT_TRUE(rows().empty()) << c.typed;
    }
}

TEST_F(ListWindowTest, FilesAddsWithoutDuplicatesAndRemembersTheFolder)
{
    app.dir.createFiles({"p/a.jpg", "p/b.jpg", "q/c.jpg"});
    addFiles({"p/a.jpg", "p/b.jpg"});
    addFiles({"p/b.jpg", "q/c.jpg"});
    EXPECT_EQ(rows(), (Lines{"T:\\p\\a.jpg", "T:\\p\\b.jpg", "T:\\q\\c.jpg"}));
    EXPECT_EQ(status(0), "3 Files");
    EXPECT_EQ(app.shell.lastOpen.title, "Select files ");
    EXPECT_EQ(app.shell.lastOpen.initialFolder, "T:\\p\\");
    ASSERT_EQ(app.shell.lastOpen.filters.size(), 20u);
    EXPECT_EQ(app.shell.lastOpen.filters[13].text, "Audio(*.mp3;*.wav;*.wma;*.mid)");
    EXPECT_EQ(app.shell.lastOpen.filters[13].patterns, "*.mp3;*.wav;*.wma");
    // The caption follows on the status timer, running since the program's start.
    w.startStatusTimer();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.windowTitle() == QStringLiteral("Renomiq - rename some files"); }, 1500));

    // Dropping: existing files only, no folder, no duplicate.
    app.dir.createFiles({"q/d.jpg"});
    drop({"p/a.jpg", "q", "q/none.jpg", "q/c.jpg", "q/d.jpg"});
    EXPECT_EQ(rows(), (Lines{"T:\\p\\a.jpg", "T:\\p\\b.jpg", "T:\\q\\c.jpg", "T:\\q\\d.jpg"}));
    EXPECT_EQ(status(0), "4 Files");
}

TEST_F(ListWindowTest, SwitchingBetweenFilesAndFolderAsks)
{
    app.dir.createFiles({"p/a.jpg", "f/x.txt"});
    addFiles({"p/a.jpg"});

    // Enter in the folder box with files listed: Cancel keeps the files.
    app.prompter.expect(Answer::Cancel);
    typeFolder(TestDir::win("f"));
    ASSERT_EQ(app.prompter.shown().size(), 1u);
    EXPECT_EQ(app.prompter.shown()[0].caption, "Select folder Confirmation");
    EXPECT_EQ(app.prompter.shown()[0].text,
              "You had selected some files, so can not edit a folder at the same time.\nDo you want to clear the "
              "selected files in order to select A folder?");
    EXPECT_EQ(rows(), (Lines{"T:\\p\\a.jpg"}));

    // OK clears them and lists the folder.
    app.prompter.expect(Answer::Ok);
    typeFolder(TestDir::win("f"));
    EXPECT_EQ(rows(), (Lines{"x.txt"}));

    // "Files" with a folder: Cancel keeps the folder and opens no dialog.
    app.prompter.clear();
    app.prompter.expect(Answer::Cancel);
    click(ListButton::Files);
    EXPECT_EQ(app.prompter.texts(), (Lines{"You had selected a folder, so can not add another files at the same "
                                           "time.\nDo you want to clear the folder in order to select another files?"}));
    EXPECT_TRUE(app.shell.dialogTitles.size() == 1u); // only the first "Select files "
    EXPECT_EQ(w.folderBoxText(), "T:\\f\\");
}

TEST_F(ListWindowTest, SelectionStatusDeleteAndClear)
{
    std::vector<std::string> files;
    for (int i = 0; i < 10; ++i)
        files.push_back("s/f" + std::to_string(i) + ".txt");
    app.dir.createFiles(files);
    addFiles(files);
    QTest::keyClick(w.fileListView(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(status(0), "Select 10, total 10");
    selectRows({2, 5});
    EXPECT_EQ(status(0), "Select 2, total 10");
    EXPECT_TRUE(w.button(ListButton::Delete)->isEnabled());
    QTest::keyClick(w.fileListView(), Qt::Key_Delete);
    EXPECT_EQ(status(0), "8 Files");
    EXPECT_EQ(rows()[2], "T:\\s\\f3.txt");
    EXPECT_FALSE(w.button(ListButton::Delete)->isEnabled());

    trigger("inverseItem");
    EXPECT_EQ(status(0), "Select 8, total 8");

    app.prompter.expect(Answer::Ok);
    trigger("clearItem");
    EXPECT_EQ(app.prompter.shown().back().caption, "Clear Confirmation");
    EXPECT_EQ(app.prompter.shown().back().text, "Do you want to clear all files in the box?");
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(status(0), "0 Files");
}

TEST_F(ListWindowTest, PopupMenuEnabling)
{
    app.dir.createFiles({"m/a.txt", "m/b.txt", "m/c.txt"});
    const struct {
        bool filesMode;
        int rows;
        std::initializer_list<int> selected;
        // Add More, Delete, another session, Select All, Clear, Refresh, Sort, Rename
        bool enabled[8];
    } cases[] = {
        {true, 0, {}, {true, false, false, false, false, false, false, false}},
        {true, 1, {}, {true, false, false, true, true, true, false, false}},
        {true, 3, {0}, {true, true, true, true, true, true, true, true}},
        {true, 3, {0, 1}, {true, true, true, true, true, true, true, false}},
        {false, 3, {1}, {false, false, true, false, true, true, true, true}},
        {false, 0, {}, {true, false, false, false, false, true, false, false}},
    };
    const char *names[] = {"addMoreItem", "deleteItem", "sessionItem", "selectAllItem",
                           "clearItem",   "refreshItem", "sortItem",   "renameItem"};
    int n = 0;
    for (const auto &c : cases) {
        w.model().clear();
        app.state.targets.filesMode = c.filesMode;
        const Lines all{"T:\\m\\a.txt", "T:\\m\\b.txt", "T:\\m\\c.txt"};
        w.model().appendRows(Lines(all.begin(), all.begin() + c.rows), false);
        selectRows(c.selected);
        w.preparePopupMenu();
        for (int i = 0; i < 8; ++i) {
            QAction *a = w.popupMenu()->findChild<QAction *>(QString::fromLatin1(names[i]));
            if (i == 2)
                a = w.popupMenu()->findChild<QMenu *>(QStringLiteral("sessionMenu"))->menuAction();
            EXPECT_EQ(a->isEnabled(), c.enabled[i]) << "case " << n << " " << names[i];
        }
        ++n;
    }
    QStringList captions;
    for (QAction *a : w.popupMenu()->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions.join(QLatin1Char('|')),
              QStringLiteral("Rename                    F2|Delete                       Del|Clear|Refresh             "
                             "        F5|Sort by Name|-|Copy filename         Ctrl+C|Open file|Open folder|-|Check "
                             "All|Uncheck All|Check selected|Uncheck selected|Select All                   "
                             "Ctrl+A|Inverse select|-|Undo history          Ctrl+Shift+Z|-|Add More|Rename in "
                             "another session"));
    w.popupMenu()->popup(w.mapToGlobal(QPoint(100, 100)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.popupMenu()->isVisible(); }, 5000));
    test::saveScreenshot(*w.popupMenu(), QStringLiteral("list_window_popup"));
    w.popupMenu()->hide();
}

TEST_F(ListWindowTest, CopySortOpenAndChecks)
{
    app.dir.createFiles({"c/b.tar.gz", "c/Apple.txt", "c/cherry"});
    addFiles({"c/b.tar.gz", "c/cherry", "c/Apple.txt"});
    selectRows({0});
    QTest::keyClick(w.fileListView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(app.clipboard.content, "b.tar");
    selectRows({1});
    trigger("copyItem");
    EXPECT_EQ(app.clipboard.content, "cherry");
    trigger("openFileItem");
    trigger("openFolderItem");
    EXPECT_EQ(app.shell.opened, (Lines{"T:\\c\\cherry"}));
    EXPECT_EQ(app.shell.shown, (Lines{"T:\\c\\cherry"}));

    trigger("sortItem");
    EXPECT_EQ(rows(), (Lines{"T:\\c\\Apple.txt", "T:\\c\\b.tar.gz", "T:\\c\\cherry"}));
    // The selected row stays selected where it moved.
    EXPECT_EQ(w.fileListView()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(w.fileListView()->selectionModel()->selectedRows()[0].row(), 2);

    w.applyCheckBoxOption(true, false);
    EXPECT_TRUE(w.checkSettingsButton()->isVisibleTo(&w));
    selectRows({0, 2});
    for (QAction *a : w.checkMenu()->actions()) {
        if (a->text() == QStringLiteral("Check selected"))
            a->trigger();
    }
    EXPECT_TRUE(w.model().isChecked(0));
    EXPECT_FALSE(w.model().isChecked(1));
    EXPECT_TRUE(w.model().isChecked(2));
    test::saveScreenshot(w, QStringLiteral("list_window_checkboxes"));
    w.checkMenu()->popup(w.mapToGlobal(QPoint(100, 100)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.checkMenu()->isVisible(); }, 5000));
    test::saveScreenshot(*w.checkMenu(), QStringLiteral("list_window_check_menu"));
    w.checkMenu()->hide();
}

TEST_F(ListWindowTest, UpperDirectory)
{
    app.dir.createFiles({"Data/Sub/x.txt", "Data/y.txt"});
    typeFolder(TestDir::win("Data/Sub"));
    // Ctrl+A selects all only in files mode.
    QTest::keyClick(w.fileListView(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(w.fileListView()->selectionModel()->selectedRows().isEmpty());
    QTest::mouseClick(w.upperDirectoryButton(), Qt::LeftButton);
    EXPECT_EQ(w.folderBoxText(), "T:\\Data\\");
    EXPECT_EQ(rows(), (Lines{"Sub", "y.txt"}));

    // From a drive root the "Folder" button's question comes.
    typeFolder("T:\\");
    test::whenModal([](QWidget *dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Folder Add option"));
        test::saveScreenshot(*dialog, QStringLiteral("folder_add_dialog"));
        static_cast<QDialog *>(dialog)->reject();
    });
    QTest::mouseClick(w.upperDirectoryButton(), Qt::LeftButton);
    EXPECT_EQ(w.folderBoxText(), "T:\\");
}

TEST_F(ListWindowTest, RenameWithF2AndUndoIt)
{
    app.dir.createFiles({"r/report.txt", "r/other.txt"});
    typeFolder(TestDir::win("r"));
    selectRows({1});
    test::whenModal([](QWidget *dialog) {
        auto *d = static_cast<TForm2 *>(dialog);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Rename a file"));
        EXPECT_EQ(d->nameBox()->text(), QStringLiteral("report"));
        EXPECT_EQ(d->extensionBox()->text(), QStringLiteral(".txt"));
        EXPECT_EQ(d->nameBox()->selectedText(), QStringLiteral("report"));
        test::saveScreenshot(*d, QStringLiteral("rename_dialog"));
        d->nameBox()->setText(QStringLiteral("  annual"));
        d->extensionBox()->setText(QStringLiteral("txt"));
        QTest::keyClick(d->nameBox(), Qt::Key_Return);
    });
    QTest::keyClick(w.fileListView(), Qt::Key_F2);
    EXPECT_EQ(rows(), (Lines{"other.txt", "annual.txt"}));
    EXPECT_TRUE(app.dir.exists("r/annual.txt"));
    EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/rollback.rbk"),
              singleRenameLog(app.dir, "r", "annual.txt", "report.txt"));

    app.prompter.expect(Answer::Yes);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.button(ListButton::Undo)->isEnabled(); }, 5000));
    QTest::mouseClick(w.button(ListButton::Undo), Qt::LeftButton);
    EXPECT_TRUE(app.dir.exists("r/report.txt"));
    EXPECT_EQ(status(1), "Undo done.");
    EXPECT_EQ(rows(), (Lines{"other.txt", "report.txt"}));
}

// A folder typed into the box without Enter does not change what the listed
// rows are: every row action works on the folder the rows came from.
TEST_F(ListWindowTest, RowActionsUseTheListedFolderNotTheBoxText)
{
    app.dir.createFiles({"prog/renomiq", "a/x.txt", "a/sub/inner.txt", "b/x.txt", "b/sub/"});
    w.setProgramFile(app.dir.host("prog/renomiq"));
    typeFolder(TestDir::win("a"));
    ASSERT_EQ(rows(), (Lines{"sub", "x.txt"}));
    const auto typeOtherFolder = [&] {
        QTest::mouseClick(w.folderBox()->lineEdit(), Qt::LeftButton);
        QTest::keyClick(w.folderBox()->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w.folderBox()->lineEdit(), QString::fromStdString(TestDir::win("b")));
        ASSERT_EQ(w.folderBoxText(), TestDir::win("b"));
    };

    typeOtherFolder();
    selectRows({1});
    trigger("openFileItem");
    trigger("openFolderItem");
    EXPECT_EQ(app.shell.opened, (Lines{"T:\\a\\x.txt"}));
    EXPECT_EQ(app.shell.shown, (Lines{"T:\\a\\x.txt"}));

    sendTo("Remove");
    EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/fn000.tmp"), "T:\\a\\x.txt\r\n");

    test::whenModal([](QWidget *dialog) {
        auto *d = static_cast<TForm2 *>(dialog);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Rename a file"));
        d->nameBox()->setText(QStringLiteral("y"));
        QTest::keyClick(d->nameBox(), Qt::Key_Return);
    });
    w.fileListView()->setFocus();
    QTest::keyClick(w.fileListView(), Qt::Key_F2);
    EXPECT_TRUE(app.dir.exists("a/y.txt"));
    EXPECT_FALSE(app.dir.exists("a/x.txt"));
    EXPECT_TRUE(app.dir.exists("b/x.txt"));
    EXPECT_FALSE(app.dir.exists("b/y.txt"));
    EXPECT_EQ(rows(), (Lines{"sub", "y.txt"}));
    EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/rollback.rbk"), singleRenameLog(app.dir, "a", "y.txt", "x.txt"));

    // A double-click on a folder row opens that folder of the listed one.
    typeOtherFolder();
    selectRows({0});
    const QRect row = w.fileListView()->visualRect(w.model().index(0));
    // A double-click as the platform delivers it: a click, then the second press.
    QTest::mouseClick(w.fileListView()->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(w.fileListView()->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(w.folderBoxText(), "T:\\a\\sub\\");
    EXPECT_EQ(rows(), (Lines{"inner.txt"}));
}

// A folder row picked as the sample is one whole name: a dot in it starts no
// extension, in the sample display nor in "Old extention part :   ".
TEST_F(ListWindowTest, AFolderRowAsSampleKeepsItsWholeName)
{
    app.dir.createFiles({"p/Photos.2009/x.jpg", "p/a.txt"});
    typeFolder(TestDir::win("p"));
    ASSERT_EQ(rows(), (Lines{"Photos.2009", "a.txt"}));
    const struct {
        ListButton button;
        const char *caption;
        EditKind kind;
        const char *shown;
        const char *oldExtension;
    } cases[] = {
        {ListButton::Remove, "Remove", EditKind::Removpart, "Photos.2009", nullptr},
        {ListButton::Replace, "Replace", EditKind::Replapart, "Photos.2009", nullptr},
        {ListButton::Extension, "Extension", EditKind::Changexten, "Photos.2009", ""},
    };
    for (const auto &c : cases) {
        selectRows({0});
        click(c.button);
        ASSERT_TRUE(app.editor.isVisible()) << c.caption;
        EXPECT_EQ(app.editor.sampleName()->text(), QString::fromLatin1(c.shown)) << c.caption;
        EXPECT_EQ(app.editor.sampleName()->toolTip(), QStringLiteral("T:\\p\\Photos.2009")) << c.caption;
        if (c.oldExtension) {
            EXPECT_EQ(app.editor.panel(c.kind)->boxText(EditorBox::OldExtension), QString::fromLatin1(c.oldExtension))
                << c.caption;
        }
        app.editor.close();
    }
    // A file row is still split at its last dot.
    selectRows({1});
    click(ListButton::Remove);
    EXPECT_EQ(app.editor.sampleName()->text(), QStringLiteral("a"));
    app.editor.close();
}

TEST_F(ListWindowTest, StartEditRefusalsAndSaveOfFiles)
{
    app.prompter.expect(Answer::Ok);
    click(ListButton::Remove);
    EXPECT_EQ(app.prompter.texts(),
              (Lines{"You have not selected a folder or some files,\nplease click 'Folder' or 'Files' button to proceed."}));
    EXPECT_EQ(app.state.editKind, EditKind::Browsefile);

    // "Save" with three file rows writes the names at once; no editor.
    app.dir.createFiles({"s/a", "s/b", "s/c"});
    addFiles({"s/a", "s/b", "s/c"});
    app.shell.saveFiles.push_back(TestDir::win("names.txt"));
    app.state.settings.options.dontOpenAfterSave = true;
    click(ListButton::Save);
    EXPECT_TRUE(app.dir.exists("names.txt"));
    EXPECT_FALSE(app.editor.isVisible());
    EXPECT_EQ(app.state.editKind, EditKind::Browsefile);

    // A folder mode edit with the folder gone.
    app.dir.createFiles({"gone/x"});
    w.model().clear();
    app.state.targets.filesMode = false;
    w.setFolderBoxText(TestDir::win("gone2"));
    app.prompter.clear();
    app.prompter.expect(Answer::Ok);
    click(ListButton::Replace);
    EXPECT_EQ(app.prompter.texts(), (Lines{"The sepecified folder does not exist, please select another."}));

    // And a good one shows the editor with the selected row as sample.
    typeFolder(TestDir::win("gone"));
    selectRows({0});
    click(ListButton::Change);
    EXPECT_TRUE(app.editor.isVisible());
    EXPECT_EQ(app.state.targets.sampleItem, "T:\\gone\\x");
    EXPECT_EQ(app.state.targets.targetFolder, "T:\\gone\\");
}

TEST_F(ListWindowTest, SaveOfFilesReadsTheEditorsSavePanel)
{
    // The editor keeps its save panel between showings; a files export from
    // the list window reads it. Sizes, dates, types and the content choice
    // belong to a folder export: the chosen files are listed as they are.
    // The panel is hidden while another edit is chosen: found by name alone.
    const auto tick = [this](const char *name) {
        for (QAbstractButton *b : app.editor.findChildren<QAbstractButton *>()) {
            if (b->accessibleName() == QString::fromLatin1(name))
                return b->setChecked(true);
        }
        ADD_FAILURE() << "no control " << name;
    };
    for (const char *name : {"File size", "File date time", "Music", "Include webpage folder", "Special types",
                             "All filenames in subfolders"})
        tick(name);
    const ExportChoices read = app.editor.exportChoices();
    EXPECT_TRUE(read.fileSize && read.fileDateTime && read.music && read.specialTypes);
    EXPECT_EQ(read.content, ExportChoices::Content::AllFilenames);

    app.dir.createFiles({"s/a.jpg", "s/b.txt", "t/c.mp3", "t/d/"});
    addFiles({"s/a.jpg", "s/b.txt", "t/c.mp3", "t/d"});
    app.shell.saveFiles.push_back(TestDir::win("names"));
    app.state.settings.options.dontOpenAfterSave = true;
    click(ListButton::Save);
    const std::string written = app.dir.readFile("names.txt");
    const std::size_t afterDate = written.find("]\r\n");
    ASSERT_NE(afterDate, std::string::npos) << written;
    EXPECT_EQ(written.substr(afterDate + 3), "Selected files names:\r\n"
                                             "In folder, <T:\\s\\>\r\n"
                                             "  a.jpg\r\n"
                                             "  b.txt\r\n"
                                             "In folder, <T:\\t\\>\r\n"
                                             "  c.mp3\r\n"
                                             "  <d>\r\n");
    EXPECT_EQ(app.state.editKind, EditKind::Browsefile);
    // The panel still holds the user's choices.
    EXPECT_TRUE(app.editor.exportChoices().fileSize);
}

TEST_F(ListWindowTest, RenameInAnotherSession)
{
    app.dir.createFiles({"prog/renomiq", "h/a.txt", "h/b.txt", "h/c.txt"});
    w.setProgramFile(app.dir.host("prog/renomiq"));
    addFiles({"h/a.txt", "h/b.txt", "h/c.txt"});
    selectRows({0, 2});
    sendTo("Save");
    ASSERT_EQ(app.shell.started.size(), 1u);
    EXPECT_EQ(app.shell.started[0], (Lines{app.dir.host("prog/renomiq"), "Savesomes"}));
    EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/fn000.tmp"), "T:\\h\\a.txt\r\nT:\\h\\c.txt\r\n");
    EXPECT_EQ(rows(), (Lines{"T:\\h\\b.txt"}));
    EXPECT_EQ(status(0), "1 Files");

    // Folder mode: the rows stay; one folder row sends Savealls.
    app.dir.createFiles({"h/sub/"});
    w.model().clear();
    typeFolder(TestDir::win("h"));
    selectRows({0});
    sendTo("Save");
    EXPECT_EQ(app.shell.started[1], (Lines{app.dir.host("prog/renomiq"), "Savealls"}));
    sendTo("Extension");
    EXPECT_EQ(app.shell.started[2], (Lines{app.dir.host("prog/renomiq"), "Changexten"}));
    EXPECT_EQ(rows().size(), 4u);

    // The program file missing: message, nothing written.
    w.setProgramFile(app.dir.host("prog/none"));
    app.prompter.expect(Answer::Ok);
    sendTo("Remove");
    EXPECT_EQ(app.prompter.texts(), (Lines{"The program file is missing, please reinstall it."}));
    EXPECT_EQ(app.shell.started.size(), 3u);
}

TEST_F(ListWindowTest, AChoiceDuringAListingStopsIt)
{
    for (int i = 0; i < 400; ++i)
        app.dir.createFiles({"big/f" + std::to_string(i)});
    app.dir.createFiles({"small/one.txt"});
    // While the big folder is read, the user types another folder.
    bool typed = false;
    QTimer::singleShot(0, &w, [&] {
        typed = true;
        EXPECT_TRUE(app.state.listing.running);
        typeFolder(TestDir::win("small"));
    });
    w.setFolderBoxText(TestDir::win("big"));
    app.state.targets.filesMode = false;
    // Slow the read down so that events are processed during it.
    int entries = 0;
    app.fileSystem.beforeEntry = [&] {
        ++entries;
        QTest::qSleep(1);
    };
    w.refreshListing();
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() == (Lines{"one.txt"}); }, 5000));
    EXPECT_TRUE(typed);
    EXPECT_EQ(status(0), "0 Folders 1 Files");
    EXPECT_EQ(w.folderBoxText(), "T:\\small\\");
    // The big folder was read part way, once; then the small one.
    EXPECT_LT(entries, 400);
    EXPECT_FALSE(app.state.listing.running);
    EXPECT_FALSE(app.state.listing.abort);
}

// A failed rename fills the boxes again from the row as when the dialog
// opened: a file keeps its extension label and box, even when the file went
// missing on the way; a folder keeps them hidden.
TEST_F(ListWindowTest, AFailedRenameRefillsTheBoxesAsAtOpening)
{
    const struct {
        const char *item;
        bool missing; // deleted while the dialog is open, else the rename is refused
        const char *name;
        const char *extension;
        bool extensionShown;
    } cases[] = {
        {"f/photo.v1.jpg", true, "photo.v1", ".jpg", true},
        {"f/notes", true, "notes", "", true},
        {"f/report.txt", false, "report", ".txt", true},
        {"f/album.2009", false, "album.2009", "", false},
    };
    for (const auto &c : cases) {
        app.dir.createFiles({c.extensionShown ? std::string(c.item) : std::string(c.item) + "/"});
        w.model().clear();
        app.state.targets.filesMode = true;
        w.model().appendRows({TestDir::win(c.item)}, false);
        selectRows({0});
        app.fileSystem.refuseRenameOf = {TestDir::win(c.item)};
        app.prompter.clear();
        app.prompter.expect(Answer::Ok);
        test::whenModal([&](QWidget *dialog) {
            auto *d = static_cast<TForm2 *>(dialog);
            if (c.missing) {
                ASSERT_EQ(std::remove(app.dir.host(c.item).c_str()), 0) << c.item;
            }
            d->nameBox()->setText(QStringLiteral("renamed"));
            d->extensionBox()->setText(QStringLiteral(".new"));
            QTest::keyClick(d->nameBox(), Qt::Key_Return);
            EXPECT_TRUE(d->isVisible()) << c.item;
            EXPECT_EQ(d->nameBox()->text(), QString::fromLatin1(c.name)) << c.item;
            EXPECT_EQ(d->extensionBox()->text(), QString::fromLatin1(c.extension)) << c.item;
            EXPECT_EQ(d->extensionBox()->isVisible(), c.extensionShown) << c.item;
            EXPECT_EQ(d->extensionLabel()->isVisible(), c.extensionShown) << c.item;
            EXPECT_EQ(d->focusWidget(), d->nameBox()) << c.item;
            QTest::keyClick(d, Qt::Key_Escape);
        });
        trigger("renameItem");
        EXPECT_EQ(app.prompter.texts(), (Lines{"Can not rename, the file is on CD or using or missed."})) << c.item;
        EXPECT_EQ(rows(), (Lines{TestDir::win(c.item)})) << c.item;
    }
    app.fileSystem.refuseRenameOf.clear();
}

TEST_F(ListWindowTest, RenameDialogRefusals)
{
    app.dir.createFiles({"q/a.txt", "q/b.txt", "q/dir/"});
    addFiles({"q/a.txt"});
    const struct {
        const char *name;
        const char *extension;
        const char *message;
        bool refuse;
        const char *nameAfter; // the name box afterwards
    } cases[] = {
        {"   ", ".txt", "The new name is empty.", false, ""},
        {"b", "txt", "The new name is already existing.", false, "b"},
        {"a?", ".txt",
         "You should remove one of following nine characters from input text, because they are prohibited in "
         "Windows filenames:  \\ / : * ? \" < > |",
         false, "a?"},
        {"c", ".txt", "Can not rename, the file is on CD or using or missed.", true, "a"},
    };
    for (const auto &c : cases) {
        app.prompter.clear();
        app.prompter.expect(Answer::Ok);
        app.fileSystem.refuseRenameOf.clear();
        if (c.refuse)
            app.fileSystem.refuseRenameOf.insert(TestDir::win("q/a.txt"));
        selectRows({0});
        test::whenModal([&](QWidget *dialog) {
            auto *d = static_cast<TForm2 *>(dialog);
            d->nameBox()->setText(QString::fromLatin1(c.name));
            d->extensionBox()->setText(QString::fromLatin1(c.extension));
            QTest::keyClick(d->extensionBox(), Qt::Key_Return);
            EXPECT_TRUE(d->isVisible()) << c.name;
            EXPECT_EQ(d->nameBox()->text(), QString::fromLatin1(c.nameAfter)) << c.name;
            QTest::keyClick(d, Qt::Key_Escape);
        });
        trigger("renameItem");
        EXPECT_EQ(app.prompter.texts(), (Lines{c.message})) << c.name;
        EXPECT_EQ(rows(), (Lines{"T:\\q\\a.txt"})) << c.name;
    }
    EXPECT_TRUE(app.dir.exists("q/a.txt"));

    // A folder row in folder mode: no extension box; the new name is the box text plus the name.
    app.prompter.clear();
    app.prompter.expect(Answer::Ok);
    typeFolder(TestDir::win("q"));
    app.prompter.clear();
    selectRows({0});
    test::whenModal([&](QWidget *dialog) {
        auto *d = static_cast<TForm2 *>(dialog);
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Rename a folder"));
        EXPECT_FALSE(d->extensionBox()->isVisible());
        d->nameBox()->setText(QStringLiteral("folder.v2"));
        QTest::keyClick(d->nameBox(), Qt::Key_Return);
    });
    trigger("renameItem");
    EXPECT_TRUE(app.dir.exists("q/folder.v2/"));
    EXPECT_EQ(rows()[0], "folder.v2");
}

TEST_F(ListWindowTest, PlacementIsStoredAndRestored)
{
    app.registry.writeDword(RegistryHive::CurrentUser, SettingsStore::kKey, "Maximize", 0);
    app.registry.writeDword(RegistryHive::CurrentUser, SettingsStore::kKey, "Left", 40);
    app.registry.writeDword(RegistryHive::CurrentUser, SettingsStore::kKey, "Top", 30);
    app.registry.writeDword(RegistryHive::CurrentUser, SettingsStore::kKey, "Width", 700);
    app.registry.writeDword(RegistryHive::CurrentUser, SettingsStore::kKey, "Height", 500);
    w.startUp(std::nullopt);
    EXPECT_EQ(w.size(), QSize(700, 500));
    EXPECT_EQ(w.pos(), QPoint(40, 30));
    w.resize(650, 480);
    w.close();
    const auto value = [&](const char *name) {
        return app.registry.readValue(RegistryHive::CurrentUser, SettingsStore::kKey, name)->dword;
    };
    EXPECT_EQ(value("Maximize"), 0u);
    EXPECT_EQ(value("Width"), 650u);
    EXPECT_EQ(value("Height"), 480u);
}

TEST_F(ListWindowTest, DropsInFolderModeAreIgnored)
{
    app.dir.createFiles({"f/x.txt", "g/y.txt"});
    typeFolder(TestDir::win("f"));
    drop({"g/y.txt"});
    EXPECT_EQ(rows(), (Lines{"x.txt"}));
}

// "Add all files of a folder" on a folder that cannot be read says so, instead
// of adding nothing in silence.
TEST_F(ListWindowTest, AddingTheFilesOfAnUnreadableFolderIsReported)
{
    app.dir.createFiles({"U/a.txt"});
    app.fileSystem.refuseListOf.insert(TestDir::win("U") + "\\");
    app.shell.folders.push_back(TestDir::win("U"));
    app.prompter.expect(Answer::Ok);
    test::whenModal([&](QWidget *) { QTest::mouseDClick(app.folderAdd.addFilesButton(), Qt::LeftButton); });
    QTest::mouseClick(w.button(ListButton::Folder), Qt::LeftButton);
    EXPECT_EQ(app.prompter.texts(), Lines{"The folder could not be read: Cannot list 'T:\\U\\': Permission denied"});
    EXPECT_TRUE(rows().empty());
}

TEST(FolderAddDialog, DoubleClickChoosesAndIsKept)
{
    test::TestPlatform t;
    AppState state(t.platform);
    TForm9 dialog;
    test::whenModal([&](QWidget *) { QTest::mouseDClick(dialog.addFilesButton(), Qt::LeftButton); });
    EXPECT_EQ(dialog.ask(), TForm9::AddFiles);
    test::whenModal([&](QWidget *d) {
        EXPECT_TRUE(dialog.addFilesButton()->isChecked());
        EXPECT_TRUE(dialog.addFilesButton()->font().bold());
        EXPECT_FALSE(dialog.chooseFolderButton()->font().bold());
        d->close();
    });
    EXPECT_EQ(dialog.ask(), TForm9::Cancelled);
}

} // namespace
} // namespace renomiq

namespace renomiq {
namespace {

// A start straight into the editor, then the list window closed: the used
// folders stored before are still stored.
TEST(ListWindowStart, AKeywordStartKeepsTheStoredFolders)
{
    test::GuiApp app;
    const std::string key = SettingsStore::kKey;
    app.registry.writeString(RegistryHive::CurrentUser, key, "Folder0", "T:\\old1");
    app.registry.writeString(RegistryHive::CurrentUser, key, "Folder1", "T:\\old2");
    app.dir.createFiles({"q/a.txt", "q/b.txt"});
    ASSERT_TRUE(HandOffFile(app.fileSystem, app.state.settings.dataFolder())
                    .write({test::TestDir::win("q/a.txt"), test::TestDir::win("q/b.txt")}));
    app.list.startUp(std::string("Changnew"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.editor.isVisible(); }, 5000));
    app.editor.closeEditor();
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.list.isVisible(); }, 5000));
    app.list.close();
    const auto folder = [&](const char *name) {
        const auto v = app.registry.readValue(RegistryHive::CurrentUser, key, name);
        return v ? v->text : std::string("(none)");
    };
    EXPECT_EQ(folder("Folder0"), "T:\\old1");
    EXPECT_EQ(folder("Folder1"), "T:\\old2");
}

} // namespace
} // namespace renomiq
