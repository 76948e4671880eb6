#pragma once

#include "editor/operation_check.h"
#include "editor/sub_mode_switch.h"

#include <QWidget>

#include <map>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace renomiq {

struct EditRequest;

// One operation panel of the editor window: its controls, their sub-mode
// switches and the request fields they fill.
class EditorPanel : public QWidget {
    Q_OBJECT

public:
    explicit EditorPanel(QWidget *parent = nullptr);

    // Writes the panel's sub-modes and texts into the request.
    virtual void fill(EditRequest &request) const = 0;
    // The box the focus timer puts the key focus into; None leaves it.
    virtual EditorBox initialFocus() const = 0;

    // The widget of a box (a line edit or an editable combined box), or null.
    QWidget *box(EditorBox id) const;
    QString boxText(EditorBox id) const;
    void setBoxText(EditorBox id, const QString &text);
    // Puts the key focus into a box and selects its text.
    void focusBox(EditorBox id);
    // The size the panel asks for with every part of every sub-mode shown.
    QSize largestSizeHint();

    // The new-string boxes of this panel, which list the name history.
    const std::vector<QComboBox *> &historyBoxes() const { return m_historyBoxes; }

Q_SIGNALS:
    // A sub-mode switch that clears the sample name's selection.
    void selectionCleared();
    // The mouse was pressed in a box of the copy-target table (its code).
    void copyTargetPressed(int code);
    // The window focused a box of that table (its code).
    void copyTargetFocused(int code);
    // Enter in a box that acts as "OK".
    void okRequested();
    // A "Special" button: the special string dialog for its box.
    void specialRequested(QComboBox *box);

protected:
    QRadioButton *radio(QButtonGroup *group, const QString &caption, bool checked = false);
    QButtonGroup *radioGroup();
    QCheckBox *check(const QString &caption, bool checked = false, const QString &name = {});
    QLabel *label(const QString &caption);
    QLineEdit *lineBox(EditorBox id, const QString &name, bool enterIsOk);
    QComboBox *newStringBox(EditorBox id, const QString &name);
    QPushButton *specialButton(QComboBox *box, const QString &name, const QString &caption = QStringLiteral("Special"));
    QPushButton *button(const QString &caption, const QString &hint = {});
    // A "Direction:" row with "From Head" (chosen) and "From End".
    QWidget *directionRow(QRadioButton *&fromHead);

    void addPart(PanelPart part, QWidget *widget);
    // A switch made by the panel's own wiring rather than by onSwitched.
    void addSwitchState(SubModeControl control, bool on) { m_switches.emplace_back(control, on); }
    // Shows and hides the parts of a switch, focuses its box and, when the
    // switch says so, clears the sample selection.
    void applySwitch(SubModeControl control, bool on = true);
    // Shows only the parts a current state calls for, without focus or clearing.
    void applyVisibility(SubModeControl control, bool on = true);
    // Runs the switch of `control` whenever the button's checked state changes
    // (by a click, a key or an accessibility action) or it is clicked again.
    void onSwitched(QAbstractButton *button, SubModeControl control);

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::map<EditorBox, QWidget *> m_boxes;
    std::multimap<PanelPart, QWidget *> m_parts;
    // Every switch the panel's buttons make, as chosen and (for a check box) unticked.
    std::vector<std::pair<SubModeControl, bool>> m_switches;
    std::vector<QComboBox *> m_historyBoxes;
};

// Draws the chosen button's caption of a group bold, the others regular.
void boldChosen(QButtonGroup *group);

} // namespace renomiq
