#pragma once

#include "platform/file_registry.h"
#include "platform/platform.h"
#include "platform/user_folders.h"
#include "support/faulty_file_system.h"
#include "support/scripted_prompter.h"
#include "support/test_dir.h"
#include "support/test_doubles.h"

namespace renomiq::test {

// The platform of one program instance over a temporary folder: the real file
// system (whose renames and writes a test can refuse on purpose), the real
// registry file and data folder; doubles only for what cannot run here
// (message boxes, dialogs, sound, help).
struct TestPlatform {
    TestDir dir;
    FaultyFileSystem fileSystem{dir.drives()};
    FileRegistry registry{UserFolders::registryFile()};
    ScriptedPrompter prompter;
    ScriptedShell shell;
    MemoryClipboard clipboard;
    RecordingSound sound;
    RecordingHelp help;
    FixedClock clock;
    Platform platform{fileSystem, registry, prompter, shell, clipboard, sound, help, clock};
};

} // namespace renomiq::test
