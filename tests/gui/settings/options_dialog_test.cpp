#include "settings/options_dialog.h"

#include "support/gui_app.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace renomiq {
namespace {

using Lines = std::vector<std::string>;

std::optional<std::uint32_t> stored(test::GuiApp &app, const char *name)
{
    auto v = app.registry.readValue(RegistryHive::CurrentUser, SettingsStore::kKey, name);
    if (!v)
        return std::nullopt;
    return v->dword;
}

TEST(OptionsDialog, CancelKeepsOkStoresAndTabsLookRight)
{
    test::GuiApp app;
    TForm7 &o = app.options;
    const char *tabs[] = {"options_general", "options_rename", "options_preview", "options_history"};
    test::whenModal([&](QWidget *) {
        for (int i = 0; i < 4; ++i) {
            o.tabs()->setCurrentIndex(i);
            test::saveScreenshot(o, QString::fromLatin1(tabs[i]));
        }
        o.tabs()->setCurrentIndex(0);
        o.checkBox(OptionCheck::EndSound)->setChecked(false);
        o.reject();
    });
    o.showOptions();
    EXPECT_FALSE(stored(app, "Endsound").has_value());
    EXPECT_TRUE(o.checkBox(OptionCheck::EndSound)->isChecked());

    // Coupled boxes, then Ok stores.
    test::whenModal([&](QWidget *) {
        o.checkBox(OptionCheck::ExitAfter)->setChecked(true);
        EXPECT_FALSE(o.checkBox(OptionCheck::DisplayResult)->isChecked());
        o.checkBox(OptionCheck::DisplayResult)->setChecked(true);
        EXPECT_FALSE(o.checkBox(OptionCheck::ExitAfter)->isChecked());
        o.checkBox(OptionCheck::ContextMenu)->setChecked(false);
        QTest::keyClick(o.checkBox(OptionCheck::DisplayResult), Qt::Key_Return);
    });
    o.showOptions();
    EXPECT_EQ(stored(app, "Contextmenu"), 0u);
    EXPECT_EQ(stored(app, "Options1"), 0u);
    EXPECT_EQ(stored(app, "Options3"), 1u);
    EXPECT_FALSE(app.state.settings.options.contextMenu);
}

// Enter on a focused button presses that button, not "Ok".
TEST(OptionsDialog, EnterOnAFocusedButtonPressesIt)
{
    test::GuiApp app;
    TForm7 &o = app.options;
    test::whenModal([&](QWidget *) {
        o.checkBox(OptionCheck::EndSound)->setChecked(false);
        QPushButton *cancel = o.button(OptionsButton::Cancel);
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Return);
    });
    o.showOptions();
    EXPECT_FALSE(stored(app, "Endsound").has_value());
    EXPECT_TRUE(o.checkBox(OptionCheck::EndSound)->isChecked());
}

TEST(OptionsDialog, NumberBoxes)
{
    test::GuiApp app;
    TForm7 &o = app.options;
    const struct {
        NumberBox *box;
        const char *typed;
        const char *shown;
        const char *message;
    } cases[] = {
        {o.folderListMax(), "45", "30", "Should not more than 30."},
        {o.nameListMax(), "101", "100", "Should not more than 100."},
        {o.previewNumber(), "1001", "1000", "Should not more than 1000."},
        {o.previewNumber(), "0", "1", nullptr},
        {o.previewNumber(), "7", "7", nullptr},
        {o.previewNumber(), "7x", "7", "Please input a number!"},
    };
    for (const auto &c : cases) {
        app.prompter.clear();
        if (c.message)
            app.prompter.expect(Answer::Ok);
        c.box->textField()->setText(QString::fromLatin1(c.typed));
        EXPECT_EQ(c.box->textField()->text(), QString::fromLatin1(c.shown)) << c.typed;
        EXPECT_EQ(app.prompter.texts(), c.message ? Lines{c.message} : Lines{}) << c.typed;
        if (c.message) {
            EXPECT_EQ(app.prompter.shown()[0].caption, std::string(c.typed) == "7x" ? "Error" : "Information");
        }
    }
}

TEST(OptionsDialog, LoweringTheNameListMaximumTrimsOnOkOnly)
{
    test::GuiApp app;
    app.dir.writeFile(".data-home/Corvane/Renomiq/Newname.txt", "a\r\nb\r\nc\r\nd\r\ne\r\n");
    app.state.names.load();
    TForm7 &o = app.options;
    test::whenModal([&](QWidget *) {
        o.nameListMax()->setValue(3);
        o.reject();
    });
    o.showOptions();
    EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/Newname.txt"), "a\r\nb\r\nc\r\nd\r\ne\r\n");
    test::whenModal([&](QWidget *) {
        o.nameListMax()->setValue(3);
        o.button(OptionsButton::Ok)->click();
    });
    o.showOptions();
    EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/Newname.txt"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(stored(app, "Listnum"), 3u);
}

// Types into a number box as a person does: a click into its text, then the
// keys; replace selects the whole text first, otherwise the keys go at its end.
void typeInto(NumberBox *box, const char *keys, bool replace)
{
    QTest::mouseClick(box->textField(), Qt::LeftButton);
    QTest::keyClick(box, replace ? Qt::Key_A : Qt::Key_End, replace ? Qt::ControlModifier : Qt::NoModifier);
    if (replace && !*keys)
        QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, QString::fromLatin1(keys));
}

// A value above the limit becomes the limit, a stray letter or an emptied box
// goes back: in the box and in what "Ok" stores, so no history is wiped.
TEST(OptionsDialog, TypedNumbersStoreTheLimitOrGoBack)
{
    const struct {
        const char *name;
        int tab;
        NumberBox *(TForm7::*box)() const;
        const char *typed;
        bool replace;
        const char *shown;
        const char *message;
        const char *value;
        std::uint32_t stored;
    } cases[] = {
        {"folders above the limit", 3, &TForm7::folderListMax, "45", true, "30", "Should not more than 30.",
         "Foldernum", 30},
        {"names above the limit", 3, &TForm7::nameListMax, "150", true, "100", "Should not more than 100.",
         "Listnum", 100},
        {"preview above the limit", 2, &TForm7::previewNumber, "2000", true, "1000", "Should not more than 1000.",
         "Prenum", 1000},
        {"a letter after the folder number", 3, &TForm7::folderListMax, "x", false, "10", "Please input a number!",
         "Foldernum", 10},
        {"a letter for the name number", 3, &TForm7::nameListMax, "q", true, "20", "Please input a number!",
         "Listnum", 20},
        {"the name number emptied", 3, &TForm7::nameListMax, "", true, "20", nullptr, "Listnum", 20},
        {"the preview number emptied", 2, &TForm7::previewNumber, "", true, "20", nullptr, "Prenum", 20},
        {"a number within the range", 3, &TForm7::folderListMax, "7", true, "7", nullptr, "Foldernum", 7},
    };
    for (const auto &c : cases) {
        test::GuiApp app;
        app.dir.writeFile(".data-home/Corvane/Renomiq/Newname.txt", "a\r\nb\r\nc\r\n");
        TForm7 &o = app.options;
        NumberBox *box = (o.*c.box)();
        if (c.message)
            app.prompter.expect(Answer::Ok);
        QString shownAfterTyping;
        test::whenModal([&](QWidget *) {
            o.tabs()->setCurrentIndex(c.tab);
            typeInto(box, c.typed, c.replace);
            if (c.message) // a message box takes the focus, as it does on screen
                o.button(OptionsButton::Help)->setFocus();
            shownAfterTyping = box->textField()->text();
            QTest::mouseClick(o.button(OptionsButton::Ok), Qt::LeftButton);
        });
        o.showOptions();
        if (c.message) {
            EXPECT_EQ(shownAfterTyping, QString::fromLatin1(c.shown)) << c.name;
        }
        EXPECT_EQ(app.prompter.texts(), c.message ? Lines{c.message} : Lines{}) << c.name;
        EXPECT_EQ(box->textField()->text(), QString::fromLatin1(c.shown)) << c.name;
        EXPECT_EQ(stored(app, c.value), c.stored) << c.name;
        EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/Newname.txt"), "a\r\nb\r\nc\r\n") << c.name;
    }
}

// The new-name list is read only when an editor shows; lowering the maximum
// before that still keeps the first entries of the file.
TEST(OptionsDialog, LoweringTheNameListMaximumBeforeAnyEditorKeepsTheFirstLines)
{
    test::GuiApp app;
    app.dir.writeFile(".data-home/Corvane/Renomiq/Newname.txt", "a\r\nb\r\nc\r\nd\r\ne\r\n");
    TForm7 &o = app.options;
    test::whenModal([&](QWidget *) {
        o.tabs()->setCurrentIndex(3);
        typeInto(o.nameListMax(), "3", true);
        QTest::mouseClick(o.button(OptionsButton::Ok), Qt::LeftButton);
    });
    o.showOptions();
    EXPECT_EQ(stored(app, "Listnum"), 3u);
    EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/Newname.txt"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(app.state.names.entries(), (Lines{"a", "b", "c"}));
}

TEST(NameListEditor, SaveSetsTheMaximumAndCloseAsks)
{
    test::GuiApp app;
    app.dir.writeFile(".data-home/Corvane/Renomiq/Newname.txt", "one\r\ntwo\r\n");
    TForm8 &e = app.nameList;
    test::whenModal([&](QWidget *) {
        EXPECT_EQ(e.textArea()->toPlainText(), QStringLiteral("one\ntwo"));
        test::saveScreenshot(e, QStringLiteral("name_list_editor"));
        e.textArea()->setPlainText(QStringLiteral("x\n\ny\nz"));
        e.save();
        e.textArea()->appendPlainText(QStringLiteral("w"));
        app.prompter.expect(Answer::Cancel);
        e.reject(); // asks; Cancel keeps it open
        EXPECT_TRUE(e.isVisible());
        app.prompter.expect(Answer::No);
        e.reject();
    });
    e.editList();
    EXPECT_EQ(app.dir.readFile(".data-home/Corvane/Renomiq/Newname.txt"), "x\r\ny\r\nz\r\n");
    EXPECT_EQ(app.state.settings.options.nameListMax, 3);
    EXPECT_EQ(stored(app, "Listnum"), 3u);
    EXPECT_EQ(app.prompter.texts(),
              (Lines{"The content changed, do you want to save ?", "The content changed, do you want to save ?"}));
    EXPECT_TRUE(e.textArea()->toPlainText().isEmpty());
}

} // namespace
} // namespace renomiq
