// The shell's "Files" dialog, offscreen: what it lists and what can be picked.
#include "services/qt_shell.h"

#include "support/gui_app.h"
#include "targets/list_rules.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace renomiq {
namespace {

using Lines = std::vector<std::string>;

// The names the dialog's list shows for its current folder.
QStringList listed(QFileDialog *dialog)
{
    auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    if (!view || !view->model())
        return {};
    QStringList names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row)
        names << view->model()->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

// "All files (*.*)" lists every file, hidden ones and names without a dot too,
// and each type shows its caption once.
TEST(QtShell, TheFilesDialogListsEveryFileAndShowsEachTypeOnce)
{
    test::TestPlatform platform;
    platform.dir.createFiles({"pick/.hidden", "pick/README", "pick/a.txt", "pick/b.jpg"});
    QtShell shell(platform.fileSystem);
    OpenFilesRequest request;
    request.title = "Select files ";
    request.initialFolder = test::TestDir::win("pick");
    for (const FileTypeFilter &f : filesDialogFilters())
        request.filters.push_back({f.text, f.patterns});

    QStringList allFiles, photos, types;
    test::whenModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        // The list fills as the folder is read; whatever it shows, the dialog
        // is closed at the end, so a failure cannot leave it open.
        const auto listedOnce = [dialog](int count) {
            (void)QTest::qWaitFor([&] { return listed(dialog).size() == count; }, 5000);
            return listed(dialog);
        };
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Select files "));
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        auto *typeBox = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; typeBox && i < typeBox->count(); ++i)
            types << typeBox->itemText(i);
        allFiles = listedOnce(4);
        if (typeBox) {
            typeBox->setFocus();
            QTest::keyClick(typeBox, Qt::Key_Down); // "Photo(...)"
            photos = listedOnce(1);
            QTest::keyClick(typeBox, Qt::Key_Up);
            (void)listedOnce(4);
        }
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        name->setText(QStringLiteral("\"README\" \".hidden\""));
        QPushButton *open = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Open);
        EXPECT_TRUE(open->isEnabled());
        QTest::mouseClick(open, Qt::LeftButton);
        if (dialog->isVisible())
            dialog->reject(); // the names could not be picked
    });
    Lines picked = shell.openFiles(request);
    EXPECT_EQ(allFiles, (QStringList{QStringLiteral(".hidden"), QStringLiteral("README"), QStringLiteral("a.txt"),
                                     QStringLiteral("b.jpg")}));
    EXPECT_EQ(photos, QStringList{QStringLiteral("b.jpg")});
    ASSERT_EQ(types.size(), 20);
    EXPECT_EQ(types[0], QStringLiteral("All files (*.*)"));
    EXPECT_EQ(types[1], QStringLiteral("Photo(*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png)"));
    EXPECT_EQ(types[13], QStringLiteral("Audio(*.mp3;*.wav;*.wma;*.mid)"));
    EXPECT_EQ(types[19], QStringLiteral("Flash(*.flv;*.swf)"));
    std::sort(picked.begin(), picked.end());
    EXPECT_EQ(picked, (Lines{"T:\\pick\\.hidden", "T:\\pick\\README"}));
}

} // namespace
} // namespace renomiq
