#pragma once

#include "editor/editor_panel.h"
#include "targets/export_choices.h"

class QCheckBox;
class QRadioButton;

namespace renomiq {

// "Save filenames": what the name-list export writes.
class SavePanel : public EditorPanel {
    Q_OBJECT

public:
    explicit SavePanel(QWidget *parent = nullptr);

    void fill(EditRequest &request) const override;
    EditorBox initialFocus() const override { return EditorBox::None; }
    void fillChoices(ExportChoices &choices) const;

private:
    QRadioButton *m_subfoldersAndFiles = nullptr;
    QRadioButton *m_onlySubfolders = nullptr;
    QCheckBox *m_webpage = nullptr;
    QRadioButton *m_specialTypes = nullptr;
    QCheckBox *m_music = nullptr;
    QCheckBox *m_document = nullptr;
    QCheckBox *m_film = nullptr;
    QCheckBox *m_picture = nullptr;
    QCheckBox *m_program = nullptr;
    QCheckBox *m_other = nullptr;
    QCheckBox *m_dateTime = nullptr;
    QCheckBox *m_size = nullptr;
};

} // namespace renomiq
