#pragma once

#include <string>
#include <vector>

namespace renomiq {

enum class MessageIcon { Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    std::string caption;
    std::string text; // '\n' is a line break
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    // Names from disk that the text quotes. A terminal shows their line
    // breaks escaped, while the text's own line breaks stay line breaks.
    std::vector<std::string> names = {};
    // A question that a blanket yes (renomiq-cli --yes) does not answer: its
    // Yes gives up something the user must have agreed to in its own right.
    bool needsOwnConsent = false;

    // The box as the user sees it in a window: its names are in its text.
    bool operator==(const Message &other) const
    {
        return caption == other.caption && text == other.text && icon == other.icon && buttons == other.buttons;
    }
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

    // The same, quoting names from disk.
    void informationAbout(const std::string &text, std::vector<std::string> names)
    {
        show({"Information", text, MessageIcon::Information, MessageButtons::Ok, std::move(names)});
    }
};

} // namespace renomiq
