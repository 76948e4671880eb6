#pragma once

#include <QString>
#include <string>

namespace renomiq {

// The program's texts are bytes in the system code page (UTF-8 here).
inline QString toQt(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string fromQt(const QString &text)
{
    return text.toStdString();
}

} // namespace renomiq
