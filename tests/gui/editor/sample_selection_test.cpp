#include "editor/editor_panel.h"
#include "editor/sample_name_box.h"
#include "support/editor_app.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPushButton>
#include <QTableView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace renomiq {
namespace {

using test::EditorApp;
using test::findNamed;
using test::TestDir;

// "a" (1 byte), "é" (2), "中" (3), "😀" (4, two display units), "b_2009".
const char *const kName = "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80"
                          "b_2009";

// The points of the display between its units, found once by moving the caret
// (which would drop a selection made later).
std::vector<QPoint> g_points;

void measure(SampleNameBox *box)
{
    g_points.clear();
    for (int unit = 0; unit <= box->text().size(); ++unit) {
        box->setCursorPosition(unit);
        g_points.push_back(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().center());
    }
    box->setCursorPosition(0);
}

QPoint pointAt(SampleNameBox *, int unit)
{
    return g_points.at(static_cast<std::size_t>(unit));
}

void press(SampleNameBox *box, int unit)
{
    const QPoint p = pointAt(box, unit);
    QMouseEvent down(QEvent::MouseButtonPress, p, box->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(box, &down);
}

void dragTo(SampleNameBox *box, int unit)
{
    const QPoint p = pointAt(box, unit);
    QMouseEvent move(QEvent::MouseMove, p, box->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &move);
}

void release(SampleNameBox *box, int unit)
{
    const QPoint p = pointAt(box, unit);
    QMouseEvent up(QEvent::MouseButtonRelease, p, box->mapToGlobal(p), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(box, &up);
}

// A click as the pointer gives it: on the mark and caption of a radio button.
void clickIn(EditorApp &app, const char *name)
{
    auto *b = findNamed<QAbstractButton>(app.editor.currentPanel(), QString::fromUtf8(name));
    ASSERT_NE(b, nullptr) << name;
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

class SampleSelection : public ::testing::Test {
protected:
    EditorApp app;
    SampleNameBox *box = nullptr;

    void open(EditKind kind)
    {
        app.dir.createFiles({std::string("F/") + kName + ".txt"});
        app.openFolder(kind, "F");
        box = app.editor.sampleName();
        ASSERT_EQ(box->name(), kName);
        measure(box);
    }
    std::string text(EditorBox b) { return app.editor.currentPanel()->boxText(b).toStdString(); }
    void clickButton(const char *name)
    {
        auto *b = findNamed<QAbstractButton>(app.editor.currentPanel(), QString::fromUtf8(name));
        ASSERT_NE(b, nullptr) << name;
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    }
};

TEST_F(SampleSelection, DraggingGivesBytePositionsAndCopiesAsItGoes)
{
    open(EditKind::Replapart);
    const struct {
        int from, to;
        int start, length;
        const char *copied;
    } rows[] = {
        {1, 2, 1, 2, "\xc3\xa9"},
        {1, 3, 1, 5, "\xc3\xa9\xe4\xb8\xad"},
        {1, 5, 1, 9, "\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80"},
        {5, 3, 6, 4, "\xf0\x9f\x98\x80"},
        {7, 11, 12, 4, "2009"},
        {0, 11, 0, 16, kName},
    };
    for (const auto &row : rows) {
        press(box, row.from);
        EXPECT_TRUE(box->mouseHeld());
        dragTo(box, row.to);
        // The box follows the selection while the button is held.
        EXPECT_EQ(text(EditorBox::OldString), row.copied) << row.from << "->" << row.to;
        release(box, row.to);
        EXPECT_FALSE(box->mouseHeld());
        const EditRequest r = app.editor.inputs().request;
        EXPECT_EQ(r.selectionStart, row.start) << row.from << "->" << row.to;
        EXPECT_EQ(r.selectionLength, row.length) << row.from << "->" << row.to;
        EXPECT_EQ(app.editor.inputs().selectedText, row.copied);
    }

    // " Replace length selected by mouse" copies nothing.
    clickButton("Replace length selected by mouse");
    EXPECT_EQ(app.editor.inputs().request.selectionLength, 0); // the switch cleared the selection
    app.editor.currentPanel()->setBoxText(EditorBox::OldString, {});
    press(box, 0);
    dragTo(box, 2);
    release(box, 2);
    EXPECT_EQ(text(EditorBox::OldString), "");
    EXPECT_EQ(app.editor.inputs().request.selectionLength, 3);
}

TEST_F(SampleSelection, WithAutomaticCopyOffNoBoxChanges)
{
    open(EditKind::Replapart);
    app.state.settings.options.autoCopy = false;
    press(box, 0);
    dragTo(box, 3);
    release(box, 3);
    EXPECT_EQ(text(EditorBox::OldString), "");
    EXPECT_EQ(app.editor.inputs().request.selectionLength, 6);
}

TEST_F(SampleSelection, TheCopyTargetFollowsTheLastBoxPressed)
{
    open(EditKind::Removpart);
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.editor.copyTarget() == 1; }, 5000));
    auto *third = static_cast<QLineEdit *>(app.editor.currentPanel()->box(EditorBox::RemoveString3));
    QTest::mouseClick(third, Qt::LeftButton);
    EXPECT_EQ(app.editor.copyTarget(), 3);
    press(box, 7);
    dragTo(box, 11);
    release(box, 11);
    EXPECT_EQ(text(EditorBox::RemoveString3), "2009");
    EXPECT_EQ(text(EditorBox::RemoveString1), "");

    // A press in a box clears the sample selection.
    QTest::mouseClick(third, Qt::LeftButton);
    EXPECT_EQ(app.editor.inputs().request.selectionLength, 0);

    clickButton("Clear all");
    EXPECT_EQ(app.editor.copyTarget(), 1);
    EXPECT_EQ(text(EditorBox::RemoveString3), "");
    press(box, 6);
    dragTo(box, 7);
    release(box, 7);
    EXPECT_EQ(text(EditorBox::RemoveString1), "_");
}

TEST_F(SampleSelection, APressPicksTheInsertPosition)
{
    open(EditKind::Addnewnum);
    const struct {
        int unit;
        int cursor;
    } rows[] = {{0, 1}, {1, 2}, {2, 4}, {3, 7}, {5, 11}, {11, 17}};
    for (const auto &row : rows) {
        press(box, row.unit);
        release(box, row.unit);
        EXPECT_EQ(app.editor.cursorPosition(), row.cursor) << row.unit;
    }
    // With "Insert to string" a press leaves the position.
    clickButton("Insert to string");
    press(box, 2);
    release(box, 2);
    EXPECT_EQ(app.editor.cursorPosition(), 17);

    // The picked position goes into the run: the text lands in front of 😀.
    clickButton("Insert to position");
    press(box, 3);
    release(box, 3);
    clickButton("CURSOR");
    findNamed<QLineEdit>(app.editor.currentPanel(), QStringLiteral("CURSOR string"))->setText(QStringLiteral("+"));
    app.editor.okAction();
    EXPECT_EQ(app.dir.list("F"), std::vector<std::string>{"a\xc3\xa9\xe4\xb8\xad+\xf0\x9f\x98\x80"
                                                          "b_2009.txt"});
    EXPECT_EQ(app.editor.cursorPosition(), 0); // back to 0 when the editor closed
}

TEST_F(SampleSelection, ShiftAndArrowKeysMarkAndCopyAsTheMouseDoes)
{
    open(EditKind::Replapart);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Right);
    QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(text(EditorBox::OldString), "\xc3\xa9\xe4\xb8\xad");
    const EditRequest r = app.editor.inputs().request;
    EXPECT_EQ(r.selectionStart, 1);
    EXPECT_EQ(r.selectionLength, 5);
}

// The part marked with the pointer stays marked while the pointer and the
// keyboard move on to the direction, the other boxes and "Preview".
TEST(SampleSelectionFocus, AMarkedPartOutlivesTheFocusLeavingTheSample)
{
    const struct {
        const char *label;
        EditKind kind;
        const char *subMode; // clicked before the drag
        std::function<void(EditorApp &)> after; // what the user does after the drag
        const char *newName;
    } rows[] = {
        {"remove, From End", EditKind::Removpart, "Remove anything",
         [](EditorApp &app) { clickIn(app, "From End"); }, "Holiday_.jpg"},
        {"remove, From Head", EditKind::Removpart, "Remove anything",
         [](EditorApp &app) { clickIn(app, "From Head"); }, "Holiday_.jpg"},
        {"remove, Tab", EditKind::Removpart, "Remove anything",
         [](EditorApp &app) { QTest::keyClick(app.editor.sampleName(), Qt::Key_Tab); }, "Holiday_.jpg"},
        {"keep, From End", EditKind::Removpart, "Keep something",
         [](EditorApp &app) { clickIn(app, "From End"); }, "2009.jpg"},
        {"replace length, new string typed", EditKind::Replapart, "Replace length selected by mouse",
         [](EditorApp &app) {
             auto *box = qobject_cast<QComboBox *>(app.editor.currentPanel()->box(EditorBox::NewString));
             QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
             QTest::keyClicks(box->lineEdit(), QStringLiteral("2010"));
         },
         "Holiday_2010.jpg"},
    };
    for (const auto &row : rows) {
        EditorApp app;
        app.dir.createFiles({"H/Holiday_2009.jpg"});
        app.openFolder(row.kind, "H");
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app.editor)) << row.label;
        clickIn(app, row.subMode);
        SampleNameBox *box = app.editor.sampleName();
        measure(box);
        QTest::mousePress(box, Qt::LeftButton, {}, pointAt(box, 8));
        QTest::mouseMove(box, pointAt(box, 10));
        QTest::mouseMove(box, pointAt(box, 12));
        QTest::mouseRelease(box, Qt::LeftButton, {}, pointAt(box, 12));
        ASSERT_EQ(box->selectedText(), QStringLiteral("2009")) << row.label;

        row.after(app);
        EXPECT_FALSE(box->hasFocus()) << row.label;
        EXPECT_EQ(box->selectedText(), QStringLiteral("2009")) << row.label;
        QTest::mouseClick(app.editor.button(EditorButton::Preview), Qt::LeftButton);
        EXPECT_EQ(app.prompter.texts(), std::vector<std::string>{}) << row.label;
        ASSERT_EQ(app.preview.list()->model()->rowCount(), 1) << row.label;
        EXPECT_EQ(app.preview.list()->model()->index(0, 1).data().toString().toStdString(), row.newName) << row.label;
        const EditRequest r = app.editor.inputs().request;
        EXPECT_EQ(r.selectionStart, 8) << row.label;
        EXPECT_EQ(r.selectionLength, 4) << row.label;
    }
}

// Closing the preview gives the editor back with the part still marked: OK
// then renames with it.
TEST(SampleSelectionFocus, AMarkedPartOutlivesThePreviewClosing)
{
    const struct {
        const char *label;
        const char *subMode;
        const char *newName;
    } rows[] = {
        {"remove selected", "Remove anything", "H/Holiday_.jpg"},
        {"keep selected", "Keep something", "H/2009.jpg"},
    };
    for (const auto &row : rows) {
        EditorApp app;
        app.dir.createFiles({"H/Holiday_2009.jpg"});
        app.openFolder(EditKind::Removpart, "H");
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app.editor)) << row.label;
        clickIn(app, row.subMode);
        SampleNameBox *box = app.editor.sampleName();
        measure(box);
        QTest::mousePress(box, Qt::LeftButton, {}, pointAt(box, 8));
        QTest::mouseMove(box, pointAt(box, 12));
        QTest::mouseRelease(box, Qt::LeftButton, {}, pointAt(box, 12));
        ASSERT_EQ(box->selectedText(), QStringLiteral("2009")) << row.label;

        QTest::mouseClick(app.editor.button(EditorButton::Preview), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app.preview)) << row.label;
        QTest::mouseClick(app.preview.closeButton(), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !app.preview.isVisible(); }, 5000)) << row.label;
        app.editor.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&app.editor)) << row.label;
        EXPECT_EQ(box->selectedText(), QStringLiteral("2009")) << row.label;

        QTest::mouseClick(app.editor.button(EditorButton::OK), Qt::LeftButton);
        EXPECT_EQ(app.prompter.texts(), std::vector<std::string>{}) << row.label;
        EXPECT_TRUE(app.dir.exists(row.newName)) << row.label;
        EXPECT_FALSE(app.dir.exists("H/Holiday_2009.jpg")) << row.label;
    }
}

// A sub-mode switch and a new sample still drop the marked part.
TEST(SampleSelectionFocus, ASwitchOrANewSampleDropsTheMarkedPart)
{
    EditorApp app;
    app.dir.createFiles({"H/Holiday_2009.jpg"});
    app.openFolder(EditKind::Removpart, "H");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.editor));
    clickIn(app, "Remove anything");
    SampleNameBox *box = app.editor.sampleName();
    measure(box);
    const auto mark = [&] {
        QTest::mousePress(box, Qt::LeftButton, {}, pointAt(box, 8));
        QTest::mouseMove(box, pointAt(box, 12));
        QTest::mouseRelease(box, Qt::LeftButton, {}, pointAt(box, 12));
        ASSERT_EQ(box->selectedText(), QStringLiteral("2009"));
    };
    mark();
    clickIn(app, "Remove the part between two strings");
    EXPECT_EQ(app.editor.inputs().request.selectionLength, 0);
    clickIn(app, "Remove the part selected by mouse");
    mark();
    app.editor.showOnSample(TestDir::win("H/Trip_2010.jpg"));
    EXPECT_EQ(app.editor.inputs().request.selectionLength, 0);
}

TEST_F(SampleSelection, PopupMenuCopiesSelectsAndFlipsAutomaticCopy)
{
    open(EditKind::Replapart);
    std::unique_ptr<QMenu> menu(box->createMenu());
    QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Copy(&C)"));
    EXPECT_FALSE(actions[0]->isEnabled());
    EXPECT_EQ(actions[1]->text(), QStringLiteral("Select All(&A)"));
    EXPECT_TRUE(actions[1]->isEnabled());
    EXPECT_EQ(actions[2]->text(), QStringLiteral("Disable auto copy"));

    actions[1]->trigger();
    menu.reset(box->createMenu());
    actions = menu->actions();
    EXPECT_TRUE(actions[0]->isEnabled());
    EXPECT_FALSE(actions[1]->isEnabled());
    actions[0]->trigger();
    EXPECT_EQ(app.clipboard.content, kName);
    actions[2]->trigger();
    EXPECT_FALSE(app.state.settings.options.autoCopy);
    menu.reset(box->createMenu());
    EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("Enable auto copy"));
}

} // namespace
} // namespace renomiq
