#include "editor/remove_panel.h"

#include "engine/edit_request.h"
#include "services/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace renomiq {

RemovePanel::RemovePanel(QWidget *parent) : EditorPanel(parent)
{
    setObjectName(QStringLiteral("removePanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *modes = new QHBoxLayout;
    m_mode = radioGroup();
    m_removeStrings = radio(m_mode, QStringLiteral("Remove strings"), true);
    m_removeAnything = radio(m_mode, QStringLiteral("Remove anything"));
    m_cleanSymbols = radio(m_mode, QStringLiteral("Clean symbols"));
    m_keepSomething = radio(m_mode, QStringLiteral("Keep something"));
    for (QRadioButton *b : {m_removeStrings, m_removeAnything, m_cleanSymbols, m_keepSomething})
        modes->addWidget(b);
    modes->addStretch();
    layout->addLayout(modes);

    layout->addWidget(createStringsGroup());
    layout->addWidget(createAnythingGroup());
    layout->addWidget(createCleanGroup());
    layout->addWidget(createKeepGroup());
    layout->addStretch();

    onSwitched(m_removeStrings, SubModeControl::RemoveStrings);
    onSwitched(m_removeAnything, SubModeControl::RemoveAnything);
    onSwitched(m_cleanSymbols, SubModeControl::CleanSymbols);
    onSwitched(m_keepSomething, SubModeControl::KeepSomething);
    onSwitched(m_selectedPart, SubModeControl::RemoveSelectedPart);
    onSwitched(m_betweenStrings, SubModeControl::RemoveBetweenStrings);
    onSwitched(m_keepSelectedPart, SubModeControl::KeepSelectedPart);
    onSwitched(m_keepStrings, SubModeControl::KeepStrings);

    applyVisibility(SubModeControl::RemoveStrings);
    applyVisibility(SubModeControl::RemoveSelectedPart);
    applyVisibility(SubModeControl::KeepSelectedPart);
}

QWidget *RemovePanel::createStringsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Remove string"), this);
    group->setAccessibleName(QStringLiteral("Remove string"));
    auto *grid = new QGridLayout(group);
    const char *captions[] = {"Remove String 1: ", "Remove String 2: ", "Remove String 3: "};
    const EditorBox boxes[] = {EditorBox::RemoveString1, EditorBox::RemoveString2, EditorBox::RemoveString3};
    for (int i = 0; i < 3; ++i) {
        const QString caption = QString::fromLatin1(captions[i]);
        grid->addWidget(label(caption), i, 0);
        grid->addWidget(lineBox(boxes[i], caption.trimmed(), true), i, 1, 1, 3);
    }
    m_caseSensitive = check(QStringLiteral("Case sensitive"));
    m_onlyLeftest = check(QStringLiteral("Only Leftest"));
    QPushButton *clearAll = button(QStringLiteral("Clear all"), QStringLiteral("Empty the three boxes"));
    connect(clearAll, &QPushButton::clicked, this, [this] {
        for (EditorBox b : {EditorBox::RemoveString1, EditorBox::RemoveString2, EditorBox::RemoveString3})
            setBoxText(b, {});
        applySwitch(SubModeControl::ClearAll);
    });
    grid->addWidget(m_caseSensitive, 3, 1);
    grid->addWidget(m_onlyLeftest, 3, 2);
    grid->addWidget(clearAll, 3, 3);
    addPart(PanelPart::RemoveStringGroup, group);
    return group;
}

QWidget *RemovePanel::createAnythingGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Remove anything"), this);
    group->setAccessibleName(QStringLiteral("Remove anything"));
    auto *layout = new QVBoxLayout(group);
    QButtonGroup *which = radioGroup();
    m_selectedPart = radio(which, QStringLiteral("Remove the part selected by mouse"), true);
    layout->addWidget(m_selectedPart);
    QWidget *direction = directionRow(m_removeFromHead);
    layout->addWidget(direction);
    addPart(PanelPart::RemoveDirection, direction);

    m_betweenStrings = radio(which, QStringLiteral("Remove the part between two strings"));
    layout->addWidget(m_betweenStrings);
    auto *between = new QWidget(group);
    auto *grid = new QGridLayout(between);
    grid->setContentsMargins(20, 0, 0, 0);
    grid->addWidget(label(QStringLiteral("Left:")), 0, 0);
    grid->addWidget(lineBox(EditorBox::LeftString, QStringLiteral("Left:"), true), 0, 1);
    grid->addWidget(label(QStringLiteral("Right:")), 0, 2);
    grid->addWidget(lineBox(EditorBox::RightString, QStringLiteral("Right:"), true), 0, 3);
    m_alsoRemoveTwo = check(QStringLiteral("Also remove the two strings"));
    grid->addWidget(m_alsoRemoveTwo, 1, 1, 1, 3);
    layout->addWidget(between);
    addPart(PanelPart::BetweenStrings, between);
    addPart(PanelPart::RemoveAnythingGroup, group);
    return group;
}

QWidget *RemovePanel::createCleanGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Clean any nonsense symbols"), this);
    group->setAccessibleName(QStringLiteral("Clean any nonsense symbols"));
    auto *layout = new QHBoxLayout(group);

    auto *option = new QGroupBox(QStringLiteral("Option"), group);
    option->setAccessibleName(QStringLiteral("Option"));
    auto *optionGrid = new QGridLayout(option);
    m_replaceWithSpace = check(QStringLiteral("Replace the erased symbols with space"));
    m_alsoErase = check(QStringLiteral("Also erase other symbols:"));
    optionGrid->addWidget(m_replaceWithSpace, 0, 0, 1, 2);
    optionGrid->addWidget(m_alsoErase, 1, 0);
    optionGrid->addWidget(lineBox(EditorBox::AlsoEraseText, QStringLiteral("Also erase other symbols"), false), 1, 1);
    layout->addWidget(option);

    auto *dontErase = new QGroupBox(QStringLiteral("Don't erase these"), group);
    dontErase->setAccessibleName(QStringLiteral("Don't erase these"));
    auto *grid = new QGridLayout(dontErase);
    m_keepDash = check(QStringLiteral(" - "), true, QStringLiteral("Dash"));
    m_keepParentheses = check(QStringLiteral(" ( ) "), false, QStringLiteral("Parentheses"));
    m_keepBrackets = check(QStringLiteral(" [ ] "), false, QStringLiteral("Brackets"));
    m_keepUnderscore = check(QStringLiteral(" _ "), false, QStringLiteral("Underscore"));
    m_keepOthers = check(QStringLiteral("Don't erase other symbols:"));
    grid->addWidget(m_keepDash, 0, 0);
    grid->addWidget(m_keepParentheses, 0, 1);
    grid->addWidget(m_keepBrackets, 0, 2);
    grid->addWidget(m_keepUnderscore, 0, 3);
    grid->addWidget(m_keepOthers, 1, 0, 1, 2);
    grid->addWidget(lineBox(EditorBox::KeepOthersText, QStringLiteral("Don't erase other symbols"), false), 1, 2, 1, 2);
    layout->addWidget(dontErase);
    addPart(PanelPart::CleanSymbolsGroup, group);
    return group;
}

QWidget *RemovePanel::createKeepGroup()
{
    auto *group = new QGroupBox(QStringLiteral("KEEP something(remove others)"), this);
    group->setAccessibleName(QStringLiteral("KEEP something(remove others)"));
    auto *layout = new QVBoxLayout(group);
    QButtonGroup *which = radioGroup();
    m_keepSelectedPart = radio(which, QStringLiteral("KEEP the part selected by mouse"), true);
    layout->addWidget(m_keepSelectedPart);
    QWidget *direction = directionRow(m_keepFromHead);
    layout->addWidget(direction);
    addPart(PanelPart::KeepDirection, direction);

    m_keepStrings = radio(which, QStringLiteral("KEEP strings(remove others)"));
    layout->addWidget(m_keepStrings);
    auto *strings = new QWidget(group);
    auto *grid = new QGridLayout(strings);
    grid->setContentsMargins(20, 0, 0, 0);
    grid->addWidget(label(QStringLiteral("String 1:")), 0, 0);
    grid->addWidget(lineBox(EditorBox::KeepString1, QStringLiteral("String 1:"), true), 0, 1);
    grid->addWidget(label(QStringLiteral("String 2:")), 0, 2);
    grid->addWidget(lineBox(EditorBox::KeepString2, QStringLiteral("String 2:"), true), 0, 3);
    m_keepOnlyLeftest = check(QStringLiteral("Only Leftest"));
    grid->addWidget(m_keepOnlyLeftest, 1, 1);
    layout->addWidget(strings);
    addPart(PanelPart::KeepStringsPart, strings);
    addPart(PanelPart::KeepGroup, group);
    return group;
}

void RemovePanel::fill(EditRequest &r) const
{
    r.removeMode = m_removeStrings->isChecked() ? RemoveMode::Strings
        : m_removeAnything->isChecked()         ? RemoveMode::Anything
        : m_cleanSymbols->isChecked()           ? RemoveMode::CleanSymbols
                                                : RemoveMode::Keep;
    r.removeStrings = {fromQt(boxText(EditorBox::RemoveString1)), fromQt(boxText(EditorBox::RemoveString2)),
                       fromQt(boxText(EditorBox::RemoveString3))};
    r.removeCaseSensitive = m_caseSensitive->isChecked();
    r.removeOnlyLeftmost = m_onlyLeftest->isChecked();
    r.anythingMode = m_selectedPart->isChecked() ? AnythingMode::SelectedPart : AnythingMode::BetweenTwoStrings;
    r.removeDirection = m_removeFromHead->isChecked() ? Direction::FromHead : Direction::FromEnd;
    r.leftString = fromQt(boxText(EditorBox::LeftString));
    r.rightString = fromQt(boxText(EditorBox::RightString));
    r.alsoRemoveTheTwoStrings = m_alsoRemoveTwo->isChecked();
    r.keepMode = m_keepSelectedPart->isChecked() ? KeepMode::SelectedPart : KeepMode::Strings;
    r.keepDirection = m_keepFromHead->isChecked() ? Direction::FromHead : Direction::FromEnd;
    r.keepStrings = {fromQt(boxText(EditorBox::KeepString1)), fromQt(boxText(EditorBox::KeepString2))};
    r.keepOnlyLeftmost = m_keepOnlyLeftest->isChecked();
    r.replaceErasedWithSpace = m_replaceWithSpace->isChecked();
    r.alsoEraseOthers = m_alsoErase->isChecked();
    r.alsoEraseText = fromQt(boxText(EditorBox::AlsoEraseText));
    r.keepDash = m_keepDash->isChecked();
    r.keepParentheses = m_keepParentheses->isChecked();
    r.keepBrackets = m_keepBrackets->isChecked();
    r.keepUnderscore = m_keepUnderscore->isChecked();
    r.keepOthers = m_keepOthers->isChecked();
    r.keepOthersText = fromQt(boxText(EditorBox::KeepOthersText));
}

EditorBox RemovePanel::initialFocus() const
{
    return m_removeStrings->isChecked() ? EditorBox::RemoveString1 : EditorBox::None;
}

} // namespace renomiq
