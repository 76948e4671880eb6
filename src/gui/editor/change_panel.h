#pragma once

#include "editor/editor_panel.h"

class QCheckBox;
class QRadioButton;

namespace renomiq {

// "Change to new name": a whole new name, or the case of the whole name.
class ChangePanel : public EditorPanel {
    Q_OBJECT

public:
    explicit ChangePanel(QWidget *parent = nullptr);

    void fill(EditRequest &request) const override;
    EditorBox initialFocus() const override;

private:
    QRadioButton *m_newName = nullptr;
    QRadioButton *m_convertCase = nullptr;
    QRadioButton *m_lower = nullptr;
    QRadioButton *m_upper = nullptr;
    QCheckBox *m_capitalizeFirst = nullptr;
    QCheckBox *m_includeExtension = nullptr;
};

} // namespace renomiq
