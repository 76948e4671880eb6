#include "settings/number_box.h"

#include "platform/prompter.h"

#include <QLineEdit>

#include <algorithm>

#include <string>

namespace renomiq {

NumberBox::NumberBox(Prompter &prompter, int minimum, int limit, QWidget *parent)
    : QSpinBox(parent), m_prompter(prompter), m_limit(limit)
{
    setRange(minimum, limit);
    setKeyboardTracking(true);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    connect(lineEdit(), &QLineEdit::textChanged, this, &NumberBox::textEdited);
    // Where the arrows reach past the limit, the limit applies to them too.
    connect(this, &QSpinBox::valueChanged, this, &NumberBox::valueSet);
}

std::optional<int> NumberBox::numberIn(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QValidator::State NumberBox::validate(QString &input, int &) const
{
    // Only a number within the limits becomes the box's value as it is typed;
    // any other text stays in the field for the change check, which sets the
    // value it calls for (the limit, or the value before the change).
    const std::optional<int> value = numberIn(input);
    if (value && *value >= minimum() && *value <= std::min(maximum(), m_limit))
        return QValidator::Acceptable;
    return QValidator::Intermediate;
}

void NumberBox::tellLimit()
{
    m_prompter.show({"Information", "Should not more than " + std::to_string(m_limit) + ".", MessageIcon::Warning,
                     MessageButtons::Ok});
}

void NumberBox::textEdited(const QString &text)
{
    if (text.isEmpty() || text == QStringLiteral("-"))
        return; // being typed
    const std::optional<int> value = numberIn(text);
    if (!value) {
        setValue(this->value()); // the text goes back to the value
        m_prompter.show({"Error", "Please input a number!", MessageIcon::Warning, MessageButtons::Ok});
        setFocus();
        return;
    }
    if (*value > m_limit) {
        setValue(m_limit);
        tellLimit();
        return;
    }
    if (*value == 0 && minimum() == 1)
        setValue(1); // without a message
}

void NumberBox::valueSet(int value)
{
    if (value <= m_limit)
        return;
    setValue(m_limit);
    tellLimit();
}

} // namespace renomiq
