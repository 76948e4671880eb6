#pragma once

#include <string>

namespace renomiq {

// The editor window's save panel.
struct ExportChoices {
    enum class Content { SubfoldersAndFilenames, AllFilenames, OnlySubfolders };
    Content content = Content::SubfoldersAndFilenames;
    bool includeWebpageFolder = false;
    bool specialTypes = false; // "Special types" rather than "All  types"
    bool music = false;
    bool document = false;
    bool film = false;
    bool picture = false;
    bool program = false;
    bool other = false;
    std::string otherTypes;
    bool fileSize = false;
    bool fileDateTime = false;
};

} // namespace renomiq
