#include "editor/sample_name_box.h"

#include "platform/clipboard.h"
#include "services/qt_text.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScopedValueRollback>

namespace renomiq {

SampleNameBox::SampleNameBox(Clipboard &clipboard, bool &autoCopy, QWidget *parent)
    : QLineEdit(parent), m_clipboard(clipboard), m_autoCopy(autoCopy)
{
    setObjectName(QStringLiteral("sampleName"));
    setReadOnly(true);
    setFrame(false);
    setAccessibleName(QStringLiteral("One old filename"));
    const QString hint = QStringLiteral("This is convenient for your editing, select or copy part.  ");
    setToolTip(hint);
    setAccessibleDescription(hint);
    connect(this, &QLineEdit::selectionChanged, this, &SampleNameBox::keepMarkedPart);
}

void SampleNameBox::keepMarkedPart()
{
    if (hasSelectedText()) {
        m_marked = {selectionStart(), selectionLength(), cursorPosition() == selectionStart()};
        return;
    }
    // Only the user, working in the box, unmarks the part. A line edit drops
    // its selection with the focus, and again later when its window goes
    // inactive (the preview opening); the marked part must stay for the
    // buttons, the boxes and the windows the user goes on to.
    if (hasFocus() || m_userActing || !m_marked) {
        m_marked.reset();
        return;
    }
    const Mark mark = *m_marked;
    if (mark.caretAtStart)
        setSelection(mark.start + mark.length, -mark.length);
    else
        setSelection(mark.start, mark.length);
}

void SampleNameBox::setName(const std::string &name, const std::string &hint)
{
    m_name = name;
    m_marked.reset();
    setText(toQt(name));
    setCursorPosition(0);
    const QString tip = hint.empty() ? QStringLiteral("This is convenient for your editing, select or copy part.  ")
                                     : toQt(hint);
    setToolTip(tip);
    setAccessibleDescription(tip);
}

ByteSelection SampleNameBox::byteSelection() const
{
    if (!hasSelectedText())
        return {byteOffsetOfUnit(m_name, cursorPosition()), 0};
    return byteSelectionOf(m_name, selectionStart(), selectionLength());
}

std::string SampleNameBox::selectedBytes() const
{
    const ByteSelection s = byteSelection();
    return m_name.substr(static_cast<std::size_t>(s.start), static_cast<std::size_t>(s.length));
}

int SampleNameBox::caretByte() const
{
    return byteOffsetOfUnit(m_name, hasSelectedText() ? selectionStart() : cursorPosition());
}

void SampleNameBox::clearSelection()
{
    m_marked.reset();
    if (hasSelectedText())
        setCursorPosition(selectionStart());
}

QMenu *SampleNameBox::createMenu()
{
    auto *menu = new QMenu(this);
    QAction *copy = menu->addAction(QStringLiteral("Copy(&C)"));
    copy->setEnabled(hasSelectedText());
    connect(copy, &QAction::triggered, this, [this] { m_clipboard.setText(selectedBytes()); });
    QAction *all = menu->addAction(QStringLiteral("Select All(&A)"));
    all->setEnabled(selectedText() != text());
    connect(all, &QAction::triggered, this, &QLineEdit::selectAll);
    QAction *flip = menu->addAction(m_autoCopy ? QStringLiteral("Disable auto copy")
                                               : QStringLiteral("Enable auto copy"));
    connect(flip, &QAction::triggered, this, [this] { m_autoCopy = !m_autoCopy; });
    return menu;
}

void SampleNameBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void SampleNameBox::mousePressEvent(QMouseEvent *event)
{
    {
        const QScopedValueRollback acting(m_userActing, true);
        QLineEdit::mousePressEvent(event);
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_mouseHeld = true;
    Q_EMIT positionPicked(caretByte());
}

void SampleNameBox::mouseMoveEvent(QMouseEvent *event)
{
    {
        const QScopedValueRollback acting(m_userActing, true);
        QLineEdit::mouseMoveEvent(event);
    }
    if (m_mouseHeld)
        copyIfMarking();
}

void SampleNameBox::mouseReleaseEvent(QMouseEvent *event)
{
    {
        const QScopedValueRollback acting(m_userActing, true);
        QLineEdit::mouseReleaseEvent(event);
    }
    m_mouseHeld = false;
}

void SampleNameBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT okRequested();
        event->accept();
        return;
    }
    {
        const QScopedValueRollback acting(m_userActing, true);
        QLineEdit::keyPressEvent(event);
    }
    const bool moves = event->key() == Qt::Key_Left || event->key() == Qt::Key_Right
        || event->key() == Qt::Key_Home || event->key() == Qt::Key_End;
    if (!moves)
        return;
    // The keyboard picks a position and marks a part as the mouse does.
    if (event->modifiers() & Qt::ShiftModifier)
        copyIfMarking();
    else
        Q_EMIT positionPicked(caretByte());
}

void SampleNameBox::copyIfMarking()
{
    if (m_autoCopy && hasSelectedText())
        Q_EMIT autoCopyRequested(toQt(selectedBytes()));
}

} // namespace renomiq
