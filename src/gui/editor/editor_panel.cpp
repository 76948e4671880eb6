#include "editor/editor_panel.h"

#include "editor/auto_copy.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <vector>

namespace renomiq {

void boldChosen(QButtonGroup *group)
{
    for (QAbstractButton *b : group->buttons()) {
        QFont font = b->font();
        font.setBold(b->isChecked());
        b->setFont(font);
    }
}

EditorPanel::EditorPanel(QWidget *parent) : QWidget(parent) {}

QButtonGroup *EditorPanel::radioGroup()
{
    auto *group = new QButtonGroup(this);
    connect(group, &QButtonGroup::buttonToggled, this, [group] { boldChosen(group); });
    return group;
}

QRadioButton *EditorPanel::radio(QButtonGroup *group, const QString &caption, bool checked)
{
    auto *b = new QRadioButton(caption, this);
    b->setAccessibleName(caption.trimmed());
    group->addButton(b);
    b->setChecked(checked);
    boldChosen(group);
    return b;
}

QCheckBox *EditorPanel::check(const QString &caption, bool checked, const QString &name)
{
    auto *b = new QCheckBox(caption, this);
    b->setAccessibleName(name.isEmpty() ? caption.trimmed() : name);
    b->setChecked(checked);
    return b;
}

QLabel *EditorPanel::label(const QString &caption)
{
    auto *l = new QLabel(caption, this);
    l->setAccessibleName(caption.trimmed());
    return l;
}

QPushButton *EditorPanel::button(const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, this);
    b->setAccessibleName(caption.trimmed());
    if (!hint.isEmpty()) {
        b->setToolTip(hint);
        b->setAccessibleDescription(hint);
    }
    b->setAutoDefault(false);
    return b;
}

QLineEdit *EditorPanel::lineBox(EditorBox id, const QString &name, bool enterIsOk)
{
    auto *e = new QLineEdit(this);
    e->setAccessibleName(name);
    m_boxes[id] = e;
    if (enterIsOk)
        connect(e, &QLineEdit::returnPressed, this, &EditorPanel::okRequested);
    e->installEventFilter(this);
    e->setProperty("editorBox", static_cast<int>(id));
    return e;
}

QComboBox *EditorPanel::newStringBox(EditorBox id, const QString &name)
{
    auto *c = new QComboBox(this);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    c->setAccessibleName(name);
    c->lineEdit()->setAccessibleName(name);
    c->setMaxVisibleItems(20);
    m_boxes[id] = c;
    m_historyBoxes.push_back(c);
    connect(c->lineEdit(), &QLineEdit::returnPressed, this, &EditorPanel::okRequested);
    c->lineEdit()->installEventFilter(this);
    // The box, not its edit field, is told when the key focus leaves it.
    c->installEventFilter(this);
    return c;
}

QPushButton *EditorPanel::specialButton(QComboBox *box, const QString &name, const QString &caption)
{
    QPushButton *b = button(caption, QStringLiteral("Numbers, date and disordered string"));
    b->setAccessibleName(name);
    // A click leaves the key focus, and so the selection, in the box.
    b->setFocusPolicy(Qt::TabFocus);
    connect(b, &QPushButton::clicked, this, [this, box] { Q_EMIT specialRequested(box); });
    return b;
}

QWidget *EditorPanel::directionRow(QRadioButton *&fromHead)
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(20, 0, 0, 0);
    QButtonGroup *group = radioGroup();
    fromHead = radio(group, QStringLiteral("From Head"), true);
    layout->addWidget(label(QStringLiteral("Direction:")));
    layout->addWidget(fromHead);
    layout->addWidget(radio(group, QStringLiteral("From End")));
    layout->addStretch();
    return row;
}

QWidget *EditorPanel::box(EditorBox id) const
{
    const auto it = m_boxes.find(id);
    return it == m_boxes.end() ? nullptr : it->second;
}

QString EditorPanel::boxText(EditorBox id) const
{
    QWidget *w = box(id);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentText();
    return {};
}

void EditorPanel::setBoxText(EditorBox id, const QString &text)
{
    QWidget *w = box(id);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setText(text);
    else if (auto *c = qobject_cast<QComboBox *>(w))
        c->setEditText(text);
}

void EditorPanel::focusBox(EditorBox id)
{
    QWidget *w = box(id);
    if (!w || !w->isVisibleTo(window()))
        return;
    w->setFocus(Qt::OtherFocusReason);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->selectAll();
    else if (auto *c = qobject_cast<QComboBox *>(w))
        c->lineEdit()->selectAll();
    const int code = copyTargetOf(id);
    if (code != NoCopyTarget)
        Q_EMIT copyTargetFocused(code);
}

QSize EditorPanel::largestSizeHint()
{
    // Every sub-mode, down to the sub-modes within sub-modes, as up to three
    // switches in turn from the state the panel is in.
    std::vector<std::pair<QWidget *, bool>> shown;
    for (const auto &[part, widget] : m_parts)
        shown.emplace_back(widget, !widget->isHidden());
    const auto restore = [&] {
        for (const auto &[widget, visible] : shown)
            widget->setVisible(visible);
    };
    const auto measure = [this] {
        for (QLayout *l : findChildren<QLayout *>())
            l->invalidate();
        return layout()->totalSizeHint();
    };
    QSize largest = measure();
    for (const auto &[first, firstOn] : m_switches) {
        for (const auto &[second, secondOn] : m_switches) {
            for (const auto &[third, thirdOn] : m_switches) {
                applyVisibility(first, firstOn);
                applyVisibility(second, secondOn);
                applyVisibility(third, thirdOn);
                largest = largest.expandedTo(measure());
                restore();
            }
        }
    }
    measure();
    return largest;
}

void EditorPanel::addPart(PanelPart part, QWidget *widget)
{
    m_parts.emplace(part, widget);
}

void EditorPanel::applyVisibility(SubModeControl control, bool on)
{
    const SubModeSwitch s = subModeSwitch(control, on);
    for (PanelPart p : s.hides) {
        for (auto [it, end] = m_parts.equal_range(p); it != end; ++it)
            it->second->setVisible(false);
    }
    for (PanelPart p : s.shows) {
        for (auto [it, end] = m_parts.equal_range(p); it != end; ++it)
            it->second->setVisible(true);
    }
}

void EditorPanel::applySwitch(SubModeControl control, bool on)
{
    applyVisibility(control, on);
    const SubModeSwitch s = subModeSwitch(control, on);
    if (s.focus != EditorBox::None)
        focusBox(s.focus);
    if (s.clearsSelection)
        Q_EMIT selectionCleared();
}

void EditorPanel::onSwitched(QAbstractButton *button, SubModeControl control)
{
    // The checked state drives the switch, so that a screen reader's "Toggle"
    // (which checks the button without a click) shows the panel it chose. A
    // radio button reacts to being chosen; its neighbour's unchecking is the
    // same switch seen from the other side.
    const bool radio = button->autoExclusive() || (button->group() && button->group()->exclusive());
    m_switches.emplace_back(control, true);
    if (!radio)
        m_switches.emplace_back(control, false);
    connect(button, &QAbstractButton::toggled, this, [this, control, radio](bool checked) {
        if (checked || !radio)
            applySwitch(control, checked);
    });
    // A click on the chosen button changes nothing but still re-evaluates
    // its group, as every click does.
    connect(button, &QAbstractButton::pressed, button,
            [button] { button->setProperty("checkedAtPress", button->isChecked()); });
    connect(button, &QAbstractButton::clicked, this, [this, button, control] {
        if (button->property("checkedAtPress").toBool() == button->isChecked())
            applySwitch(control, button->isChecked());
    });
}

bool EditorPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        // A line edit drops its selection with the focus; the special string
        // goes where the selection was.
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (auto *box = qobject_cast<QComboBox *>(watched))
            edit = box->lineEdit();
        if (edit) {
            edit->setProperty("savedSelectionStart", edit->hasSelectedText() ? edit->selectionStart() : 0);
            edit->setProperty("savedSelectionLength", edit->selectionLength());
            edit->setProperty("savedCursor", edit->cursorPosition());
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const QVariant id = watched->property("editorBox");
        if (id.isValid()) {
            const auto box = static_cast<EditorBox>(id.toInt());
            const int code = copyTargetOf(box);
            if (code != NoCopyTarget || box == EditorBox::ExistingString || box == EditorBox::OldString
                || box == EditorBox::OldExtension)
                Q_EMIT copyTargetPressed(code);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace renomiq
