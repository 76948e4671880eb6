#pragma once

#include "editor/operation_check.h"

#include <vector>

namespace renomiq {

// The controls of the editor's panels whose click switches a sub-mode.
enum class SubModeControl {
    RemoveStrings,
    RemoveAnything,
    CleanSymbols,
    KeepSomething,
    RemoveSelectedPart,
    RemoveBetweenStrings,
    KeepSelectedPart,
    KeepStrings,
    ReplaceString,
    ReplaceLength,
    RegularExpression,
    InsertToPosition,
    InsertToString,
    Head,
    End,
    Cursor,
    Placement,
    ChangeNewName,
    ConvertNameCase,
    NameCase,
    ChangeExtension,
    ConvertExtensionCase,
    SaveSubfoldersAndFilenames,
    SaveOnlySubfolders,
    SaveAllFilenames,
    FileTypes,
    OtherTypes,
    ReplaceAllTypes,
    ClearAll,
};

// The parts of the panels that a switch shows or hides.
enum class PanelPart {
    RemoveStringGroup,
    RemoveAnythingGroup,
    CleanSymbolsGroup,
    KeepGroup,
    RemoveDirection,
    BetweenStrings,
    KeepDirection,
    KeepStringsPart,
    OldStringPart,
    ReplaceDirection,
    PositionGroup,
    InsertToStringGroup,
    CursorDirection,
    SecondString,
    NewNamePart,
    NameCaseGroup,
    CapitalizeFirstLetter,
    ChangeExtensionGroup,
    ExtensionCaseGroup,
    SaveFileTypes,
    SaveFileDateTime,
    SaveFileSize,
    SaveWebpageFolder,
    TypeCheckBoxes,
    OtherTypesBox,
    OldExtension,
};

struct SubModeSwitch {
    std::vector<PanelPart> shows;
    std::vector<PanelPart> hides;
    EditorBox focus = EditorBox::None;
    bool clearsSelection = true;
};

// What a click on a control does. `on` is the state the click leaves: the box
// ticked (HEAD, END, CURSOR, Other, replace ALL types), "BETWEEN two strings"
// chosen in the placement list, "Lower case" chosen among the name cases,
// "Special types" chosen among the file types.
SubModeSwitch subModeSwitch(SubModeControl control, bool on = true);

} // namespace renomiq
