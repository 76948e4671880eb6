#pragma once

#include "engine/edit_kind.h"

#include <string>

namespace renomiq {

// The title of an edit kind: "Remove string", "Replace string", ... and
// "Save filenames" for any other kind.
std::string editKindTitle(EditKind kind);

// "Renomiq - " and the title.
std::string editorCaption(EditKind kind);

// "Preview - " and the title, cut to 35 characters after "Preview".
std::string previewCaption(EditKind kind);

// The folder as the header shows it: whole when shorter than 54 characters,
// else its first 18 characters, " ... " and its last 26. Counts characters, so
// a cut never splits one.
std::string targetDescription(const std::string &folder);

// The files-mode description: "total 12 file(s)".
std::string filesDescription(std::size_t count);

// The sample name display's text for a found item: a folder's whole name (a
// trailing '\' removed first), or a file's name part; with withExtension the
// file's whole name.
std::string sampleDisplayName(const std::string &itemPath, bool isFolder, bool withExtension);

} // namespace renomiq
