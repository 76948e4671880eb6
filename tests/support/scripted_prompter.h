#pragma once

#include "platform/prompter.h"

#include <deque>
#include <string>
#include <vector>

namespace renomiq::test {

// Answers message boxes from a script and records every box shown. A box that
// comes when the script is empty fails the running test.
class ScriptedPrompter : public Prompter {
public:
    Answer show(const Message &message) override;

    // Queues the answer to the next box.
    void expect(Answer answer) { m_answers.push_back(answer); }
    void expect(int count, Answer answer)
    {
        for (int i = 0; i < count; ++i)
            expect(answer);
    }

    const std::vector<Message> &shown() const { return m_shown; }
    // The texts of the boxes shown, in order.
    std::vector<std::string> texts() const;
    size_t unanswered() const { return m_answers.size(); }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }

private:
    std::deque<Answer> m_answers;
    std::vector<Message> m_shown;
};

} // namespace renomiq::test
