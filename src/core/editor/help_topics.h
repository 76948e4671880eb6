#pragma once

#include "engine/edit_kind.h"

#include <string>

namespace renomiq {

// Which topic of the help the windows' Help buttons and F1 open.
namespace HelpTopics {

// The editor window: the topic of its edit kind ("Remove.htm" ... "Save.htm"),
// "How to use.htm" for any other.
std::string forEditKind(EditKind kind);

// The list window: the topic of the dialog in front, in this order: the
// special string dialog, the preview window, the options dialog; otherwise
// "How to use.htm".
std::string forListWindow(bool specialStringDialogVisible, bool previewVisible, bool optionsVisible);

// The undo history window.
std::string forUndoHistory();

} // namespace HelpTopics

} // namespace renomiq
