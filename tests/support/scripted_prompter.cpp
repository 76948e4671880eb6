#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

namespace renomiq::test {

Answer ScriptedPrompter::show(const Message &message)
{
    m_shown.push_back(message);
    if (m_answers.empty()) {
        ADD_FAILURE() << "Unscripted message box: " << message.caption << ": " << message.text;
        return message.buttons == MessageButtons::Ok ? Answer::Ok
            : message.buttons == MessageButtons::OkCancel ? Answer::Cancel
                                                          : Answer::No;
    }
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::vector<std::string> ScriptedPrompter::texts() const
{
    std::vector<std::string> result;
    for (const Message &message : m_shown)
        result.push_back(message.text);
    return result;
}

} // namespace renomiq::test
