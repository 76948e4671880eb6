#include "editor/insert_panel.h"

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

InsertPanel::InsertPanel(QWidget *parent) : EditorPanel(parent)
{
    setObjectName(QStringLiteral("insertPanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *modes = new QHBoxLayout;
    QButtonGroup *mode = radioGroup();
    m_toPosition = radio(mode, QStringLiteral("Insert to position      "), true);
    m_toString = radio(mode, QStringLiteral("Insert to string"));
    modes->addWidget(m_toPosition);
    modes->addWidget(m_toString);
    modes->addStretch();
    layout->addLayout(modes);
    layout->addWidget(createPositionGroup());
    layout->addWidget(createStringGroup());
    layout->addStretch();

    onSwitched(m_toPosition, SubModeControl::InsertToPosition);
    onSwitched(m_toString, SubModeControl::InsertToString);
    onSwitched(m_head, SubModeControl::Head);
    onSwitched(m_end, SubModeControl::End);
    onSwitched(m_cursor, SubModeControl::Cursor);
    addSwitchState(SubModeControl::Placement, true);
    addSwitchState(SubModeControl::Placement, false);
    connect(m_placement, &QComboBox::currentIndexChanged, this, [this](int index) {
        applySwitch(SubModeControl::Placement, index == static_cast<int>(Placement::BetweenTwo));
    });
    applyVisibility(SubModeControl::InsertToPosition);
    applyVisibility(SubModeControl::Cursor, false);
    applyVisibility(SubModeControl::Placement, false);
}

QWidget *InsertPanel::createPositionGroup()
{
    auto *group = new QGroupBox(QStringLiteral(" Position  --------  Specify the string "), this);
    group->setAccessibleName(QStringLiteral("Position, Specify the string"));
    auto *grid = new QGridLayout(group);
    const struct {
        const char *caption;
        EditorBox box;
        QCheckBox **check;
    } rows[] = {{"HEAD", EditorBox::HeadText, &m_head},
                {"END", EditorBox::EndText, &m_end},
                {"CURSOR", EditorBox::CursorText, &m_cursor}};
    for (int i = 0; i < 3; ++i) {
        const QString caption = QString::fromLatin1(rows[i].caption);
        *rows[i].check = check(caption);
        grid->addWidget(*rows[i].check, i, 0);
        QComboBox *box = newStringBox(rows[i].box, caption + QStringLiteral(" string"));
        grid->addWidget(box, i, 1);
        grid->addWidget(specialButton(box, caption + QStringLiteral(" Special")), i, 2);
    }
    grid->setColumnStretch(1, 1);
    QWidget *direction = directionRow(m_cursorFromHead);
    grid->addWidget(direction, 3, 1);
    addPart(PanelPart::CursorDirection, direction);
    addPart(PanelPart::PositionGroup, group);
    return group;
}

QWidget *InsertPanel::createStringGroup()
{
    auto *group = new QGroupBox(QStringLiteral(" Insert to string "), this);
    group->setAccessibleName(QStringLiteral("Insert to string group"));
    auto *grid = new QGridLayout(group);
    grid->addWidget(label(QStringLiteral("The existing string: ")), 0, 0);
    grid->addWidget(lineBox(EditorBox::ExistingString, QStringLiteral("The existing string:"), false), 0, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("Position to insert:")), 1, 0);
    m_placement = new QComboBox(group);
    m_placement->addItems({QStringLiteral("BEFORE existing string"), QStringLiteral("BEHIND existing string"),
                           QStringLiteral("BETWEEN two strings")});
    m_placement->setAccessibleName(QStringLiteral("Position to insert:"));
    grid->addWidget(m_placement, 1, 1, 1, 2);
    QLabel *secondLabel = label(QStringLiteral("The second string: "));
    QLineEdit *second = lineBox(EditorBox::SecondString, QStringLiteral("The second string:"), false);
    const QString hint = QStringLiteral("There should be nothing between two strings before rename");
    second->setToolTip(hint);
    second->setAccessibleDescription(hint);
    grid->addWidget(secondLabel, 2, 0);
    grid->addWidget(second, 2, 1, 1, 2);
    addPart(PanelPart::SecondString, secondLabel);
    addPart(PanelPart::SecondString, second);
    grid->addWidget(label(QStringLiteral("String to insert: ")), 3, 0);
    QComboBox *text = newStringBox(EditorBox::InsertText, QStringLiteral("String to insert:"));
    connect(text, &QComboBox::editTextChanged, this, &EditorPanel::selectionCleared);
    grid->addWidget(text, 3, 1);
    grid->addWidget(specialButton(text, QStringLiteral("String to insert Special")), 3, 2);
    grid->setColumnStretch(1, 1);
    addPart(PanelPart::InsertToStringGroup, group);
    return group;
}

bool InsertPanel::insertToPosition() const
{
    return m_toPosition->isChecked();
}

void InsertPanel::fill(EditRequest &r) const
{
    r.insertMode = m_toPosition->isChecked() ? InsertMode::ToPosition : InsertMode::ToString;
    r.atHead = m_head->isChecked();
    r.headText = fromQt(boxText(EditorBox::HeadText));
    r.atEnd = m_end->isChecked();
    r.endText = fromQt(boxText(EditorBox::EndText));
    r.atCursor = m_cursor->isChecked();
    r.cursorText = fromQt(boxText(EditorBox::CursorText));
    r.cursorDirection = m_cursorFromHead->isChecked() ? Direction::FromHead : Direction::FromEnd;
    r.placement = static_cast<Placement>(m_placement->currentIndex());
    r.existingString = fromQt(boxText(EditorBox::ExistingString));
    r.secondString = fromQt(boxText(EditorBox::SecondString));
    r.insertText = fromQt(boxText(EditorBox::InsertText));
}

EditorBox InsertPanel::initialFocus() const
{
    return m_toPosition->isChecked() ? EditorBox::HeadText : EditorBox::ExistingString;
}

} // namespace renomiq
