#include "editor/string_token_dialog.h"

#include "editor/editor_panel.h"
#include "support/editor_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace renomiq {
namespace {

using test::EditorApp;
using test::findNamed;

QAbstractButton *named(QWidget *root, const char *name)
{
    return findNamed<QAbstractButton>(root, QString::fromUtf8(name));
}

// Presses a "Special" button of the editor and works the dialog while it is open.
void special(EditorApp &app, const char *buttonName, std::function<void(TForm3 &)> work)
{
    test::whenModal([&app, work](QWidget *modal) {
        ASSERT_EQ(modal, &app.special);
        work(app.special);
    });
    QAbstractButton *b = named(app.editor.currentPanel(), buttonName);
    ASSERT_NE(b, nullptr) << buttonName;
    QTest::mouseClick(b, Qt::LeftButton);
}

void pressOk(TForm3 &dialog)
{
    QTest::mouseClick(findNamed<QPushButton>(&dialog, QStringLiteral("Ok")), Qt::LeftButton);
}

struct InsertRow {
    const char *label;
    std::size_t workList; // entries of the work list
    std::function<void(TForm3 &)> work;
    const char *inserted;
};

TEST(SpecialStringDialog, CodesBecomeTextsAtTheCaret)
{
    const InsertRow rows[] = {
        {"150 files", 150, pressOk, "$$$"},
        {"1200 files", 1200, pressOk, "$$$$"},
        {"12 files", 12, pressOk, "$$"},
        {"folder before a preview", 0, pressOk, "$$$"},
        {"today, third format", 0,
         [](TForm3 &d) {
             named(&d, "Today:")->click();
             d.dateButton(2)->click();
             pressOk(d);
         },
         "2010.03.09"},
        {"disordered names", 0,
         [](TForm3 &d) {
             named(&d, "Disordered names:")->click();
             pressOk(d);
         },
         "%6%"},
        {"file date", 0,
         [](TForm3 &d) {
             named(&d, "File date")->click();
             pressOk(d);
         },
         "@@"},
        {"file size", 0,
         [](TForm3 &d) {
             named(&d, "File size")->click();
             pressOk(d);
         },
         "##"},
        {"folder name", 0,
         [](TForm3 &d) {
             named(&d, "Folder name")->click();
             pressOk(d);
         },
         "%%"},
        {"metadata, as the dialog first offers it", 0,
         [](TForm3 &d) {
             named(&d, "Metadata:")->click();
             pressOk(d);
         },
         "{taken;yyyy-MM-dd HH.mm.ss}"},
        {"metadata, a format typed", 0,
         [](TForm3 &d) {
             QLineEdit *format = findNamed<QLineEdit>(&d, QStringLiteral("Format:"));
             format->selectAll();
             QTest::keyClicks(format, QStringLiteral("yyMMdd_HHmm"));
             pressOk(d);
         },
         "{taken;yyMMdd_HHmm}"},
        {"metadata, the format box emptied", 0,
         [](TForm3 &d) {
             named(&d, "Metadata:")->click();
             d.metadataFormat()->clear();
             pressOk(d);
         },
         "{taken}"},
        {"metadata, the camera", 0,
         [](TForm3 &d) {
             d.metadataTokens()->setCurrentIndex(2);
             EXPECT_FALSE(d.metadataFormat()->isEnabled());
             pressOk(d);
         },
         "{camera}"},
        {"metadata, the track", 0,
         [](TForm3 &d) {
             d.metadataTokens()->setCurrentIndex(10);
             EXPECT_EQ(d.metadataFormat()->text(), QStringLiteral("2"));
             pressOk(d);
         },
         "{track;2}"},
        {"metadata, back to taken after the track", 0,
         [](TForm3 &d) {
             d.metadataFormat()->setText(QStringLiteral("dd.MM.yyyy"));
             d.metadataTokens()->setCurrentIndex(10);
             d.metadataFormat()->setText(QStringLiteral("3"));
             d.metadataTokens()->setCurrentIndex(0);
             EXPECT_EQ(d.metadataFormat()->text(), QStringLiteral("dd.MM.yyyy"));
             EXPECT_TRUE(d.metadataFormat()->isEnabled());
             pressOk(d);
         },
         "{taken;dd.MM.yyyy}"},
        {"cancelled", 0, [](TForm3 &d) { d.reject(); }, ""},
        {"Esc", 0, [](TForm3 &d) { QTest::keyClick(&d, Qt::Key_Escape); }, ""},
        {"Enter on a radio button", 0,
         [](TForm3 &d) {
             QAbstractButton *b = named(&d, "File size");
             b->click();
             b->setFocus();
             QTest::keyClick(b, Qt::Key_Return);
         },
         "##"},
    };
    for (const InsertRow &row : rows) {
        EditorApp app;
        app.clock.time = 1268136000; // 9 March 2010, 12:00 UTC
        app.dir.createFiles({"F/abcdef.txt"});
        app.openFolder(EditKind::Addnewnum, "F");
        app.state.run.workList.assign(row.workList, "T:\\F\\x.txt");
        auto *end = static_cast<QComboBox *>(app.editor.currentPanel()->box(EditorBox::EndText));
        end->setEditText(QStringLiteral("abcdef"));
        end->lineEdit()->setFocus();
        end->lineEdit()->setSelection(2, 2); // "cd"
        special(app, "END Special", row.work);
        const std::string expected = row.inserted[0] ? std::string("ab") + row.inserted + "ef" : "abcdef";
        EXPECT_EQ(end->currentText().toStdString(), expected) << row.label;
    }
}

TEST(SpecialStringDialog, WithoutASelectionTheTextGoesInAtTheCaret)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt"});
    app.openFolder(EditKind::Replapart, "F");
    auto *box = static_cast<QComboBox *>(app.editor.currentPanel()->box(EditorBox::NewString));
    box->setEditText(QStringLiteral("IMG_"));
    box->lineEdit()->setFocus();
    box->lineEdit()->setCursorPosition(3);
    special(app, "New String Special", pressOk);
    EXPECT_EQ(box->currentText(), QStringLiteral("IMG$$$_"));
}

TEST(SpecialStringDialog, CancelPutsBackTheSavedStateOkKeepsTheChanges)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt"});
    app.openFolder(EditKind::Changnew, "F");
    special(app, "Special string", [](TForm3 &d) {
        d.beginWith()->setValue(50);
        named(&d, "Use Special string symbols")->click();
        d.reject();
    });
    EditRequest r = app.editor.inputs().request;
    EXPECT_EQ(r.startNumber, 1);
    EXPECT_TRUE(r.useSpecialStrings);
    EXPECT_EQ(app.special.resultCode(), 99);

    special(app, "Special string", [](TForm3 &d) {
        d.beginWith()->setValue(50);
        pressOk(d);
    });
    EXPECT_EQ(app.editor.inputs().request.startNumber, 50);
    EXPECT_EQ(app.special.resultCode(), 0);

    // "Use Special string symbols " unticked: code 59, nothing inserted, and
    // the runs no longer expand tokens.
    auto *box = static_cast<QComboBox *>(app.editor.currentPanel()->box(EditorBox::NewName));
    box->setEditText(QStringLiteral("n"));
    special(app, "Special string", [](TForm3 &d) {
        named(&d, "Use Special string symbols")->click();
        pressOk(d);
    });
    EXPECT_EQ(app.special.resultCode(), 59);
    EXPECT_EQ(box->currentText(), QStringLiteral("n"));
    r = app.editor.inputs().request;
    EXPECT_FALSE(r.useSpecialStrings);
}

TEST(SpecialStringDialog, NumberBoxAndCharacterClassRules)
{
    EditorApp app;
    app.prompter.expect(2, Answer::Ok);
    app.special.beginWith()->setValue(20000);
    EXPECT_EQ(app.special.beginWith()->value(), 10000);

    named(&app.special, "Upper case")->click();
    named(&app.special, "Lower case")->click();
    QAbstractButton *numbers = named(&app.special, "Numbers");
    numbers->click();
    EXPECT_TRUE(numbers->isChecked());
    EXPECT_EQ(app.prompter.texts(),
              (std::vector<std::string>{"Should not more than 10000.", "You have to select at least one choice."}));
    EXPECT_EQ(app.prompter.shown()[0].icon, MessageIcon::Warning);
    EditRequest r;
    app.special.fill(r);
    EXPECT_FALSE(r.randomUpper);
    EXPECT_FALSE(r.randomLower);
    EXPECT_TRUE(r.randomDigits);
    EXPECT_EQ(r.startNumber, 10000);
}

// After a preview, ordered numbers are as wide as the whole batch the preview
// was handed, though the preview reads a large folder in stretches.
TEST(SpecialStringDialog, OrderedNumbersAfterAPreviewFollowItsWholeBatch)
{
    const struct {
        int files;
        const char *inserted;
    } rows[] = {{3000, "$$$$"}, {150, "$$$"}, {12, "$$"}};
    for (const auto &row : rows) {
        EditorApp app;
        std::vector<std::string> files;
        for (int i = 0; i < row.files; ++i)
            files.push_back("F/photo" + std::to_string(i) + ".jpg");
        app.dir.createFiles(files);
        app.openFolder(EditKind::Changnew, "F");
        auto *box = static_cast<QComboBox *>(app.editor.currentPanel()->box(EditorBox::NewName));
        box->setEditText(QStringLiteral("n"));
        QTest::mouseClick(app.editor.button(EditorButton::Preview), Qt::LeftButton);
        ASSERT_TRUE(app.preview.isVisible()) << row.files;
        box->setEditText(QString());
        special(app, "Special string", pressOk);
        EXPECT_EQ(box->currentText().toStdString(), row.inserted) << row.files;
    }
}

// "Special" reached with the Tab key and pressed with the space bar puts the
// special string in place of the text selected in its box, as a click does.
TEST(SpecialStringDialog, SpecialFromTheKeyboardReplacesTheSelectedText)
{
    const struct {
        EditKind kind;
        EditorBox box;
        const char *button;
        EditorBox initialFocus;
    } rows[] = {
        {EditKind::Addnewnum, EditorBox::EndText, "END Special", EditorBox::HeadText},
        {EditKind::Addnewnum, EditorBox::HeadText, "HEAD Special", EditorBox::HeadText},
        {EditKind::Replapart, EditorBox::NewString, "New String Special", EditorBox::OldString},
        {EditKind::Changnew, EditorBox::NewName, "Special string", EditorBox::NewName},
    };
    for (const auto &row : rows) {
        EditorApp app;
        app.dir.createFiles({"F/a.txt"});
        app.openFolder(row.kind, "F");
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app.editor));
        QWidget *initial = app.editor.currentPanel()->box(row.initialFocus);
        EXPECT_TRUE(QTest::qWaitFor([&] { return initial->hasFocus(); }, 5000));
        auto *box = static_cast<QComboBox *>(app.editor.currentPanel()->box(row.box));
        QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
        ASSERT_TRUE(box->hasFocus()) << row.button;
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abcdef"));
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::ShiftModifier);
        ASSERT_EQ(box->lineEdit()->selectedText(), QStringLiteral("cd")) << row.button;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QAbstractButton *button = named(app.editor.currentPanel(), row.button);
        ASSERT_EQ(QApplication::focusWidget(), button) << row.button;
        test::whenModal([](QWidget *) {
            named(QApplication::activeModalWidget(), "Folder name")->click();
            pressOk(*static_cast<TForm3 *>(QApplication::activeModalWidget()));
        });
        QTest::keyClick(button, Qt::Key_Space);
        EXPECT_EQ(box->currentText().toStdString(), "ab%%ef") << row.button;
    }
}

// "Begin with : " answers every change: a letter with "Please input a number!"
// (and the number it had), a number above 10000 with the limit.
TEST(SpecialStringDialog, BeginWithAnswersLettersAndTakesTheLimit)
{
    EditorApp app;
    const struct {
        const char *keys;
        bool replace;
        const char *shown;
        const char *message;
        const char *caption;
    } rows[] = {
        {"x", false, "1", "Please input a number!", "Error"},
        {"5a", true, "5", "Please input a number!", "Error"},
        {"20000", true, "10000", "Should not more than 10000.", "Information"},
        {"42", true, "42", nullptr, nullptr},
    };
    test::whenModal([&](QWidget *) {
        QSpinBox *begin = app.special.beginWith();
        QLineEdit *field = begin->findChild<QLineEdit *>();
        for (const auto &row : rows) {
            app.prompter.clear();
            if (row.message)
                app.prompter.expect(Answer::Ok);
            QTest::mouseClick(field, Qt::LeftButton);
            QTest::keyClick(begin, row.replace ? Qt::Key_A : Qt::Key_End,
                            row.replace ? Qt::ControlModifier : Qt::NoModifier);
            QTest::keyClicks(begin, QString::fromLatin1(row.keys));
            EXPECT_EQ(field->text(), QString::fromLatin1(row.shown)) << row.keys;
            EXPECT_EQ(app.prompter.texts(),
                      row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{})
                << row.keys;
            if (row.message && app.prompter.shown().size() == 1) {
                EXPECT_EQ(app.prompter.shown()[0].caption, row.caption) << row.keys;
                EXPECT_EQ(app.prompter.shown()[0].icon, MessageIcon::Warning) << row.keys;
                EXPECT_EQ(app.special.focusWidget(), begin) << row.keys;
            }
        }
        pressOk(app.special);
    });
    EXPECT_EQ(app.special.execute(), 0);
    EditRequest r;
    app.special.fill(r);
    EXPECT_EQ(r.startNumber, 42);
}

TEST(SpecialStringDialog, DateCaptionsAreRebuiltAtEachShowing)
{
    EditorApp app;
    app.clock.time = 1268136000; // 9 March 2010
    test::whenModal([&app](QWidget *) {
        const char *captions[] = {"20100309", "2010-03-09", "2010.03.09", "03092010", "03-09-2010", "03.09.2010"};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(app.special.dateButton(i)->text().toStdString(), captions[i]);
        test::saveScreenshot(app.special, QStringLiteral("string_token_dialog"));
        app.special.reject();
    });
    app.special.execute();
    app.clock.time = 1178020000; // 1 May 2007, 11:46 UTC
    test::whenModal([&app](QWidget *) {
        EXPECT_EQ(app.special.dateButton(4)->text(), QStringLiteral("05-01-2007"));
        app.special.reject();
    });
    app.special.execute();
}

// Numbering in the order the photos were taken is a setting of the numbers:
// kept from one showing to the next, put back by Cancel.
TEST(SpecialStringDialog, TakenOrderIsKeptByOkAndPutBackByCancel)
{
    EditorApp app;
    app.dir.createFiles({"F/a.jpg"});
    app.openFolder(EditKind::Changnew, "F");
    EXPECT_EQ(app.editor.inputs().request.numberOrder, NumberOrder::Name);
    special(app, "Special string", [](TForm3 &d) {
        named(&d, "in the order taken")->click();
        pressOk(d);
    });
    EXPECT_EQ(app.editor.inputs().request.numberOrder, NumberOrder::Taken);
    special(app, "Special string", [](TForm3 &d) {
        QAbstractButton *box = named(&d, "in the order taken");
        EXPECT_TRUE(box->isChecked());
        box->click();
        d.reject();
    });
    EXPECT_EQ(app.editor.inputs().request.numberOrder, NumberOrder::Taken);
}

} // namespace
} // namespace renomiq
