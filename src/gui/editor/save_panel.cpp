#include "editor/save_panel.h"

#include "services/qt_text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace renomiq {

SavePanel::SavePanel(QWidget *parent) : EditorPanel(parent)
{
    setObjectName(QStringLiteral("savePanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *content = new QGroupBox(QStringLiteral("The content to save filenames"), this);
    content->setAccessibleName(QStringLiteral("The content to save filenames"));
    auto *grid = new QGridLayout(content);
    QButtonGroup *which = radioGroup();
    m_subfoldersAndFiles = radio(which, QStringLiteral(" Subfolders and filenames "), true);
    m_onlySubfolders = radio(which, QStringLiteral(" Only subfolders name"));
    QRadioButton *all = radio(which, QStringLiteral(" All filenames in subfolders "));
    m_webpage = check(QStringLiteral("Include webpage folder"));
    grid->addWidget(m_subfoldersAndFiles, 0, 0);
    grid->addWidget(label(QStringLiteral("(ONE layer)")), 0, 1);
    grid->addWidget(m_onlySubfolders, 1, 0);
    grid->addWidget(label(QStringLiteral("(without files)")), 1, 1);
    grid->addWidget(all, 2, 0);
    grid->addWidget(label(QStringLiteral("(ALL layers) ")), 2, 1);
    grid->addWidget(m_webpage, 2, 2);
    layout->addWidget(content);
    addPart(PanelPart::SaveWebpageFolder, m_webpage);

    auto *types = new QGroupBox(QStringLiteral("File types"), this);
    types->setAccessibleName(QStringLiteral("File types"));
    auto *typesGrid = new QGridLayout(types);
    QButtonGroup *typeChoice = radioGroup();
    QRadioButton *allTypes = radio(typeChoice, QStringLiteral("All  types"), true);
    m_specialTypes = radio(typeChoice, QStringLiteral("Special types"));
    typesGrid->addWidget(allTypes, 0, 0);
    typesGrid->addWidget(m_specialTypes, 1, 0);
    auto *checks = new QWidget(types);
    auto *checksGrid = new QGridLayout(checks);
    checksGrid->setContentsMargins(0, 0, 0, 0);
    m_music = check(QStringLiteral("Music"));
    m_document = check(QStringLiteral("Document"));
    m_film = check(QStringLiteral("Film"));
    m_picture = check(QStringLiteral("Picture"));
    m_program = check(QStringLiteral("Program"));
    m_other = check(QStringLiteral("Other"));
    checksGrid->addWidget(m_music, 0, 0);
    checksGrid->addWidget(m_document, 0, 1);
    checksGrid->addWidget(m_film, 0, 2);
    checksGrid->addWidget(m_picture, 1, 0);
    checksGrid->addWidget(m_program, 1, 1);
    checksGrid->addWidget(m_other, 1, 2);
    QLineEdit *otherBox = lineBox(EditorBox::OtherTypes, QStringLiteral("Other types"), false);
    checksGrid->addWidget(otherBox, 1, 3);
    typesGrid->addWidget(checks, 0, 1, 2, 1);
    layout->addWidget(types);
    addPart(PanelPart::SaveFileTypes, types);
    addPart(PanelPart::TypeCheckBoxes, checks);
    addPart(PanelPart::OtherTypesBox, otherBox);

    auto *extras = new QHBoxLayout;
    m_dateTime = check(QStringLiteral("File date time"));
    m_size = check(QStringLiteral("File size"));
    extras->addWidget(m_dateTime);
    extras->addWidget(m_size);
    extras->addStretch();
    layout->addLayout(extras);
    addPart(PanelPart::SaveFileDateTime, m_dateTime);
    addPart(PanelPart::SaveFileSize, m_size);
    layout->addStretch();

    onSwitched(m_subfoldersAndFiles, SubModeControl::SaveSubfoldersAndFilenames);
    onSwitched(m_onlySubfolders, SubModeControl::SaveOnlySubfolders);
    onSwitched(all, SubModeControl::SaveAllFilenames);
    addSwitchState(SubModeControl::FileTypes, true);
    addSwitchState(SubModeControl::FileTypes, false);
    for (QRadioButton *b : {allTypes, m_specialTypes}) {
        connect(b, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                applySwitch(SubModeControl::FileTypes, m_specialTypes->isChecked());
        });
    }
    onSwitched(m_other, SubModeControl::OtherTypes);
    applyVisibility(SubModeControl::SaveSubfoldersAndFilenames);
    applyVisibility(SubModeControl::FileTypes, false);
    applyVisibility(SubModeControl::OtherTypes, false);
}

void SavePanel::fill(EditRequest &) const {}

void SavePanel::fillChoices(ExportChoices &c) const
{
    using Content = ExportChoices::Content;
    c.content = m_subfoldersAndFiles->isChecked() ? Content::SubfoldersAndFilenames
        : m_onlySubfolders->isChecked()           ? Content::OnlySubfolders
                                                  : Content::AllFilenames;
    c.includeWebpageFolder = m_webpage->isChecked();
    c.specialTypes = m_specialTypes->isChecked();
    c.music = m_music->isChecked();
    c.document = m_document->isChecked();
    c.film = m_film->isChecked();
    c.picture = m_picture->isChecked();
    c.program = m_program->isChecked();
    c.other = m_other->isChecked();
    c.otherTypes = fromQt(boxText(EditorBox::OtherTypes));
    c.fileSize = m_size->isChecked();
    c.fileDateTime = m_dateTime->isChecked();
}

} // namespace renomiq
