#include "editor/editor_panel.h"

#include "support/editor_app.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace renomiq {
namespace {

using test::EditorApp;

// The child of the panel with this accessible name (shown or not).
QWidget *named(EditorPanel *panel, const char *name)
{
    for (QWidget *w : panel->findChildren<QWidget *>()) {
        if (w->accessibleName() == QString::fromUtf8(name))
            return w;
    }
    return nullptr;
}

// What a screen reader does to a radio button or check box: its "Toggle"
// action, which changes the checked state without a click.
void toggleAccessibly(EditorPanel *panel, const char *name)
{
    auto *button = qobject_cast<QAbstractButton *>(named(panel, name));
    ASSERT_NE(button, nullptr) << name;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(iface, nullptr) << name;
    QAccessibleActionInterface *actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr) << name;
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction())) << name;
    actions->doAction(QAccessibleActionInterface::toggleAction());
}

TEST(EditorPanel, AnAccessibleToggleSwitchesTheSubModeAsAClickDoes)
{
    const struct {
        EditKind kind;
        std::vector<const char *> toggles; // in this order
        std::vector<const char *> shown;
        std::vector<const char *> hidden;
    } rows[] = {
        {EditKind::Removpart, {"Remove anything"}, {"Remove anything", "From Head"}, {"Remove string"}},
        {EditKind::Removpart, {"Clean symbols"}, {"Clean any nonsense symbols"}, {"Remove string"}},
        {EditKind::Removpart, {"Keep something"}, {"KEEP something(remove others)"}, {"Remove string"}},
        {EditKind::Removpart, {"Keep something", "Remove strings"}, {"Remove string"},
         {"KEEP something(remove others)"}},
        {EditKind::Removpart, {"Remove anything", "Remove the part between two strings"}, {"Left:", "Right:"},
         {"From Head"}},
        {EditKind::Removpart, {"Keep something", "KEEP strings(remove others)"}, {"String 1:", "String 2:"}, {}},
        {EditKind::Addnewnum, {"Insert to string"}, {"Insert to string group"}, {"Position, Specify the string"}},
        {EditKind::Addnewnum, {"Insert to string", "Insert to position"}, {"Position, Specify the string"},
         {"Insert to string group"}},
        {EditKind::Addnewnum, {"CURSOR"}, {"From Head"}, {}},
        {EditKind::Replapart, {"Replace length selected by mouse"}, {"From Head"}, {"Old string:"}},
        // A pattern's direction picks its first or last match.
        {EditKind::Replapart, {"Regular expression"}, {"Old string:", "From Head", "From End"}, {}},
        {EditKind::Replapart, {"Regular expression", "Regular expression"}, {"Old string:"}, {"From Head"}},
        {EditKind::Replapart, {"Regular expression", "Replace length selected by mouse", "Replace string:"},
         {"Old string:", "From Head", "Regular expression"}, {}},
        {EditKind::Changnew, {"Convert full name case to:"}, {"Lower case", "Capitalize first letter"},
         {"New name:"}},
        {EditKind::Changnew, {"Convert full name case to:", "UPPER case"}, {}, {"Capitalize first letter"}},
        {EditKind::Changexten, {"Convert extention case"}, {"Convert extention case to"},
         {"Change extention part group"}},
        {EditKind::Changexten, {"replace ALL types of old extention part"}, {}, {"Old extention part :"}},
        {EditKind::Savealls, {"Only subfolders name"}, {}, {"File types", "File size"}},
        {EditKind::Savealls, {"Special types", "Other"}, {"Music", "Other types"}, {}},
    };
    for (const auto &row : rows) {
        EditorApp app;
        app.dir.createFiles({"F/a.txt"});
        app.openFolder(row.kind, "F");
        EditorPanel *panel = app.editor.currentPanel();
        std::string label;
        for (const char *t : row.toggles) {
            label += std::string(t) + "; ";
            toggleAccessibly(panel, t);
        }
        for (const char *name : row.shown) {
            QWidget *w = named(panel, name);
            ASSERT_NE(w, nullptr) << label << name;
            EXPECT_TRUE(w->isVisibleTo(panel)) << label << name;
        }
        for (const char *name : row.hidden) {
            QWidget *w = named(panel, name);
            ASSERT_NE(w, nullptr) << label << name;
            EXPECT_FALSE(w->isVisibleTo(panel)) << label << name;
        }
    }
}

// The visible sub-mode is the one that runs: after the toggle to "Insert to
// string", OK asks for the existing string, not for a position.
TEST(EditorPanel, OkRunsTheSubModeTheToggleShowed)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt"});
    app.openFolder(EditKind::Addnewnum, "F");
    toggleAccessibly(app.editor.currentPanel(), "Insert to string");
    app.prompter.expect(Answer::Ok);
    app.editor.okAction();
    ASSERT_EQ(app.prompter.texts().size(), 1u);
    EXPECT_EQ(app.editor.inputs().request.insertMode, InsertMode::ToString);
    EXPECT_TRUE(app.editor.currentPanel()->box(EditorBox::ExistingString)->isVisibleTo(&app.editor));
    EXPECT_FALSE(named(app.editor.currentPanel(), "HEAD")->isVisibleTo(&app.editor));
}

} // namespace
} // namespace renomiq
