#pragma once

#include <string>

namespace renomiq {

// What the editor window asks of the list window and its dialogs beyond the
// run's ListWindow: the options dialog, the status timer, and the hand-off
// start, where the list window is hidden while the editor is open.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    // The options dialog, modally, on a page (0 the first; 2 "Preview").
    virtual void showOptionsDialog(int page) = 0;
    virtual void stopStatusTimer() = 0;
    virtual void startStatusTimer() = 0;
    // Started straight into the editor: load the options, show the folder in
    // the folder box.
    virtual void handOffShowing(const std::string &targetFolder) = 0;
    // Started straight into the editor, on its close: the list window back at
    // its remembered top, and shown.
    virtual void showListWindowAgain() = 0;
    // Started straight into the editor, closed without a run: the folder box.
    virtual void setFolderBoxText(const std::string &folder) = 0;
};

} // namespace renomiq
