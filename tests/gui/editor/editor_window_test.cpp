#include "editor/editor_window.h"

#include "editor/editor_panel.h"
#include "editor/sample_name_box.h"
#include "support/editor_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace renomiq {
namespace {

using test::EditorApp;
using test::findNamed;
using Lines = std::vector<std::string>;

const std::string kSuffix = "Edit content is (Filenames in this folder(ONE layer)),continue ?";

QWidget *panelRoot(EditorApp &app)
{
    return app.editor.currentPanel();
}

void click(EditorApp &app, const char *name)
{
    auto *b = findNamed<QAbstractButton>(panelRoot(app), QString::fromUtf8(name));
    ASSERT_NE(b, nullptr) << name;
    // Radio buttons and check boxes take clicks on their mark and caption only.
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

void type(EditorApp &app, const char *name, const char *text)
{
    auto *e = findNamed<QLineEdit>(panelRoot(app), QString::fromUtf8(name));
    ASSERT_NE(e, nullptr) << name;
    e->setText(QString::fromUtf8(text));
}

std::string boxText(EditorApp &app, EditKind kind, EditorBox box)
{
    return app.editor.panel(kind)->boxText(box).toStdString();
}

struct PanelRow {
    const char *label;
    EditKind kind;
    Lines files; // in the folder F
    std::function<void(EditorApp &)> set;
    bool confirm;
    std::vector<Answer> answers;
    Lines texts; // the boxes shown, in order
    Lines after; // the names in F afterwards
};

TEST(EditorWindow, EachPanelChecksConfirmsAndRunsThroughTheDriver)
{
    const PanelRow rows[] = {
        {"remove strings", EditKind::Removpart, {"a_old.txt", "b_old.txt"},
         [](EditorApp &app) { type(app, "Remove String 1:", "_old"); }, true, {Answer::Ok},
         {"It will remove the strings of '_old'(case insensitive) from original filenames,\n" + kSuffix},
         {"a.txt", "b.txt"}},
        {"remove strings, none typed", EditKind::Removpart, {"a.txt"}, [](EditorApp &) {}, true, {Answer::Ok},
         {"Please select or input string to be removed."}, {"a.txt"}},
        {"remove strings 1 and 3", EditKind::Removpart, {"xay.txt"},
         [](EditorApp &app) {
             type(app, "Remove String 1:", "x");
             type(app, "Remove String 3:", "y");
         },
         true, {Answer::Cancel},
         {"It will remove the strings of 'x' and 'y'(case insensitive) from original filenames,\n" + kSuffix},
         {"xay.txt"}},
        {"remove between two strings", EditKind::Removpart, {"x[1]y.txt"},
         [](EditorApp &app) {
             click(app, "Remove anything");
             click(app, "Remove the part between two strings");
             type(app, "Left:", "[");
             type(app, "Right:", "]");
         },
         false, {}, {}, {"x[]y.txt"}},
        {"remove between, right empty", EditKind::Removpart, {"a.txt"},
         [](EditorApp &app) {
             click(app, "Remove anything");
             click(app, "Remove the part between two strings");
             type(app, "Left:", "[");
         },
         false, {Answer::Ok}, {"Please select or input strings to define limition."}, {"a.txt"}},
        {"remove the part selected, none selected", EditKind::Removpart, {"a.txt"},
         [](EditorApp &app) { click(app, "Remove anything"); }, false, {Answer::Ok},
         {"You have not selected part, please use mouse select the part you want to remove."}, {"a.txt"}},
        {"clean symbols", EditKind::Removpart, {"a#b-c.txt"}, [](EditorApp &app) { click(app, "Clean symbols"); }, true,
         {Answer::Ok}, {"It will clean symbols, continue ?"}, {"ab-c.txt"}},
        {"keep strings", EditKind::Removpart, {"xxabcyy.txt"},
         [](EditorApp &app) {
             click(app, "Keep something");
             click(app, "KEEP strings(remove others)");
             type(app, "String 1:", "abc");
         },
         true, {Answer::Ok}, {"It will KEEP the string of 'abc',\n" + kSuffix}, {"abc.txt"}},
        {"replace string", EditKind::Replapart, {"IMG_1.jpg", "img_2.jpg"},
         [](EditorApp &app) {
             type(app, "Old string:", "IMG");
             type(app, "New String:", "Pic");
         },
         true, {Answer::Ok},
         {"It will replace the old strings 'IMG'(case insensitive) by new string 'Pic',\n" + kSuffix},
         {"Pic_1.jpg", "Pic_2.jpg"}},
        {"replace with nothing, cancelled", EditKind::Replapart, {"IMG_1.jpg"},
         [](EditorApp &app) { type(app, "Old string:", "IMG"); }, false, {Answer::Cancel},
         {"The new part is empty, it will REMOVE old part 'IMG'(case insensitive) from original filenames,\n"
          + kSuffix},
         {"IMG_1.jpg"}},
        {"insert at the head", EditKind::Addnewnum, {"a.txt"},
         [](EditorApp &app) {
             click(app, "HEAD");
             type(app, "HEAD string", "x_");
         },
         false, {}, {}, {"x_a.txt"}},
        {"insert at the cursor, none picked", EditKind::Addnewnum, {"a.txt"},
         [](EditorApp &app) {
             click(app, "CURSOR");
             type(app, "CURSOR string", "Z");
         },
         false, {Answer::Ok},
         {"You selected CURSOR position, so you should use mouse point the position(in old filename) you want to "
          "insert."},
         {"a.txt"}},
        {"insert between two strings", EditKind::Addnewnum, {"ab.txt"},
         [](EditorApp &app) {
             click(app, "Insert to string");
             type(app, "The existing string:", "a");
             findNamed<QComboBox>(panelRoot(app), QStringLiteral("Position to insert:"))->setCurrentIndex(2);
             type(app, "The second string:", "b");
             type(app, "String to insert:", "-");
         },
         true, {Answer::Ok}, {"It will insert '-' to the positon \nBETWEEN two strings of 'a',\n" + kSuffix},
         {"a-b.txt"}},
        {"change to a new name", EditKind::Changnew, {"a.txt", "b.txt"},
         [](EditorApp &app) { type(app, "New name:", "n$$"); }, true, {Answer::Ok},
         {"It will change filenames to 'n$$',\n" + kSuffix}, {"n01.txt", "n02.txt"}},
        {"convert to upper case", EditKind::Changnew, {"ab.txt"},
         [](EditorApp &app) {
             click(app, "Convert full name case to:");
             click(app, "UPPER case");
         },
         true, {Answer::Ok}, {"It will convert full name to UPPER case,\n" + kSuffix}, {"AB.TXT"}},
        {"change the extension", EditKind::Changexten, {"a.txt"},
         [](EditorApp &app) { type(app, "New extention part :", "..jpg."); }, true, {Answer::Ok},
         {"It will change filenames extention part, from 'txt' to 'jpg',\n" + kSuffix}, {"a.jpg"}},
        {"convert the extension case", EditKind::Changexten, {"a.txt"},
         [](EditorApp &app) {
             click(app, "Convert extention case");
             click(app, "UPPER case");
         },
         false, {}, {}, {"a.TXT"}},
    };
    for (const PanelRow &row : rows) {
        EditorApp app;
        for (const std::string &f : row.files)
            app.dir.createFiles({"F/" + f});
        app.state.settings.options.confirm = row.confirm;
        app.openFolder(row.kind, "F");
        row.set(app);
        for (Answer a : row.answers)
            app.prompter.expect(a);
        QTest::mouseClick(app.editor.button(EditorButton::OK), Qt::LeftButton);
        EXPECT_EQ(app.prompter.texts(), row.texts) << row.label;
        EXPECT_EQ(app.dir.list("F"), row.after) << row.label;
        EXPECT_EQ(app.prompter.unanswered(), 0u) << row.label;
    }
}

TEST(EditorWindow, RefusalsPutTheFocusIntoTheirBox)
{
    EditorApp app;
    app.dir.createFiles({"F/IMG_1.jpg"});
    app.openFolder(EditKind::Replapart, "F");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.editor));
    type(app, "Old string:", "IMG");
    app.prompter.expect(Answer::Cancel);
    QTest::mouseClick(app.editor.button(EditorButton::OK), Qt::LeftButton);
    QWidget *newString = app.editor.currentPanel()->box(EditorBox::NewString);
    EXPECT_TRUE(QTest::qWaitFor([&] { return newString->hasFocus() || newString->isAncestorOf(QApplication::focusWidget()); }, 5000));

    // Enter in "Old string:" acts as "OK".
    app.prompter.expect(Answer::Cancel);
    auto *old = findNamed<QLineEdit>(panelRoot(app), QStringLiteral("Old string:"));
    old->setFocus();
    QTest::keyClick(old, Qt::Key_Return);
    EXPECT_EQ(app.prompter.texts().size(), 2u);
}

// The new extension is normalised into its box as soon as it is checked, even
// when the question is refused; the leading dots come only when the run goes ahead.
TEST(EditorWindow, AConfirmationCancelledShowsTheNormalisedExtension)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt"});
    app.state.settings.options.confirm = true;
    app.openFolder(EditKind::Changexten, "F");
    EXPECT_EQ(boxText(app, EditKind::Changexten, EditorBox::OldExtension), "txt");
    const struct {
        const char *typed;
        const char *shown;
        const char *question;
    } refused[] = {
        {"..jpg.", "jpg", "It will change filenames extention part, from 'txt' to 'jpg',\n"},
        {"..png.", "png", "It will change filenames extention part, from 'txt' to 'png',\n"},
        {"..", "",
         "The new extention part is empty,\nit will REMOVE old extention part from original filenames,\n"},
        {".", "",
         "The new extention part is empty,\nit will REMOVE old extention part from original filenames,\n"},
    };
    for (const auto &r : refused) {
        app.prompter.clear();
        type(app, "New extention part :", r.typed);
        app.prompter.expect(Answer::Cancel);
        QTest::mouseClick(app.editor.button(EditorButton::OK), Qt::LeftButton);
        EXPECT_EQ(app.prompter.texts(), (Lines{std::string(r.question) + kSuffix})) << r.typed;
        EXPECT_EQ(boxText(app, EditKind::Changexten, EditorBox::NewExtension), r.shown) << r.typed;
        EXPECT_EQ(boxText(app, EditKind::Changexten, EditorBox::OldExtension), "txt") << r.typed;
        EXPECT_EQ(app.dir.list("F"), Lines{"a.txt"}) << r.typed;
    }
    type(app, "New extention part :", "..jpg.");

    app.prompter.expect(Answer::Ok);
    app.editor.okAction();
    EXPECT_EQ(boxText(app, EditKind::Changexten, EditorBox::NewExtension), ".jpg");
    EXPECT_EQ(boxText(app, EditKind::Changexten, EditorBox::OldExtension), ".txt");
    EXPECT_EQ(app.dir.list("F"), Lines{"a.jpg"});
}

// Esc in a box that takes text closes nothing and keeps the picked CURSOR
// position; with the key focus on the window itself it goes back.
TEST(EditorWindow, EscClosesOnlyFromTheWindowItself)
{
    EditorApp app;
    app.dir.createFiles({"F/abcdef.txt"});
    app.openFolder(EditKind::Addnewnum, "F");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.editor));
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.editor.currentPanel()->box(EditorBox::HeadText)->hasFocus(); }, 5000));
    click(app, "CURSOR");
    SampleNameBox *sample = app.editor.sampleName();
    QTest::mouseClick(sample, Qt::LeftButton, {}, QPoint(sample->width() - 4, sample->height() / 2));
    const int picked = app.editor.cursorPosition();
    ASSERT_EQ(picked, 7);
    const auto lineOf = [&](EditorBox id) {
        return static_cast<QComboBox *>(app.editor.currentPanel()->box(id))->lineEdit();
    };
    const struct {
        const char *name;
        QWidget *clicked;
        QPoint at;
    } boxes[] = {
        {"HEAD", lineOf(EditorBox::HeadText), QPoint(2, 5)},
        {"END", lineOf(EditorBox::EndText), QPoint(2, 5)},
        {"CURSOR", lineOf(EditorBox::CursorText), QPoint(2, 5)},
        {"sample name", sample, QPoint(sample->width() - 4, sample->height() / 2)},
    };
    for (const auto &b : boxes) {
        QTest::mouseClick(b.clicked, Qt::LeftButton, {}, b.at);
        ASSERT_NE(QApplication::focusWidget(), nullptr) << b.name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_TRUE(app.editor.isVisible()) << b.name;
        EXPECT_EQ(app.editor.cursorPosition(), picked) << b.name;
    }
    EXPECT_EQ(app.editor.cursorPosition(), picked);
    // Controls that take no text: the focus is theirs, not the window's.
    for (const char *name : {"CURSOR", "HEAD Special"}) {
        auto *control = findNamed<QAbstractButton>(panelRoot(app), QString::fromUtf8(name));
        ASSERT_NE(control, nullptr) << name;
        control->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), control) << name;
        QTest::keyClick(control, Qt::Key_Escape);
        EXPECT_TRUE(app.editor.isVisible()) << name;
    }

    app.editor.setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &app.editor);
    QTest::keyClick(&app.editor, Qt::Key_Escape);
    EXPECT_FALSE(app.editor.isVisible());
    EXPECT_EQ(app.editor.cursorPosition(), 0);
}

TEST(EditorWindow, ExtensionBoxesTakeAtMost253Bytes)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt"});
    app.openFolder(EditKind::Changexten, "F");
    const struct {
        QString typed;
        int bytes;
    } rows[] = {
        {QString(300, QLatin1Char('x')), 253},
        {QString(200, QChar(0xe9)), 252},          // two bytes each: 126 of them
        {QStringLiteral("ab") + QString(100, QChar(0x4e2d)), 251}, // three bytes each: 2 + 83 * 3
    };
    for (EditorBox box : {EditorBox::OldExtension, EditorBox::NewExtension}) {
        for (const auto &row : rows) {
            app.editor.currentPanel()->setBoxText(box, row.typed);
            EXPECT_EQ(app.editor.currentPanel()->boxText(box).toUtf8().size(), row.bytes) << row.bytes;
        }
    }
}

TEST(EditorWindow, ShowAndCloseAroundARun)
{
    EditorApp app;
    app.dir.createFiles({"F/IMG_1.jpg", "F/IMG_2.jpg"});
    app.openFolder(EditKind::Replapart, "F");
    EXPECT_EQ(app.editor.windowTitle(), QStringLiteral("Renomiq - Replace string"));
    EXPECT_EQ(app.editor.targetLabel()->text(), QStringLiteral("Target folder, "));
    EXPECT_EQ(app.editor.targetDescription()->text(), QStringLiteral("T:\\F\\"));
    EXPECT_EQ(app.editor.sampleName()->text(), QStringLiteral("IMG_1"));
    EXPECT_EQ(app.editor.sampleName()->toolTip(), QStringLiteral("T:\\F\\IMG_1.jpg"));
    EXPECT_TRUE(app.editor.scopeArea()->isVisible());
    EXPECT_TRUE(app.editor.button(EditorButton::Preview)->isEnabled());
    EXPECT_EQ(app.editor.button(EditorButton::Exit)->toolTip(), QStringLiteral("Close the window"));
    // The focus timer puts the focus into "Old string:".
    EXPECT_TRUE(QTest::qWaitFor([&] { return app.editor.currentPanel()->box(EditorBox::OldString)->hasFocus(); }, 5000));

    type(app, "Old string:", "IMG");
    type(app, "New String:", "P");
    app.editor.okAction();
    EXPECT_FALSE(app.editor.isVisible());
    EXPECT_EQ(app.list.status[1], "2 renamed successfully, 0 failed.");
    EXPECT_EQ(app.state.editKind, EditKind::Browsefile);
    EXPECT_EQ(app.editor.sampleName()->text(), QString());
    EXPECT_EQ(app.editor.targetLabel()->text(), QStringLiteral("Target folder,"));
    EXPECT_EQ(app.host.events, (Lines{"stopTimer", "startTimer"}));
    EXPECT_EQ(app.sound.played, Lines{"end.wav"});
    // The new string joined the history, and the boxes list it.
    auto *newString = static_cast<QComboBox *>(app.editor.panel(EditKind::Replapart)->box(EditorBox::NewString));
    ASSERT_GE(newString->count(), 1);
    EXPECT_EQ(newString->itemText(0), QStringLiteral("P"));
    EXPECT_EQ(newString->currentText(), QStringLiteral("P"));
}

TEST(EditorWindow, FilesModeAndSaveKindHeaders)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt", "G/b.txt"});
    app.openFiles(EditKind::Changnew, {"F/a.txt", "G/b.txt"});
    EXPECT_EQ(app.editor.targetLabel()->text(), QStringLiteral("Target file(s),"));
    EXPECT_EQ(app.editor.targetDescription()->text(), QStringLiteral("total 2 file(s)"));
    EXPECT_FALSE(app.editor.scopeArea()->isVisible());
    app.editor.close();
    EXPECT_EQ(app.list.status[0], "0 Files");

    app.openFolder(EditKind::Savealls, "F");
    EXPECT_FALSE(app.editor.scopeArea()->isVisible());
    EXPECT_FALSE(app.editor.button(EditorButton::Preview)->isEnabled());
    EXPECT_EQ(app.editor.sampleName()->text(), QStringLiteral("a.txt"));
    EXPECT_EQ(app.editor.windowTitle(), QStringLiteral("Renomiq - Save filenames"));
    app.editor.close();
}

TEST(EditorWindow, FolderContentListFallsBack)
{
    EditorApp app;
    app.dir.createFiles({"F/Sub/x.txt", "G/a.txt", "r.txt"});
    app.openFolder(EditKind::Removpart, "G");
    QComboBox *scope = app.editor.scopeList();

    // No subfolder: "Only subfolders name" moves to "Only this folder name".
    app.prompter.expect(Answer::Ok);
    scope->setCurrentIndex(2);
    Q_EMIT scope->activated(2);
    EXPECT_EQ(app.prompter.texts(), Lines{"There is no subfolder now!"});
    EXPECT_EQ(scope->currentIndex(), 3);
    EXPECT_EQ(app.editor.sampleName()->text(), QStringLiteral("G"));
    app.editor.close();

    // Subfolders but no files: the first entry moves to all layers.
    app.prompter.clear();
    app.prompter.expect(Answer::Ok); // the list window's own target check
    app.openFolder(EditKind::Removpart, "F", FolderScope::AllLayers);
    app.prompter.clear();
    app.prompter.expect(Answer::Ok);
    scope->setCurrentIndex(0);
    Q_EMIT scope->activated(0);
    EXPECT_EQ(app.prompter.texts(), Lines{"There is no file(one layer) now!"});
    EXPECT_EQ(scope->currentIndex(), 1);
    EXPECT_EQ(app.editor.sampleName()->text(), QStringLiteral("Sub"));
    app.editor.close();

    // The drive root itself cannot be renamed.
    app.prompter.clear();
    app.openFolder(EditKind::Removpart, "");
    app.prompter.expect(Answer::Ok);
    scope->setCurrentIndex(3);
    Q_EMIT scope->activated(3);
    EXPECT_EQ(app.prompter.texts().front(), "Can not rename root directory !");
    EXPECT_EQ(scope->currentIndex(), 0);
    EXPECT_EQ(app.state.targets.folderScope, FolderScope::OneLayer);
}

TEST(EditorWindow, SubModeSwitchesShowHideAndDrawTheChosenBold)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt"});
    app.openFolder(EditKind::Addnewnum, "F");
    QWidget *root = panelRoot(app);
    auto *position = findNamed<QAbstractButton>(root, QStringLiteral("Insert to position"));
    EXPECT_TRUE(position->font().bold());
    EXPECT_EQ(findNamed<QLineEdit>(root, QStringLiteral("The second string:")), nullptr);
    EXPECT_EQ(findNamed<QLabel>(root, QStringLiteral("Direction:")), nullptr);
    click(app, "CURSOR");
    EXPECT_NE(findNamed<QLabel>(root, QStringLiteral("Direction:")), nullptr);
    click(app, "Insert to string");
    EXPECT_FALSE(position->font().bold());
    EXPECT_TRUE(findNamed<QAbstractButton>(root, QStringLiteral("Insert to string"))->font().bold());
    findNamed<QComboBox>(root, QStringLiteral("Position to insert:"))->setCurrentIndex(2);
    EXPECT_NE(findNamed<QLineEdit>(root, QStringLiteral("The second string:")), nullptr);
    EXPECT_EQ(findNamed<QLineEdit>(root, QStringLiteral("HEAD string")), nullptr);
}

} // namespace
} // namespace renomiq

namespace renomiq {
namespace {

// Help and F1 open the topic of what is in front: the edit kind's in the
// editor, the special string dialog's, the preview's.
TEST(EditorWindow, HelpOpensTheTopicOfWhatIsInFront)
{
    const struct {
        EditKind kind;
        const char *topic;
    } rows[] = {
        {EditKind::Removpart, "Remove.htm"}, {EditKind::Replapart, "Replace.htm"},
        {EditKind::Addnewnum, "Insert.htm"}, {EditKind::Changnew, "Change.htm"},
        {EditKind::Changexten, "Change ext.htm"}, {EditKind::Savealls, "Save.htm"},
    };
    for (const auto &row : rows) {
        EditorApp app;
        app.dir.createFiles({"F/a.txt"});
        app.openFolder(row.kind, "F");
        app.editor.button(EditorButton::Help)->click();
        QTest::keyClick(&app.editor, Qt::Key_F1);
        EXPECT_EQ(app.help.topics, (std::vector<std::string>{row.topic, row.topic})) << row.topic;
        app.editor.closeEditor();
    }

    EditorApp app;
    app.dir.createFiles({"F/a.txt"});
    app.openFolder(EditKind::Replapart, "F");
    QTest::keyClick(&app.special, Qt::Key_F1);
    QTest::keyClick(&app.preview, Qt::Key_F1);
    EXPECT_EQ(app.help.topics, (std::vector<std::string>{"Special string.htm", "Preview.htm"}));
    app.editor.closeEditor();
}

} // namespace
} // namespace renomiq
