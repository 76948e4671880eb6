#include "services/qt_prompter.h"

#include "services/qt_text.h"

#include <QApplication>
#include <QMessageBox>

namespace renomiq {

Answer QtPrompter::show(const Message &message)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(toQt(message.caption));
    // Texts carry names the user typed: "<b>" is shown as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(toQt(message.text));
    switch (message.icon) {
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    switch (message.buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        escape = QMessageBox::Cancel;
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        escape = QMessageBox::No;
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        escape = QMessageBox::Cancel;
        break;
    }
    box.setEscapeButton(escape);
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: // closed by the window manager: as Esc
        return escape == QMessageBox::Ok ? Answer::Ok : escape == QMessageBox::No ? Answer::No : Answer::Cancel;
    }
}

} // namespace renomiq
