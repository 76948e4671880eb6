#include "editor/extension_panel.h"

#include "engine/edit_request.h"
#include "services/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace renomiq {

namespace {

// The boxes take at most 253 bytes of UTF-8: cut back to whole characters.
void limitTo253Bytes(QLineEdit *box)
{
    const QByteArray bytes = box->text().toUtf8();
    if (bytes.size() <= 253)
        return;
    QString text = box->text();
    while (text.toUtf8().size() > 253)
        text.chop(text.size() >= 2 && text.at(text.size() - 1).isLowSurrogate() ? 2 : 1);
    box->setText(text);
}

} // namespace

ExtensionPanel::ExtensionPanel(QWidget *parent) : EditorPanel(parent)
{
    setObjectName(QStringLiteral("extensionPanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QButtonGroup *mode = radioGroup();
    m_change = radio(mode, QStringLiteral("Change extention part"), true);
    layout->addWidget(m_change);

    auto *changeGroup = new QGroupBox(this);
    changeGroup->setAccessibleName(QStringLiteral("Change extention part group"));
    auto *grid = new QGridLayout(changeGroup);
    m_replaceAll = check(QStringLiteral("replace ALL types of old extention part"));
    grid->addWidget(m_replaceAll, 0, 0, 1, 2);
    QLabel *oldLabel = label(QStringLiteral("Old extention part :   "));
    QLineEdit *oldBox = lineBox(EditorBox::OldExtension, QStringLiteral("Old extention part :"), false);
    QLabel *newLabel = label(QStringLiteral("New extention part : "));
    QLineEdit *newBox = lineBox(EditorBox::NewExtension, QStringLiteral("New extention part :"), true);
    for (QLineEdit *box : {oldBox, newBox}) {
        box->setMaxLength(253);
        connect(box, &QLineEdit::textChanged, this, [box] { limitTo253Bytes(box); });
    }
    grid->addWidget(oldLabel, 1, 0);
    grid->addWidget(oldBox, 1, 1);
    grid->addWidget(newLabel, 2, 0);
    grid->addWidget(newBox, 2, 1);
    addPart(PanelPart::OldExtension, oldLabel);
    addPart(PanelPart::OldExtension, oldBox);
    layout->addWidget(changeGroup);
    addPart(PanelPart::ChangeExtensionGroup, changeGroup);

    QRadioButton *convert = radio(mode, QStringLiteral("Convert extention case"));
    layout->addWidget(convert);
    auto *caseGroup = new QGroupBox(QStringLiteral("Convert extention case to"), this);
    caseGroup->setAccessibleName(QStringLiteral("Convert extention case to"));
    auto *caseLayout = new QVBoxLayout(caseGroup);
    QButtonGroup *cases = radioGroup();
    m_lower = radio(cases, QStringLiteral("Lower case"), true);
    caseLayout->addWidget(m_lower);
    caseLayout->addWidget(radio(cases, QStringLiteral("UPPER case")));
    layout->addWidget(caseGroup);
    addPart(PanelPart::ExtensionCaseGroup, caseGroup);
    layout->addStretch();

    onSwitched(m_change, SubModeControl::ChangeExtension);
    onSwitched(convert, SubModeControl::ConvertExtensionCase);
    onSwitched(m_replaceAll, SubModeControl::ReplaceAllTypes);
    applyVisibility(SubModeControl::ChangeExtension);
}

void ExtensionPanel::fill(EditRequest &r) const
{
    r.extensionMode = m_change->isChecked() ? ExtensionMode::Change : ExtensionMode::ConvertCase;
    r.replaceAllTypes = m_replaceAll->isChecked();
    r.oldExtension = fromQt(boxText(EditorBox::OldExtension));
    r.newExtension = fromQt(boxText(EditorBox::NewExtension));
    r.extensionCase = m_lower->isChecked() ? ExtensionCase::Lower : ExtensionCase::Upper;
}

EditorBox ExtensionPanel::initialFocus() const
{
    return m_change->isChecked() ? EditorBox::NewExtension : EditorBox::None;
}

} // namespace renomiq
