// The preview, progress and rename error windows driven by the real run driver.
#include "editor/editor_panel.h"
#include "editor/sample_name_box.h"
#include "run/preview_model.h"
#include "support/editor_app.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace renomiq {
namespace {

using test::EditorApp;
using Lines = std::vector<std::string>;

std::vector<std::pair<std::string, std::string>> rowsOf(const TForm6 &preview)
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (int i = 0; i < preview.model()->rowCount(); ++i)
        rows.emplace_back(preview.model()->oldText(i).toStdString(), preview.model()->newText(i).toStdString());
    return rows;
}

void replace(EditorApp &app, const char *oldText, const char *newText)
{
    EditorPanel *panel = app.editor.currentPanel();
    panel->setBoxText(EditorBox::OldString, QString::fromUtf8(oldText));
    panel->setBoxText(EditorBox::NewString, QString::fromUtf8(newText));
}

TEST(PreviewWindow, RowsLimitsAndTheSpecialRows)
{
    const struct {
        int files;
        int limit;
        std::size_t rows;
        const char *last;
    } cases[] = {{25, 20, 21, "(Others not shown...)"}, {20, 20, 20, nullptr}, {3, 1, 2, "(Others not shown...)"}};
    for (const auto &c : cases) {
        EditorApp app;
        QAbstractItemModelTester tester(app.preview.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
        for (int i = 0; i < c.files; ++i)
            app.dir.createFiles({"F/f" + std::to_string(i) + ".txt"});
        app.state.settings.options.previewLimit = c.limit;
        app.openFolder(EditKind::Replapart, "F");
        replace(app, "f", "g");
        QTest::mouseClick(app.editor.button(EditorButton::Preview), Qt::LeftButton);
        ASSERT_TRUE(app.preview.isVisible());
        const auto rows = rowsOf(app.preview);
        ASSERT_EQ(rows.size(), c.rows) << c.files;
        if (c.last)
            EXPECT_EQ(rows.back().first, c.last) << c.files;
        else
            EXPECT_EQ(rows.back().first.substr(0, 1), "f") << c.files;
        EXPECT_FALSE(app.editor.inputs().request.preview);
        EXPECT_EQ(app.dir.list("F").size(), static_cast<std::size_t>(c.files)); // nothing renamed
    }
}

TEST(PreviewWindow, CaptionDuplicatesNoRowAndTheRunFromThePreview)
{
    EditorApp app;
    app.dir.createFiles({"F/a1.txt", "F/a2.txt", "F/a3.txt", "F/b.txt"});
    app.openFolder(EditKind::Changnew, "F");
    app.editor.currentPanel()->setBoxText(EditorBox::NewName, QStringLiteral("a"));
    app.editor.previewAction();
    EXPECT_EQ(app.preview.windowTitle(), QStringLiteral("Preview - Change to new name"));
    EXPECT_EQ(app.preview.list()->horizontalHeader()->sectionsClickable(), false);
    auto rows = rowsOf(app.preview);
    ASSERT_EQ(rows.size(), 4u);
    std::vector<std::string> newNames;
    for (const auto &r : rows)
        newNames.push_back(r.second);
    EXPECT_EQ(newNames, (Lines{"a.txt", "a(1).txt", "a(2).txt", "a(3).txt"}));
    test::saveScreenshot(app.preview, QStringLiteral("preview_window"));

    // The list's menu.
    std::unique_ptr<QMenu> menu(app.preview.createListMenu());
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("Show On"));
    EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("Copy Filename"));
    app.preview.list()->selectRow(1);
    menu.reset(app.preview.createListMenu());
    ASSERT_TRUE(menu->actions()[1]->isEnabled());
    menu->actions()[1]->trigger();
    EXPECT_EQ(app.clipboard.content, rows[1].first);
    menu->actions()[0]->trigger();
    EXPECT_EQ(app.editor.sampleName()->text().toStdString() + ".txt", rows[1].first);
    EXPECT_EQ(app.editor.sampleName()->toolTip().toStdString(), rows[1].first);

    // "Rename" hides the preview and runs anew.
    QTest::mouseClick(app.preview.renameButton(), Qt::LeftButton);
    EXPECT_FALSE(app.preview.isVisible());
    // On disk the suffixes accumulate, unlike the preview's own.
    EXPECT_EQ(app.dir.list("F"), (Lines{"a(1)(2)(3).txt", "a(1)(2).txt", "a(1).txt", "a.txt"}));
    EXPECT_EQ(app.list.status[1], "4 renamed successfully, 0 failed.");
    EXPECT_EQ(app.preview.model()->rowCount(), 0); // emptied when the editor closed it
}

TEST(PreviewWindow, NoValidNameGivesTheNoFilenameRowAndButtonsKeepTheirPlaces)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt"});
    app.openFolder(EditKind::Replapart, "F");
    replace(app, "zzz", "y");
    app.editor.previewAction();
    ASSERT_EQ(rowsOf(app.preview), (std::vector<std::pair<std::string, std::string>>{{"(No filename will be renamed)", ""}}));
    app.preview.resize(600, 400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.preview.closeButton()->x() == 600 - 90 - 8; }, 5000));
    EXPECT_EQ(app.preview.optionsButton()->x(), 300 - 45);
    EXPECT_EQ(app.preview.renameButton()->x(), 8);
    QSignalSpy options(&app.preview, &TForm6::optionsRequested);
    QTest::mouseClick(app.preview.optionsButton(), Qt::LeftButton);
    EXPECT_EQ(options.count(), 1);
    QTest::mouseClick(app.preview.closeButton(), Qt::LeftButton);
    EXPECT_FALSE(app.preview.isVisible());
    EXPECT_EQ(app.preview.model()->rowCount(), 0);
}

TEST(ProgressDialog, CancelHalfWayKeepsWhatWasRenamedAndTheUndoRestoresIt)
{
    EditorApp app;
    const int count = 300;
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i)
        files.push_back("F/f" + std::to_string(i) + ".txt");
    app.dir.createFiles(files);
    app.openFolder(EditKind::Replapart, "F");
    replace(app, "f", "g");

    // Before the 101st rename, Cancel is pressed twice: No first (the job goes
    // on), then Yes, which stops the run before that rename.
    int renames = 0;
    int asked = 0;
    app.fileSystem.beforeRename = [&](const std::string &) {
        if (++renames != 101)
            return;
        ASSERT_TRUE(app.progress.jobRunning());
        ASSERT_TRUE(app.progress.isVisible());
        ++asked;
        app.prompter.expect(Answer::No);
        QTest::mouseClick(app.progress.cancelButton(), Qt::LeftButton);
        EXPECT_FALSE(app.state.run.stopRequest);
        EXPECT_TRUE(app.progress.jobRunning());
        ++asked;
        app.prompter.expect(Answer::Yes);
        QTest::mouseClick(app.progress.cancelButton(), Qt::LeftButton);
        EXPECT_TRUE(app.state.run.stopRequest);
    };
    QTest::mouseClick(app.editor.button(EditorButton::OK), Qt::LeftButton);
    app.fileSystem.beforeRename = nullptr;

    ASSERT_EQ(asked, 2);
    EXPECT_EQ(app.prompter.texts(), (Lines{"Will you cancel this operation?", "Will you cancel this operation?"}));
    // The rename the hook ran before goes ahead; the run stops after it.
    const int renamed = app.state.run.renamedCount;
    EXPECT_EQ(renamed, 101);
    EXPECT_FALSE(app.progress.isVisible());
    EXPECT_LE(app.progress.repaints(), 100);
    int gFiles = 0;
    for (const std::string &name : app.dir.list("F"))
        gFiles += name[0] == 'g';
    EXPECT_EQ(gFiles, renamed);
    EXPECT_EQ(app.list.status[1], std::to_string(renamed) + " renamed successfully, 0 failed.");

    // The undo of more than 60 lines runs under the dialog too.
    app.prompter.clear();
    app.prompter.expect(Answer::Yes);
    ASSERT_TRUE(app.driver.undoLast());
    for (const std::string &name : app.dir.list("F"))
        ASSERT_EQ(name[0], 'f') << name;
    EXPECT_EQ(app.dir.list("F").size(), static_cast<std::size_t>(count));
}

TEST(ProgressDialog, OkDuringTheRunStartsNoSecondRun)
{
    EditorApp app;
    std::vector<std::string> files;
    for (int i = 0; i < 100; ++i)
        files.push_back("F/f" + std::to_string(i) + ".txt");
    app.dir.createFiles(files);
    app.openFolder(EditKind::Replapart, "F");
    replace(app, "f", "g");
    // "OK" and "Preview" pressed while the run is at its tenth item.
    int renames = 0;
    int tried = 0;
    app.fileSystem.beforeRename = [&](const std::string &) {
        if (++renames != 10)
            return;
        ASSERT_TRUE(app.progress.jobRunning());
        ++tried;
        app.editor.okAction();
        app.editor.previewAction();
    };
    app.editor.okAction();
    app.fileSystem.beforeRename = nullptr;
    EXPECT_EQ(tried, 1);
    EXPECT_EQ(renames, 100);
    EXPECT_EQ(app.state.run.renamedCount, 100);
    EXPECT_EQ(app.list.status[1], "100 renamed successfully, 0 failed.");
    EXPECT_TRUE(app.prompter.texts().empty());
}

TEST(ProgressDialog, LayoutAndTheJobStartingOnceOnScreen)
{
    EditorApp app;
    int runs = 0;
    bool visibleDuringJob = false;
    app.progress.runWithProgress([&] {
        ++runs;
        visibleDuringJob = app.progress.isVisible();
        app.progress.setProgressMaximum(4);
        app.progress.setProgressPosition(2);
        app.progress.setProgressNames("old.txt", "new.txt");
        app.progress.showSearchPanel(false);
        // The bar and names are drawn at most ~30 times a second.
        EXPECT_TRUE(QTest::qWaitFor([&] { return (app.progress.processEvents(), app.progress.bar()->value() == 2); }, 5000));
        test::saveScreenshot(app.progress, QStringLiteral("progress_dialog"));
    });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(visibleDuringJob);
    EXPECT_EQ(app.progress.windowTitle(), QStringLiteral("Progress"));
    EXPECT_EQ(app.progress.size(), QSize(304, 145));
    EXPECT_EQ(app.progress.bar()->value(), 2);
    EXPECT_EQ(app.progress.oldNameLabel()->text(), QStringLiteral("old.txt"));
    EXPECT_FALSE(app.progress.isVisible());
}

TEST(RenameErrorDialog, ShownPerFailureUntilSilencedForTheProgramsLife)
{
    EditorApp app;
    app.dir.createFiles({"F/a1.txt", "F/a2.txt", "F/a3.txt"});
    app.fileSystem.refuseRenameOf.insert("*");
    app.openFolder(EditKind::Replapart, "F");
    replace(app, "a", "b");
    int shown = 0;
    test::whenModal([&](QWidget *modal) {
        ASSERT_EQ(modal, &app.renameError);
        ++shown;
        EXPECT_EQ(app.renameError.windowTitle(), QStringLiteral("Rename Error"));
        EXPECT_EQ(app.renameError.size(), QSize(429, 193));
        EXPECT_EQ(app.renameError.oldNameLabel()->text().left(1), QStringLiteral("a"));
        EXPECT_EQ(app.renameError.newNameLabel()->text().left(1), QStringLiteral("b"));
        test::saveScreenshot(app.renameError, QStringLiteral("rename_error_dialog"));
        app.renameError.doNotDisplay()->setChecked(true);
        QTest::mouseClick(app.renameError.findChild<QPushButton *>(), Qt::LeftButton);
    });
    app.prompter.expect(Answer::Ok);
    app.editor.okAction();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(app.state.run.failedCount, 3);
    EXPECT_EQ(app.prompter.texts(), (Lines{"No filename had been changed,please check input text and \nmake sure that "
                                           "the targeted files can be renamed."}));
    EXPECT_TRUE(app.editor.isVisible());

    // Silenced for later runs too.
    app.prompter.expect(Answer::Ok);
    app.editor.okAction();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(app.state.run.failedCount, 3);
}

} // namespace
} // namespace renomiq
