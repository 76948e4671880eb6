#pragma once

#include <string>

namespace renomiq {

// An item path split into folder part (up to and including the last '\'),
// name part and extension part (from the last '.' of a file's last component;
// a folder has none).
struct ItemSplit {
    std::string folderPart;
    std::string namePart;
    std::string extensionPart;
};

ItemSplit splitItemPath(const std::string &itemPath, bool isFolder);

// A Windows-style path as it enters the program (command line, hand-off file,
// dialogs, drops): Windows takes '/' as a separator too, so each '/' becomes
// '\' before the path is used.
std::string withBackslashes(std::string windowsPath);

// The last component of a path (the text after its last '\').
std::string lastComponentOf(const std::string &path);

// The name of the folder that holds the item: the folder part without its
// trailing '\', after its last remaining '\' ("D:\Music\Rock\a.mp3" -> "Rock";
// "C:\a.txt" -> "C:").
std::string holdingFolderName(const std::string &itemPath);

} // namespace renomiq
