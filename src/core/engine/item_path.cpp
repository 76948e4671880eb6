#include "engine/item_path.h"

#include <algorithm>

namespace renomiq {

ItemSplit splitItemPath(const std::string &itemPath, bool isFolder)
{
    ItemSplit split;
    const std::size_t slash = itemPath.rfind('\\');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    split.folderPart = itemPath.substr(0, nameStart);
    const std::string last = itemPath.substr(nameStart);
    const std::size_t dot = isFolder ? std::string::npos : last.rfind('.');
    if (dot == std::string::npos) {
        split.namePart = last;
    } else {
        split.namePart = last.substr(0, dot);
        split.extensionPart = last.substr(dot);
    }
    return split;
}

std::string withBackslashes(std::string windowsPath)
{
    std::replace(windowsPath.begin(), windowsPath.end(), '/', '\\');
    return windowsPath;
}

std::string lastComponentOf(const std::string &path)
{
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string holdingFolderName(const std::string &itemPath)
{
    std::string folder = splitItemPath(itemPath, true).folderPart;
    while (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    return lastComponentOf(folder);
}

} // namespace renomiq
