#pragma once

namespace renomiq {

// Makes screen readers announce the program's top-level windows that are
// plain widgets (the editor, the preview, the help) as windows with their
// titles; Qt gives such a widget the role of a client area ("filler").
// Called by each such window's constructor; the first call does the work.
void announceAsWindows();

} // namespace renomiq
