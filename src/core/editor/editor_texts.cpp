#include "editor/editor_texts.h"

#include "engine/code_page.h"
#include "engine/item_path.h"

namespace renomiq {

std::string editKindTitle(EditKind kind)
{
    switch (kind) {
    case EditKind::Removpart: return "Remove string";
    case EditKind::Replapart: return "Replace string";
    case EditKind::Addnewnum: return "Insert string";
    case EditKind::Changnew: return "Change to new name";
    case EditKind::Changexten: return "Edit Extention part";
    default: return "Save filenames";
    }
}

std::string editorCaption(EditKind kind)
{
    return "Renomiq - " + editKindTitle(kind);
}

std::string previewCaption(EditKind kind)
{
    return "Preview" + (" - " + editKindTitle(kind)).substr(0, 35);
}

namespace {

// The byte offset at which character `index` (0-based) of text begins.
std::size_t offsetOfCharacter(const CodePage &page, std::string_view text, std::size_t index)
{
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index && offset < text.size(); ++i)
        offset = static_cast<std::size_t>(page.charEnd(text, static_cast<std::ptrdiff_t>(offset) + 1));
    return offset;
}

} // namespace

std::string targetDescription(const std::string &folder)
{
    const CodePage page;
    const std::size_t count = page.characterCount(folder);
    if (count < 54)
        return folder;
    const std::size_t headEnd = offsetOfCharacter(page, folder, 18);
    const std::size_t tailStart = offsetOfCharacter(page, folder, count - 26);
    return folder.substr(0, headEnd) + " ... " + folder.substr(tailStart);
}

std::string filesDescription(std::size_t count)
{
    return "total " + std::to_string(count) + " file(s)";
}

std::string sampleDisplayName(const std::string &itemPath, bool isFolder, bool withExtension)
{
    std::string path = itemPath;
    if (isFolder) {
        while (path.size() > 1 && path.back() == '\\')
            path.pop_back();
        return lastComponentOf(path);
    }
    if (withExtension)
        return lastComponentOf(path);
    return splitItemPath(path, false).namePart;
}

} // namespace renomiq
