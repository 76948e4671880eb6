#pragma once

#include "platform/help.h"

#include <memory>
#include <string>

namespace renomiq {

class HelpWindow;
class Prompter;

// Shows topics of the program's help in its help window, created at the first
// request. Without help files a message box says so, never an empty window.
class QtHelp : public Help {
public:
    // `helpHostFolder`: the folder of the topics, with a trailing '/'.
    QtHelp(std::string helpHostFolder, Prompter &prompter);
    ~QtHelp() override;

    void showTopic(const std::string &topic) override;

    // The window, once a topic has been shown.
    HelpWindow *window() const { return m_window.get(); }

private:
    std::string m_folder;
    Prompter &m_prompter;
    std::unique_ptr<HelpWindow> m_window;
};

} // namespace renomiq
