#pragma once

#include "editor/editor_panel.h"

class QCheckBox;
class QRadioButton;

namespace renomiq {

// "Replace string": replace a string, or the part picked with the mouse.
class ReplacePanel : public EditorPanel {
    Q_OBJECT

public:
    explicit ReplacePanel(QWidget *parent = nullptr);

    void fill(EditRequest &request) const override;
    EditorBox initialFocus() const override;

private:
    QRadioButton *m_replaceString = nullptr;
    QRadioButton *m_replaceLength = nullptr;
    QRadioButton *m_fromHead = nullptr;
    QCheckBox *m_caseSensitive = nullptr;
    QCheckBox *m_onlyLeftest = nullptr;
    QCheckBox *m_regex = nullptr;
    QWidget *m_direction = nullptr;
};

} // namespace renomiq
