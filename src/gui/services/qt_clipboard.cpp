#include "services/qt_clipboard.h"

#include "services/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace renomiq {

std::string QtClipboard::text() const
{
    return fromQt(QGuiApplication::clipboard()->text());
}

void QtClipboard::setText(const std::string &text)
{
    QGuiApplication::clipboard()->setText(toQt(text));
}

} // namespace renomiq
