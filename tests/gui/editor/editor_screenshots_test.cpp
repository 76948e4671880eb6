// Pictures of every panel and sub-mode of the editor window under
// build/screenshots/, for a person to compare with the intended layout. Each
// also checks that the shown sub-mode's controls are visible.
#include "editor/editor_panel.h"
#include "editor/live_preview_pane.h"
#include "support/editor_app.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

#include <QLayout>

#include <functional>
#include <optional>

namespace renomiq {
namespace {

using test::EditorApp;
using test::findNamed;

struct Shot {
    const char *name;
    EditKind kind;
    std::vector<const char *> clicks;
    const char *visible; // an accessible name that must be visible afterwards
};

TEST(EditorScreenshots, EveryPanelAndSubMode)
{
    const Shot shots[] = {
        {"editor_remove_strings", EditKind::Removpart, {}, "Remove String 3:"},
        {"editor_remove_anything", EditKind::Removpart, {"Remove anything"}, "From End"},
        {"editor_remove_between", EditKind::Removpart, {"Remove anything", "Remove the part between two strings"},
         "Also remove the two strings"},
        {"editor_clean_symbols", EditKind::Removpart, {"Clean symbols"}, "Don't erase other symbols:"},
        {"editor_keep_part", EditKind::Removpart, {"Keep something"}, "KEEP the part selected by mouse"},
        {"editor_keep_strings", EditKind::Removpart, {"Keep something", "KEEP strings(remove others)"}, "String 2:"},
        {"editor_replace_string", EditKind::Replapart, {}, "Old string:"},
        {"editor_replace_length", EditKind::Replapart, {"Replace length selected by mouse"}, "From Head"},
        {"editor_insert_position", EditKind::Addnewnum, {"HEAD", "CURSOR"}, "From End"},
        {"editor_insert_string", EditKind::Addnewnum, {"Insert to string"}, "String to insert:"},
        {"editor_change_name", EditKind::Changnew, {}, "Special string"},
        {"editor_change_case", EditKind::Changnew, {"Convert full name case to:"}, "Capitalize first letter"},
        {"editor_extension_change", EditKind::Changexten, {}, "Old extention part :"},
        {"editor_extension_all_types", EditKind::Changexten, {"replace ALL types of old extention part"},
         "New extention part :"},
        {"editor_extension_case", EditKind::Changexten, {"Convert extention case"}, "UPPER case"},
        {"editor_save_one_layer", EditKind::Savealls, {}, "File size"},
        {"editor_save_all_layers", EditKind::Savealls, {"All filenames in subfolders", "Special types", "Other"},
         "Other types"},
    };
    std::optional<QSize> firstSize;
    for (const Shot &shot : shots) {
        EditorApp app;
        app.dir.createFiles({"Photos from the summer holiday/IMG_2009_\xe4\xb8\xad.jpg"});
        app.openFolder(shot.kind, "Photos from the summer holiday");
        for (const char *name : shot.clicks) {
            auto *b = findNamed<QAbstractButton>(app.editor.currentPanel(), QString::fromUtf8(name));
            ASSERT_NE(b, nullptr) << shot.name << ": " << name;
            b->click();
        }
        EXPECT_NE(findNamed<QWidget>(app.editor.currentPanel(), QString::fromUtf8(shot.visible)), nullptr)
            << shot.name;
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.editor));
        test::saveScreenshot(app.editor, QString::fromUtf8(shot.name));
        // Nothing of the window is cut off: it is as large as its layout asks.
        EXPECT_EQ(app.editor.size(), app.editor.sizeHint()) << shot.name;
        // One size for every kind and sub-mode, large enough for the largest.
        if (!firstSize)
            firstSize = app.editor.size();
        EXPECT_EQ(app.editor.size(), *firstSize) << shot.name;
        const QSize area = app.editor.currentPanel()->size();
        for (EditorPanel *panel : app.editor.findChildren<EditorPanel *>()) {
            const QSize hint = panel->layout()->totalSizeHint();
            EXPECT_LE(hint.width(), area.width()) << shot.name << ": " << panel->metaObject()->className();
            EXPECT_LE(hint.height(), area.height()) << shot.name << ": " << panel->metaObject()->className();
        }
    }
    // The live preview adds its pane below; switched off, the window is the
    // editor alone.
    EditorApp off;
    off.dir.createFiles({"F/a.txt"});
    off.openFolder(EditKind::Replapart, "F");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&off.editor));
    LivePreviewPane *pane = off.editor.livePreview();
    const int spacing = off.editor.layout()->spacing();
    EXPECT_EQ(*firstSize, QSize(725, 371 + spacing + pane->height()));
    // Switched off, only its check box stays below the editor.
    pane->toggle()->click();
    const QSize offSize(725, 371 + spacing + pane->toggle()->sizeHint().height() + 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return off.editor.size() == offSize; }, 5000)) << off.editor.size().height();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&off.editor));
    test::saveScreenshot(off.editor, QStringLiteral("editor_live_preview_off"));
}

TEST(EditorScreenshots, FilesMode)
{
    EditorApp app;
    app.dir.createFiles({"F/a.txt", "F/b.txt"});
    app.openFiles(EditKind::Replapart, {"F/a.txt", "F/b.txt"});
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.editor));
    test::saveScreenshot(app.editor, QStringLiteral("editor_files_mode"));
    // Without the folder content list the window keeps its size.
    EditorApp folder;
    folder.dir.createFiles({"F/a.txt"});
    folder.openFolder(EditKind::Replapart, "F");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&folder.editor));
    EXPECT_EQ(app.editor.size(), folder.editor.size());
}

} // namespace
} // namespace renomiq
