// The editor's live preview, offscreen: ticking "Regular expression", typing a
// pattern and seeing the rows follow; inline messages instead of boxes; the
// switch remembered in the registry.
#include "editor/editor_panel.h"
#include "editor/live_preview_pane.h"
#include "support/editor_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace renomiq {
namespace {

using test::EditorApp;
using test::findNamed;
using Lines = std::vector<std::string>;

// The rows as "old -> new [note]".
Lines rowsOf(LivePreviewPane *pane)
{
    Lines rows;
    QTreeWidget *tree = pane->rows();
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = tree->topLevelItem(i);
        std::string row = item->text(0).toStdString() + " -> " + item->text(1).toStdString();
        if (!item->text(2).isEmpty())
            row += " [" + item->text(2).toStdString() + "]";
        rows.push_back(row);
    }
    return rows;
}

void setText(EditorApp &app, EditorBox box, const char *text)
{
    app.editor.currentPanel()->setBoxText(box, QString::fromUtf8(text));
}

QAbstractButton *button(EditorApp &app, const char *name)
{
    return findNamed<QAbstractButton>(app.editor.currentPanel(), QString::fromUtf8(name));
}

// Waits until the rows are these, and fails with the rows seen otherwise.
void expectRows(LivePreviewPane *pane, const Lines &expected)
{
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowsOf(pane) == expected; }, 5000))
        << ::testing::PrintToString(rowsOf(pane)) << " instead of " << ::testing::PrintToString(expected);
}

TEST(LivePreviewPane, RowsFollowThePatternAndEveryInput)
{
    EditorApp app;
    app.dir.createFiles({"F/IMG_0001.jpg", "F/IMG_0002.jpg", "F/2_b.jpg", "F/notes.txt"});
    app.openFolder(EditKind::Replapart, "F");
    LivePreviewPane *pane = app.editor.livePreview();
    ASSERT_TRUE(pane->isOn());
    EXPECT_EQ(pane->toggle()->accessibleName(), QStringLiteral("Live preview"));
    EXPECT_EQ(pane->rows()->accessibleName(), QStringLiteral("Live preview rows"));
    EXPECT_EQ(pane->message()->accessibleDescription(), QStringLiteral("Live preview message"));
    // Nothing typed: the check's refusal, inline.
    EXPECT_TRUE(QTest::qWaitFor([&] { return pane->message()->text() == QStringLiteral("Please input the old part of file name"); }, 5000))
        << pane->message()->text().toStdString();

    QAbstractButton *regex = button(app, "Regular expression");
    ASSERT_NE(regex, nullptr);
    regex->click();
    setText(app, EditorBox::OldString, "IMG_0*(\\d+)");
    setText(app, EditorBox::NewString, "{1}_b");
    expectRows(pane, {"IMG_0001.jpg -> 1_b.jpg", "IMG_0002.jpg -> 2_b(1).jpg [name taken: gets (n)]"});

    // Only Leftest with From End takes the last match.
    setText(app, EditorBox::OldString, "\\d");
    setText(app, EditorBox::NewString, "#");
    expectRows(pane, {"2_b.jpg -> #_b.jpg", "IMG_0001.jpg -> IMG_####.jpg",
                      "IMG_0002.jpg -> IMG_####(1).jpg [name taken: gets (n)]"});
    button(app, "Only Leftest")->click();
    expectRows(pane, {"2_b.jpg -> #_b.jpg", "IMG_0001.jpg -> IMG_#001.jpg", "IMG_0002.jpg -> IMG_#002.jpg"});
    button(app, "From End")->click();
    expectRows(pane, {"2_b.jpg -> #_b.jpg", "IMG_0001.jpg -> IMG_000#.jpg",
                      "IMG_0002.jpg -> IMG_000#(1).jpg [name taken: gets (n)]"});
    // Unticked, the same text is a plain string: "\d" is in no name.
    regex->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowsOf(pane).empty() && pane->message()->text() == QStringLiteral("No name changes."); }, 5000))
        << pane->message()->text().toStdString();
    regex->click();

    // The special strings: a running number, as the preview counts it.
    setText(app, EditorBox::OldString, "^IMG_\\d+");
    setText(app, EditorBox::NewString, "P$$");
    expectRows(pane, {"IMG_0001.jpg -> P01.jpg", "IMG_0002.jpg -> P02.jpg"});

    // An invalid pattern: its error inline, no rows, no box.
    setText(app, EditorBox::OldString, "IMG_(\\d+");
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowsOf(pane).empty() && pane->message()->text().contains(QStringLiteral("missing closing parenthesis")); }, 5000))
        << pane->message()->text().toStdString();
    // A question (the empty new string) shows inline; the rows are what OK would do.
    setText(app, EditorBox::OldString, "_\\d+");
    setText(app, EditorBox::NewString, "");
    expectRows(pane, {"IMG_0001.jpg -> IMG.jpg", "IMG_0002.jpg -> IMG(1).jpg [name taken: gets (n)]"});
    EXPECT_TRUE(pane->message()->text().startsWith(QStringLiteral("The new part is empty, it will REMOVE the parts matching the pattern '_\\d+'")))
        << pane->message()->text().toStdString();
    EXPECT_TRUE(app.prompter.shown().empty());
    // Nothing was renamed.
    EXPECT_EQ(app.dir.list("F"), (Lines{"2_b.jpg", "IMG_0001.jpg", "IMG_0002.jpg", "notes.txt"}));

    // The scope: all layers list paths.
    setText(app, EditorBox::NewString, "-x");
    app.dir.createFiles({"F/sub/IMG_7.jpg"});
    app.editor.scopeList()->setCurrentIndex(1);
    Q_EMIT app.editor.scopeList()->activated(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowsOf(pane).size() == 3 && rowsOf(pane)[0] == "T:\\F\\sub\\IMG_7.jpg -> T:\\F\\sub\\IMG-x.jpg"; }, 5000))
        << ::testing::PrintToString(rowsOf(pane));

    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.editor));
    test::saveScreenshot(app.editor, QStringLiteral("editor_live_preview"));
    EXPECT_EQ(app.editor.size(), app.editor.sizeHint());
}

TEST(LivePreviewPane, OffWithOneClickAndRemembered)
{
    {
        EditorApp app;
        app.dir.createFiles({"F/a.txt"});
        app.openFolder(EditKind::Replapart, "F");
        LivePreviewPane *pane = app.editor.livePreview();
        setText(app, EditorBox::OldString, "a");
        setText(app, EditorBox::NewString, "b");
        expectRows(pane, {"a.txt -> b.txt"});
        pane->toggle()->click();
        EXPECT_FALSE(pane->rows()->isVisible());
        EXPECT_EQ(app.registry.readValue(RegistryHive::CurrentUser, "\\Software\\Corvane\\renomiq", "LivePreview"),
                  RegistryValue::fromDword(0));
        // Typing while off computes nothing.
        setText(app, EditorBox::NewString, "c");
        QTest::qWait(0);
        pane->toggle()->click();
        expectRows(pane, {"a.txt -> c.txt"});
        pane->toggle()->click();
        // The next editor window (the next start) reads it.
        TForm1 next(app.state);
        EXPECT_FALSE(next.livePreview()->isOn());
        EXPECT_FALSE(next.livePreview()->rows()->isVisibleTo(&next));
        EXPECT_TRUE(next.livePreview()->toggle()->isVisibleTo(&next));
    }
}

// Larger fonts: the window still holds all it asks for.
TEST(LivePreviewPane, LargerFonts)
{
    const QFont saved = QApplication::font();
    QFont large = saved;
    large.setPointSizeF(saved.pointSizeF() * 1.5);
    QApplication::setFont(large);
    {
        EditorApp app;
        app.dir.createFiles({"F/IMG_0001.jpg"});
        app.openFolder(EditKind::Replapart, "F");
        button(app, "Regular expression")->click();
        setText(app, EditorBox::OldString, "IMG_(\\d+)");
        setText(app, EditorBox::NewString, "{1}");
        expectRows(app.editor.livePreview(), {"IMG_0001.jpg -> 0001.jpg"});
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.editor));
        test::saveScreenshot(app.editor, QStringLiteral("editor_live_preview_large_font"));
        EXPECT_EQ(app.editor.size(), app.editor.sizeHint());
        QCheckBox *regex = qobject_cast<QCheckBox *>(button(app, "Regular expression"));
        ASSERT_NE(regex, nullptr);
        EXPECT_GE(regex->width(), regex->sizeHint().width());
    }
    QApplication::setFont(saved);
}

} // namespace
} // namespace renomiq
