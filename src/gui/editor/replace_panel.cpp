#include "editor/replace_panel.h"

#include "engine/edit_request.h"
#include "services/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace renomiq {

ReplacePanel::ReplacePanel(QWidget *parent) : EditorPanel(parent)
{
    setObjectName(QStringLiteral("replacePanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    QButtonGroup *mode = radioGroup();
    m_replaceString = radio(mode, QStringLiteral("Replace string:"), true);
    layout->addWidget(m_replaceString);
    auto *oldPart = new QWidget(this);
    auto *grid = new QGridLayout(oldPart);
    grid->setContentsMargins(20, 0, 0, 0);
    grid->addWidget(label(QStringLiteral("Old string:   ")), 0, 0);
    grid->addWidget(lineBox(EditorBox::OldString, QStringLiteral("Old string:"), true), 0, 1, 1, 3);
    m_caseSensitive = check(QStringLiteral("Case sensitive"));
    m_onlyLeftest = check(QStringLiteral("Only Leftest"));
    grid->addWidget(m_caseSensitive, 1, 1);
    grid->addWidget(m_onlyLeftest, 1, 2);
    m_regex = check(QStringLiteral("Regular expression"));
    m_regex->setToolTip(QStringLiteral("Old string is a PCRE2 pattern; {0} is the match and {1} to {9} its groups "
                                       "in the new string"));
    m_regex->setAccessibleDescription(m_regex->toolTip());
    grid->addWidget(m_regex, 1, 3);
    layout->addWidget(oldPart);
    addPart(PanelPart::OldStringPart, oldPart);

    m_replaceLength = radio(mode, QStringLiteral(" Replace length selected by mouse"));
    layout->addWidget(m_replaceLength);
    m_direction = directionRow(m_fromHead);
    layout->addWidget(m_direction);
    addPart(PanelPart::ReplaceDirection, m_direction);

    auto *newRow = new QHBoxLayout;
    newRow->addWidget(label(QStringLiteral("New String:")));
    QComboBox *newString = newStringBox(EditorBox::NewString, QStringLiteral("New String:"));
    newString->setMinimumWidth(260);
    newRow->addWidget(newString, 1);
    newRow->addWidget(specialButton(newString, QStringLiteral("New String Special")));
    layout->addLayout(newRow);
    layout->addStretch();

    onSwitched(m_replaceString, SubModeControl::ReplaceString);
    onSwitched(m_replaceLength, SubModeControl::ReplaceLength);
    applyVisibility(SubModeControl::ReplaceString);
    // A pattern's direction picks its first or last match: the row shows
    // with "Replace string:" while the box is ticked.
    addSwitchState(SubModeControl::RegularExpression, true);
    connect(m_regex, &QCheckBox::toggled, this, [this](bool on) {
        if (m_replaceString->isChecked())
            applySwitch(SubModeControl::RegularExpression, on);
    });
    connect(m_replaceString, &QRadioButton::toggled, this, [this](bool on) {
        if (on && m_regex->isChecked())
            applyVisibility(SubModeControl::RegularExpression);
    });
}

void ReplacePanel::fill(EditRequest &r) const
{
    r.replaceMode = m_replaceString->isChecked() ? ReplaceMode::String : ReplaceMode::SelectedLength;
    r.oldString = fromQt(boxText(EditorBox::OldString));
    r.newString = fromQt(boxText(EditorBox::NewString));
    r.replaceCaseSensitive = m_caseSensitive->isChecked();
    r.replaceOnlyLeftmost = m_onlyLeftest->isChecked();
    r.replaceDirection = m_fromHead->isChecked() ? Direction::FromHead : Direction::FromEnd;
    r.replaceRegex = m_regex->isChecked();
}

EditorBox ReplacePanel::initialFocus() const
{
    return m_replaceString->isChecked() ? EditorBox::OldString : EditorBox::NewString;
}

} // namespace renomiq
