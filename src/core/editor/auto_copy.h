#pragma once

#include "editor/operation_check.h"

namespace renomiq {

struct EditRequest;

// The copy target: the input box the user last pressed the mouse in (or the
// window last focused), by its code; 0 for the boxes that are no target.
enum CopyTarget {
    NoCopyTarget = 0,
    CopyRemoveString1 = 1,
    CopyRemoveString2 = 2,
    CopyRemoveString3 = 3,
    CopyLeftString = 4,
    CopyRightString = 5,
    CopySecondString = 6,
    CopyAlsoEraseText = 7,
    CopyKeepOthersText = 8,
    CopyKeepString1 = 9,
    CopyKeepString2 = 10,
};

// The copy target code of a box pressed with the mouse.
int copyTargetOf(EditorBox box);

// The box that receives the text marked in the sample name, for the kind and
// sub-modes of `modes` and the copy target; None when nothing is copied.
EditorBox autoCopyBox(const EditRequest &modes, int copyTarget);

} // namespace renomiq
