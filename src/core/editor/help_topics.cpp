#include "editor/help_topics.h"

namespace renomiq::HelpTopics {

std::string forEditKind(EditKind kind)
{
    switch (kind) {
    case EditKind::Removpart: return "Remove.htm";
    case EditKind::Replapart: return "Replace.htm";
    case EditKind::Addnewnum: return "Insert.htm";
    case EditKind::Changnew: return "Change.htm";
    case EditKind::Changexten: return "Change ext.htm";
    case EditKind::Savealls: return "Save.htm";
    // "Savesomes" never opens the editor window (its export runs at once), so
    // it has no panel and no topic of its own.
    case EditKind::Savesomes:
    case EditKind::Browsefile: break;
    }
    return "How to use.htm";
}

std::string forListWindow(bool specialStringDialogVisible, bool previewVisible, bool optionsVisible)
{
    if (specialStringDialogVisible)
        return "Special string.htm";
    if (previewVisible)
        return "Preview.htm";
    if (optionsVisible)
        return "Options.htm";
    return "How to use.htm";
}

std::string forUndoHistory()
{
    return "Undo history.htm";
}

} // namespace renomiq::HelpTopics
