#pragma once

#include "engine/edit_kind.h"

#include <string>

namespace renomiq {

// What a run, a preview or an export works on: one folder with its scope, or
// the list of chosen files (files mode).
struct TargetSet {
    // The one answer to "folder or chosen files": whoever sets the target
    // sets both, and everything else reads filesMode.
    bool filesMode = true;
    std::string targetFolder; // empty in files mode
    FolderScope folderScope = FolderScope::OneLayer;
    std::string sampleItem;
};

// What the last look-up of a target folder counted.
struct TargetCounts {
    int firstLayerFileCount = 0; // up to 30
    bool folderIsEmpty = true;
};

// A listing of a folder under way: the window that started it may ask it to stop.
struct ListingControl {
    bool running = false;
    bool abort = false;
};

} // namespace renomiq
