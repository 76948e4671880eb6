#pragma once

#include "support/test_platform.h"

#include <QDir>
#include <QString>
#include <QWidget>

namespace renomiq::test {

// Saves a picture of the window under build/screenshots/ (or $RENOMIQ_SCREENSHOTS)
// for a person to look at.
inline void saveScreenshot(QWidget &widget, const QString &name)
{
#ifdef RENOMIQ_SCREENSHOT_DIR
    const QString folder = qEnvironmentVariable("RENOMIQ_SCREENSHOTS", QStringLiteral(RENOMIQ_SCREENSHOT_DIR));
#else
    const QString folder = qEnvironmentVariable("RENOMIQ_SCREENSHOTS");
#endif
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace renomiq::test
