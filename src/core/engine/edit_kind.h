#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace renomiq {

// The current kind of edit, named by its keyword.
enum class EditKind {
    Removpart,
    Replapart,
    Addnewnum,
    Changnew,
    Changexten,
    Savealls,
    Savesomes,
    Browsefile,
};

// "Removpart", "Replapart", … exactly as stored and passed on command lines.
std::string_view keywordOf(EditKind kind);
// The kind of a keyword, compared exactly and case-sensitively.
std::optional<EditKind> editKindFromKeyword(std::string_view keyword);

// The five kinds that rename.
inline bool isRenamingKind(EditKind kind)
{
    return kind == EditKind::Removpart || kind == EditKind::Replapart || kind == EditKind::Addnewnum
        || kind == EditKind::Changnew || kind == EditKind::Changexten;
}

// What of a folder is edited: its files, all layers, its subfolders, or itself.
enum class FolderScope { OneLayer = 0, AllLayers = 1, OnlySubfolders = 2, ThisFolderOnly = 3 };

} // namespace renomiq
