#pragma once

#include "editor/editor_panel.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace renomiq {

// "Insert string": insert at the head, the end or a picked position, or
// before, behind or between existing strings.
class InsertPanel : public EditorPanel {
    Q_OBJECT

public:
    explicit InsertPanel(QWidget *parent = nullptr);

    void fill(EditRequest &request) const override;
    EditorBox initialFocus() const override;

    bool insertToPosition() const;

private:
    QWidget *createPositionGroup();
    QWidget *createStringGroup();

    QRadioButton *m_toPosition = nullptr;
    QRadioButton *m_toString = nullptr;
    QCheckBox *m_head = nullptr;
    QCheckBox *m_end = nullptr;
    QCheckBox *m_cursor = nullptr;
    QRadioButton *m_cursorFromHead = nullptr;
    QComboBox *m_placement = nullptr;
};

} // namespace renomiq
