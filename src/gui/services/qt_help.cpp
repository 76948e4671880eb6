#include "services/qt_help.h"

#include "platform/prompter.h"
#include "services/help_window.h"
#include "services/qt_text.h"

namespace renomiq {

QtHelp::QtHelp(std::string helpHostFolder, Prompter &prompter)
    : m_folder(std::move(helpHostFolder)), m_prompter(prompter)
{
}

QtHelp::~QtHelp() = default;

void QtHelp::showTopic(const std::string &topic)
{
    if (!m_window) {
        auto window = std::make_unique<HelpWindow>(toQt(m_folder));
        if (!window->hasTopics()) {
            m_prompter.show({"Help", "The help files are missing: there is no help topic in\n" + m_folder
                                         + "\nPlease reinstall Renomiq.",
                             MessageIcon::Warning, MessageButtons::Ok});
            return;
        }
        m_window = std::move(window);
    }
    m_window->showTopic(toQt(topic));
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace renomiq
