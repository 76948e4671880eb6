#pragma once

#include "editor/editor_panel.h"

class QCheckBox;
class QRadioButton;

namespace renomiq {

// "Edit Extention part": change, remove or add the extension, or its case.
class ExtensionPanel : public EditorPanel {
    Q_OBJECT

public:
    explicit ExtensionPanel(QWidget *parent = nullptr);

    void fill(EditRequest &request) const override;
    EditorBox initialFocus() const override;

private:
    QRadioButton *m_change = nullptr;
    QCheckBox *m_replaceAll = nullptr;
    QRadioButton *m_lower = nullptr;
};

} // namespace renomiq
