#pragma once

#include "platform/file_registry.h"
#include "platform/host_file_system.h"
#include "platform/platform.h"
#include "platform/user_folders.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"
#include "support/test_doubles.h"

#include <QDir>
#include <QString>
#include <QWidget>

namespace renomiq::test {

// Real file system and registry in a temporary folder; doubles only for what
// cannot run here (message boxes, dialogs, sound, help).
struct TestPlatform {
    TestDir dir;
    HostFileSystem fileSystem{dir.drives()};
    FileRegistry registry{UserFolders::registryFile()};
    ScriptedPrompter prompter;
    ScriptedShell shell;
    MemoryClipboard clipboard;
    RecordingSound sound;
    RecordingHelp help;
    FixedClock clock;
    Platform platform{fileSystem, registry, prompter, shell, clipboard, sound, help, clock};
};

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
