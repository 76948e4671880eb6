#pragma once

#include "editor/editor_panel.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace renomiq {

// "Remove string": remove strings, a part picked with the mouse or between two
// strings, clean symbols, or keep a part and remove the rest.
class RemovePanel : public EditorPanel {
    Q_OBJECT

public:
    explicit RemovePanel(QWidget *parent = nullptr);

    void fill(EditRequest &request) const override;
    EditorBox initialFocus() const override;

private:
    QWidget *createStringsGroup();
    QWidget *createAnythingGroup();
    QWidget *createCleanGroup();
    QWidget *createKeepGroup();

    QButtonGroup *m_mode = nullptr;
    QRadioButton *m_removeStrings = nullptr;
    QRadioButton *m_removeAnything = nullptr;
    QRadioButton *m_cleanSymbols = nullptr;
    QRadioButton *m_keepSomething = nullptr;
    QCheckBox *m_caseSensitive = nullptr;
    QCheckBox *m_onlyLeftest = nullptr;
    QRadioButton *m_selectedPart = nullptr;
    QRadioButton *m_betweenStrings = nullptr;
    QRadioButton *m_removeFromHead = nullptr;
    QCheckBox *m_alsoRemoveTwo = nullptr;
    QCheckBox *m_replaceWithSpace = nullptr;
    QCheckBox *m_alsoErase = nullptr;
    QCheckBox *m_keepDash = nullptr;
    QCheckBox *m_keepParentheses = nullptr;
    QCheckBox *m_keepBrackets = nullptr;
    QCheckBox *m_keepUnderscore = nullptr;
    QCheckBox *m_keepOthers = nullptr;
    QRadioButton *m_keepSelectedPart = nullptr;
    QRadioButton *m_keepStrings = nullptr;
    QRadioButton *m_keepFromHead = nullptr;
    QCheckBox *m_keepOnlyLeftest = nullptr;
};

} // namespace renomiq
