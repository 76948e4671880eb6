#include "editor/sub_mode_switch.h"

namespace renomiq {

namespace {

using P = PanelPart;
using B = EditorBox;

// One of four groups shown, the others hidden.
SubModeSwitch oneOfRemoveGroups(P shown, B focus)
{
    SubModeSwitch s;
    for (P group : {P::RemoveStringGroup, P::RemoveAnythingGroup, P::CleanSymbolsGroup, P::KeepGroup})
        (group == shown ? s.shows : s.hides).push_back(group);
    s.focus = focus;
    return s;
}

// Shown while `on`, hidden otherwise.
SubModeSwitch showWhile(bool on, std::vector<P> parts, B focus, bool clearsSelection)
{
    SubModeSwitch s;
    (on ? s.shows : s.hides) = std::move(parts);
    s.focus = on ? focus : B::None;
    s.clearsSelection = clearsSelection;
    return s;
}

} // namespace

SubModeSwitch subModeSwitch(SubModeControl control, bool on)
{
    switch (control) {
    case SubModeControl::RemoveStrings: return oneOfRemoveGroups(P::RemoveStringGroup, B::RemoveString1);
    case SubModeControl::RemoveAnything: return oneOfRemoveGroups(P::RemoveAnythingGroup, B::None);
    case SubModeControl::CleanSymbols: return oneOfRemoveGroups(P::CleanSymbolsGroup, B::None);
    case SubModeControl::KeepSomething: return oneOfRemoveGroups(P::KeepGroup, B::None);
    case SubModeControl::RemoveSelectedPart: return {{P::RemoveDirection}, {P::BetweenStrings}, B::None, true};
    case SubModeControl::RemoveBetweenStrings: return {{P::BetweenStrings}, {P::RemoveDirection}, B::None, true};
    case SubModeControl::KeepSelectedPart: return {{P::KeepDirection}, {P::KeepStringsPart}, B::None, true};
    case SubModeControl::KeepStrings: return {{P::KeepStringsPart}, {P::KeepDirection}, B::None, false};
    case SubModeControl::ReplaceString: return {{P::OldStringPart}, {P::ReplaceDirection}, B::OldString, true};
    case SubModeControl::ReplaceLength: return {{P::ReplaceDirection}, {P::OldStringPart}, B::NewString, true};
    case SubModeControl::RegularExpression: return showWhile(on, {P::ReplaceDirection}, B::OldString, false);
    case SubModeControl::InsertToPosition:
        return {{P::PositionGroup}, {P::InsertToStringGroup}, B::HeadText, false};
    case SubModeControl::InsertToString:
        return {{P::InsertToStringGroup}, {P::PositionGroup}, B::ExistingString, true};
    case SubModeControl::Head: return {{}, {}, on ? B::HeadText : B::None, false};
    case SubModeControl::End: return {{}, {}, on ? B::EndText : B::None, false};
    case SubModeControl::Cursor: return showWhile(on, {P::CursorDirection}, B::CursorText, false);
    case SubModeControl::Placement: return showWhile(on, {P::SecondString}, B::None, false);
    case SubModeControl::ChangeNewName: return {{P::NewNamePart}, {P::NameCaseGroup}, B::NewName, true};
    case SubModeControl::ConvertNameCase: return {{P::NameCaseGroup}, {P::NewNamePart}, B::None, false};
    case SubModeControl::NameCase: return showWhile(on, {P::CapitalizeFirstLetter}, B::None, false);
    case SubModeControl::ChangeExtension:
        return {{P::ChangeExtensionGroup}, {P::ExtensionCaseGroup}, B::NewExtension, false};
    case SubModeControl::ConvertExtensionCase:
        return {{P::ExtensionCaseGroup}, {P::ChangeExtensionGroup}, B::None, false};
    case SubModeControl::SaveSubfoldersAndFilenames:
        return {{P::SaveFileTypes, P::SaveFileDateTime, P::SaveFileSize}, {P::SaveWebpageFolder}, B::None, false};
    case SubModeControl::SaveOnlySubfolders:
        return {{}, {P::SaveFileTypes, P::SaveFileDateTime, P::SaveFileSize, P::SaveWebpageFolder}, B::None, false};
    case SubModeControl::SaveAllFilenames:
        return {{P::SaveFileTypes, P::SaveFileDateTime, P::SaveFileSize, P::SaveWebpageFolder}, {}, B::None, false};
    case SubModeControl::FileTypes: return showWhile(on, {P::TypeCheckBoxes}, B::None, false);
    case SubModeControl::OtherTypes: return showWhile(on, {P::OtherTypesBox}, B::None, false);
    case SubModeControl::ReplaceAllTypes: return showWhile(!on, {P::OldExtension}, B::None, false);
    case SubModeControl::ClearAll: return {{}, {}, B::RemoveString1, true};
    }
    return {};
}

} // namespace renomiq
