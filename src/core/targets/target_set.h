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
    int firstLayerFileCount = 0;
    bool folderIsEmpty = true;
    bool listingRunning = false;
    bool listingAbort = false;
};

} // namespace renomiq
