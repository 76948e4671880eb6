#pragma once

#include <string>

namespace renomiq {

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    std::string caption;
    std::string text; // '\n' is a line break
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    // A question that a blanket yes (renomiq-cli --yes) does not answer: its
    // Yes gives up something the user must have agreed to in its own right.
    bool needsOwnConsent = false;

    bool operator==(const Message &) const = default;
};

// Message and question boxes. Every box is modal and returns the button pressed.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer show(const Message &message) = 0;

    // The information box with an OK button that refuses an input.
    void information(const std::string &text, const std::string &caption = "Information")
    {
        show({caption, text, MessageIcon::Information, MessageButtons::Ok});
    }
};

} // namespace renomiq
