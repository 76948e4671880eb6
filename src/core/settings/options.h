#pragma once

namespace renomiq {

// The user's options, one field per registry value (its name in the comment),
// with the defaults of a fresh user.
struct Options {
    bool exitAfterOperation = false;  // "Options1"
    bool dontOpenAfterSave = false;   // "Options2"
    bool displayResult = true;        // "Options3"
    bool autoCopy = true;             // "Autocopy"
    bool excludeSmallWords = true;    // "Capevery"
    bool confirm = false;             // "Confirm"
    bool contextMenu = true;          // "Contextmenu"
    bool endSound = true;             // "Endsound"
    bool previewMaximized = false;    // "PreviewMax"
    bool checkBox = true;             // "Checkbox"
    int previewLimit = 20;            // "Prenum", 1..1000
    int nameListMax = 20;             // "Listnum", 0..100
    int folderListMax = 10;           // "Foldernum", 0..30

    bool operator==(const Options &) const = default;
};

} // namespace renomiq
