#include "editor/editor_box.h"

namespace renomiq {

EditorBox boxForFocus(Focus focus)
{
    switch (focus) {
    case Focus::None: return EditorBox::None;
    case Focus::RemoveString1: return EditorBox::RemoveString1;
    case Focus::LeftString: return EditorBox::LeftString;
    case Focus::RightString: return EditorBox::RightString;
    case Focus::AlsoEraseText: return EditorBox::AlsoEraseText;
    case Focus::KeepOthersText: return EditorBox::KeepOthersText;
    case Focus::KeepString1: return EditorBox::KeepString1;
    case Focus::KeepString2: return EditorBox::KeepString2;
    case Focus::OldString: return EditorBox::OldString;
    case Focus::NewString: return EditorBox::NewString;
    case Focus::HeadText: return EditorBox::HeadText;
    case Focus::EndText: return EditorBox::EndText;
    case Focus::CursorText: return EditorBox::CursorText;
    case Focus::ExistingString: return EditorBox::ExistingString;
    case Focus::SecondString: return EditorBox::SecondString;
    case Focus::InsertText: return EditorBox::InsertText;
    case Focus::NewName: return EditorBox::NewName;
    case Focus::NewExtension: return EditorBox::NewExtension;
    case Focus::OtherTypes: return EditorBox::OtherTypes;
    }
    return EditorBox::None;
}

} // namespace renomiq
