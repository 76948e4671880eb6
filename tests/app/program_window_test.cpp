#include "app/program_window.h"

#include "editor/editor_panel.h"
#include "support/gui_app.h"
#include "list/list_window_model.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace renomiq {
namespace {

using test::TestDir;
using Lines = std::vector<std::string>;
using Pairs = std::vector<std::pair<std::string, std::string>>;

Lines listRows(TForm4 &list)
{
    Lines r;
    for (std::size_t i = 0; i < list.model().rowCount(); ++i)
        r.push_back(list.model().rowText(i));
    return r;
}

Pairs previewRows(TForm6 &preview)
{
    const QAbstractItemModel *m = preview.list()->model();
    Pairs rows;
    for (int r = 0; r < m->rowCount(); ++r)
        rows.emplace_back(m->index(r, 0).data().toString().toStdString(), m->index(r, 1).data().toString().toStdString());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// A user's way through the whole program: a folder in the list window, the
// editor from its "Replace" button, the preview, the run, and the list window
// showing the result. The pictures are the README's.
TEST(ProgramWindows, FromTheListWindowThroughTheEditorAndBack)
{
    test::GuiApp app;
    app.dir.createFiles({"Summer 2026/IMG_0412.jpg", "Summer 2026/IMG_0413.jpg", "Summer 2026/IMG_0420.jpg",
                         "Summer 2026/IMG_0431.jpg", "Summer 2026/notes.txt", "Summer 2026/raw/"});
    TForm4 &list = app.list;
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.folderBox()->lineEdit()->setText(QString::fromStdString(TestDir::win("Summer 2026")));
    QTest::keyClick(list.folderBox(), Qt::Key_Return);
    EXPECT_EQ(listRows(list), (Lines{"raw", "IMG_0412.jpg", "IMG_0413.jpg", "IMG_0420.jpg", "IMG_0431.jpg",
                                      "notes.txt"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.statusPanel(0)->text() == QStringLiteral("1 Folders 5 Files"); }, 1000));
    test::saveScreenshot(list, QStringLiteral("readme_list_window"));

    QTest::mouseClick(list.button(ListButton::Replace), Qt::LeftButton);
    ASSERT_TRUE(app.editor.isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.editor));
    EXPECT_EQ(app.editor.windowTitle(), QStringLiteral("Renomiq - Replace string"));
    EditorPanel *panel = app.editor.currentPanel();
    panel->setBoxText(EditorBox::OldString, QStringLiteral("IMG_"));
    panel->setBoxText(EditorBox::NewString, QStringLiteral("Summer 2026 - "));
    test::saveScreenshot(app.editor, QStringLiteral("readme_editor_replace"));

    app.editor.previewAction();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.preview));
    EXPECT_EQ(previewRows(app.preview), (Pairs{{"IMG_0412.jpg", "Summer 2026 - 0412.jpg"},
                                               {"IMG_0413.jpg", "Summer 2026 - 0413.jpg"},
                                               {"IMG_0420.jpg", "Summer 2026 - 0420.jpg"},
                                               {"IMG_0431.jpg", "Summer 2026 - 0431.jpg"}}));
    test::saveScreenshot(app.preview, QStringLiteral("readme_preview"));
    EXPECT_EQ(app.dir.list("Summer 2026").size(), 6u); // a preview renames nothing

    // The run reports to the list window, which lists the new names.
    app.preview.close();
    app.editor.okAction();
    EXPECT_FALSE(app.editor.isVisible());
    EXPECT_EQ(app.dir.list("Summer 2026"), (Lines{"Summer 2026 - 0412.jpg", "Summer 2026 - 0413.jpg",
                                                  "Summer 2026 - 0420.jpg", "Summer 2026 - 0431.jpg", "notes.txt",
                                                  "raw"}));
    EXPECT_EQ(list.statusPanel(1)->text(), QStringLiteral("4 renamed successfully, 0 failed."));
    EXPECT_EQ(listRows(list), (Lines{"raw", "notes.txt", "Summer 2026 - 0412.jpg", "Summer 2026 - 0413.jpg",
                                      "Summer 2026 - 0420.jpg", "Summer 2026 - 0431.jpg"}));
    EXPECT_EQ(app.state.editKind, EditKind::Browsefile);
}

} // namespace
} // namespace renomiq
