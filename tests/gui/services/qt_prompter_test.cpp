// The message boxes on screen, offscreen: what the user reads in them.
#include "services/qt_prompter.h"

#include "support/gui_app.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

namespace renomiq {
namespace {

// Names the user typed are shown as typed: "<b>" is text, not markup.
TEST(QtPrompter, ShowsEveryTextAsPlainText)
{
    const struct {
        Message message;
        QMessageBox::StandardButton press;
        Answer answer;
    } cases[] = {
        {{"Confirmation", "It will remove the strings of '<b>Trip'(case insensitive) from original filenames,\n",
          MessageIcon::Question, MessageButtons::OkCancel},
         QMessageBox::Ok, Answer::Ok},
        {{"Information", "The new name is already existing: <i>a</i> & <br>b", MessageIcon::Information,
          MessageButtons::Ok},
         QMessageBox::Ok, Answer::Ok},
        {{"Undo Confirmation", "<html><body>Undo?</body></html>", MessageIcon::Question, MessageButtons::YesNo},
         QMessageBox::No, Answer::No},
    };
    for (const auto &c : cases) {
        QtPrompter prompter;
        std::string shown;
        Qt::TextFormat format = Qt::AutoText;
        test::whenModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            ASSERT_NE(box, nullptr);
            format = box->textFormat();
            // The label the user reads: its text drawn as plain text.
            for (QLabel *label : box->findChildren<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
                if (label->textFormat() == Qt::PlainText)
                    shown = label->text().toStdString();
            }
            box->button(c.press)->click();
        });
        EXPECT_EQ(prompter.show(c.message), c.answer) << c.message.text;
        EXPECT_EQ(format, Qt::PlainText) << c.message.text;
        EXPECT_EQ(shown, c.message.text) << c.message.text;
    }
}

} // namespace
} // namespace renomiq
