#include "editor/auto_copy.h"

#include "engine/edit_request.h"

namespace renomiq {

int copyTargetOf(EditorBox box)
{
    switch (box) {
    case EditorBox::RemoveString1: return CopyRemoveString1;
    case EditorBox::RemoveString2: return CopyRemoveString2;
    case EditorBox::RemoveString3: return CopyRemoveString3;
    case EditorBox::LeftString: return CopyLeftString;
    case EditorBox::RightString: return CopyRightString;
    case EditorBox::SecondString: return CopySecondString;
    case EditorBox::AlsoEraseText: return CopyAlsoEraseText;
    case EditorBox::KeepOthersText: return CopyKeepOthersText;
    case EditorBox::KeepString1: return CopyKeepString1;
    case EditorBox::KeepString2: return CopyKeepString2;
    default: return NoCopyTarget;
    }
}

EditorBox autoCopyBox(const EditRequest &modes, int target)
{
    switch (modes.kind) {
    case EditKind::Removpart:
        switch (modes.removeMode) {
        case RemoveMode::Anything:
            if (modes.anythingMode != AnythingMode::BetweenTwoStrings)
                return EditorBox::None;
            return target == CopyRightString ? EditorBox::RightString : EditorBox::LeftString;
        case RemoveMode::Strings:
            if (target == CopyRemoveString2)
                return EditorBox::RemoveString2;
            return target == CopyRemoveString3 ? EditorBox::RemoveString3 : EditorBox::RemoveString1;
        case RemoveMode::CleanSymbols:
            return target == CopyAlsoEraseText ? EditorBox::AlsoEraseText : EditorBox::KeepOthersText;
        case RemoveMode::Keep:
            if (modes.keepMode != KeepMode::Strings)
                return EditorBox::None;
            return target == CopyKeepString2 ? EditorBox::KeepString2 : EditorBox::KeepString1;
        }
        return EditorBox::None;
    case EditKind::Replapart:
        return modes.replaceMode == ReplaceMode::String ? EditorBox::OldString : EditorBox::None;
    case EditKind::Changnew:
        return modes.changeMode == ChangeMode::NewName ? EditorBox::NewName : EditorBox::None;
    case EditKind::Addnewnum:
        if (modes.insertMode != InsertMode::ToString)
            return EditorBox::None;
        return modes.placement == Placement::BetweenTwo && target == CopySecondString ? EditorBox::SecondString
                                                                                      : EditorBox::ExistingString;
    default:
        return EditorBox::None;
    }
}

} // namespace renomiq
