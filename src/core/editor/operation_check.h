#pragma once

#include "engine/edit_request.h"
#include "targets/export_choices.h"
#include "targets/folder_walks.h"

#include <optional>
#include <string>

namespace renomiq {

struct AppState;
class NameEngine;
class Prompter;

// The editor window's inputs as the OK action reads them.
struct EditorInputs {
    EditRequest request;
    // The text of "Folder content to edit:".
    std::string scopeCaption;
    // The part of the sample name selected with the mouse.
    std::string selectedText;
    // An insert position has been picked with the mouse.
    bool cursorPicked = false;
    ExportChoices save;
    // Set by the check once it has normalised "New extention part : ": the
    // text the box shows from then on, whether the run goes ahead or not.
    std::optional<std::string> normalisedNewExtension;
};

// The editor window's input boxes, as the automatic copy, the sub-mode
// switches and the key focus after a refusal name them.
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

struct CheckResult {
    enum Action { Stop, Run, Export };
    Action action = Stop;
    EditorBox focus = EditorBox::None; // the box that gets the focus
};

// CheckTargets: the first item of the target folder in its scope, or empty
// (after its message) when there is nothing to edit. With AnyItem the item
// given is not necessarily the first, and the folder is not sorted for it.
std::string checkTargets(AppState &state, TargetLookup lookup = TargetLookup::FirstInOrder);

// The OK action's checks: targets, the active kind's inputs, the confirmation.
// Normalised extension texts are written back into inputs. Resets the counts.
// The caller starts the run or the export as the result says.
// targetsChecked: the caller has just run checkTargets (and shown its message).
CheckResult checkAndStart(AppState &state, EditorInputs &inputs, bool targetsChecked = false);

// The active kind's input checks alone, as OK makes them, without the targets,
// the confirmation box or the run's counts: their boxes go to `prompter` and
// the texts are checked by `engine`. What the live preview runs.
struct InputCheck {
    bool refused = false;
    std::string confirmation; // the text the confirmation box would show
};
InputCheck checkInputs(AppState &state, EditorInputs &inputs, Prompter &prompter, NameEngine &engine);

} // namespace renomiq
