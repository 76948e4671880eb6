#pragma once

#include "run/operation_check.h"

namespace renomiq {

// The editor window's input boxes, as the automatic copy, the sub-mode switches
// and the key focus name them.
enum class EditorBox {
    None,
    RemoveString1,
    RemoveString2,
    RemoveString3,
    LeftString,
    RightString,
    AlsoEraseText,
    KeepOthersText,
    KeepString1,
    KeepString2,
    OldString,
    NewString,
    HeadText,
    EndText,
    CursorText,
    ExistingString,
    SecondString,
    InsertText,
    NewName,
    OldExtension,
    NewExtension,
    OtherTypes,
};

// The box that gets the focus after a refusal of the operation check.
EditorBox boxForFocus(Focus focus);

} // namespace renomiq
