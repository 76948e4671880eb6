#include "editor/change_panel.h"

#include "engine/edit_request.h"
#include "services/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace renomiq {

ChangePanel::ChangePanel(QWidget *parent) : EditorPanel(parent)
{
    setObjectName(QStringLiteral("changePanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QButtonGroup *mode = radioGroup();
    m_newName = radio(mode, QStringLiteral("Change full name to new:"), true);
    layout->addWidget(m_newName);

    auto *newRow = new QHBoxLayout;
    newRow->setContentsMargins(20, 0, 0, 0);
    QLabel *caption = label(QStringLiteral("New name:"));
    QComboBox *box = newStringBox(EditorBox::NewName, QStringLiteral("New name:"));
    QPushButton *special = specialButton(box, QStringLiteral("Special string"), QStringLiteral("Special string"));
    newRow->addWidget(caption);
    newRow->addWidget(box, 1);
    newRow->addWidget(special);
    layout->addLayout(newRow);
    addPart(PanelPart::NewNamePart, caption);
    addPart(PanelPart::NewNamePart, box);
    addPart(PanelPart::NewNamePart, special);
    connect(box, &QComboBox::activated, this, &EditorPanel::selectionCleared);

    m_convertCase = radio(mode, QStringLiteral("Convert full name case to:"));
    layout->addWidget(m_convertCase);
    auto *caseGroup = new QWidget(this);
    auto *grid = new QGridLayout(caseGroup);
    grid->setContentsMargins(20, 0, 0, 0);
    QButtonGroup *cases = radioGroup();
    m_lower = radio(cases, QStringLiteral("Lower case"), true);
    m_upper = radio(cases, QStringLiteral("UPPER case"));
    QRadioButton *every = radio(cases, QStringLiteral("Capitalize every words"));
    m_capitalizeFirst = check(QStringLiteral("Capitalize first letter"), true);
    m_includeExtension = check(QStringLiteral("Include extension part"), true);
    grid->addWidget(m_lower, 0, 0);
    grid->addWidget(m_capitalizeFirst, 0, 1);
    grid->addWidget(m_upper, 1, 0);
    grid->addWidget(every, 2, 0);
    grid->addWidget(m_includeExtension, 3, 0);
    layout->addWidget(caseGroup);
    addPart(PanelPart::NameCaseGroup, caseGroup);
    addPart(PanelPart::CapitalizeFirstLetter, m_capitalizeFirst);
    layout->addStretch();

    onSwitched(m_newName, SubModeControl::ChangeNewName);
    onSwitched(m_convertCase, SubModeControl::ConvertNameCase);
    addSwitchState(SubModeControl::NameCase, true);
    addSwitchState(SubModeControl::NameCase, false);
    for (QRadioButton *b : {m_lower, m_upper, every}) {
        connect(b, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                applySwitch(SubModeControl::NameCase, m_lower->isChecked());
        });
    }
    applyVisibility(SubModeControl::ChangeNewName);
}

void ChangePanel::fill(EditRequest &r) const
{
    r.changeMode = m_newName->isChecked() ? ChangeMode::NewName : ChangeMode::ConvertCase;
    r.newName = fromQt(boxText(EditorBox::NewName));
    r.nameCase = m_lower->isChecked() ? NameCase::Lower
        : m_upper->isChecked()        ? NameCase::Upper
                                      : NameCase::CapitalizeEveryWord;
    r.capitalizeFirstLetter = m_capitalizeFirst->isChecked();
    r.includeExtension = m_includeExtension->isChecked();
}

EditorBox ChangePanel::initialFocus() const
{
    return m_newName->isChecked() ? EditorBox::NewName : EditorBox::None;
}

} // namespace renomiq
