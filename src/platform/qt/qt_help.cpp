#include "platform/qt/qt_help.h"

#include "platform/qt/qt_text.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace renomiq {

void QtHelp::showTopic(const std::string &topic)
{
    QString file = toQt(m_folder) + QStringLiteral("help/") + toQt(topic) + QStringLiteral(".html");
    if (!QFileInfo::exists(file))
        file = toQt(m_folder) + QStringLiteral("help/index.html");
    if (QFileInfo::exists(file))
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace renomiq
