#pragma once

#include <QSpinBox>

#include <optional>

namespace renomiq {

class Prompter;

// A number box with arrows whose every change is checked: a value above its
// limit becomes the limit (with a message), a text that is no number is
// refused with a message and goes back to the value before, and a text left
// half typed (emptied, a lone "-") goes back to that value when the box is left.
class NumberBox : public QSpinBox {
    Q_OBJECT

public:
    NumberBox(Prompter &prompter, int minimum, int limit, QWidget *parent = nullptr);
    // The box's text field, where the user types.
    QLineEdit *textField() const { return lineEdit(); }

protected:
    QValidator::State validate(QString &input, int &pos) const override;

private:
    static std::optional<int> numberIn(const QString &text);
    void textEdited(const QString &text);
    void valueSet(int value);
    void tellLimit();

    Prompter &m_prompter;
    int m_limit;
};

} // namespace renomiq
