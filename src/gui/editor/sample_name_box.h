#pragma once

#include "editor/sample_positions.h"

#include <QLineEdit>

#include <optional>
#include <string>

class QMenu;

namespace renomiq {

class Clipboard;

// The sample name display: one read-only line whose selection and caret are
// read as byte positions of the UTF-8 name. The mouse (or Shift and the arrow
// keys) marks a part; a press picks a position; marking copies the text into
// the copy target box while automatic copy is on.
class SampleNameBox : public QLineEdit {
    Q_OBJECT

public:
    SampleNameBox(Clipboard &clipboard, bool &autoCopy, QWidget *parent = nullptr);

    // The name as bytes; the display shows it as text.
    void setName(const std::string &name, const std::string &hint);
    const std::string &name() const { return m_name; }

    ByteSelection byteSelection() const;
    std::string selectedBytes() const;
    // The caret as a byte offset (0-based).
    int caretByte() const;
    void clearSelection();
    bool mouseHeld() const { return m_mouseHeld; }

    // The pop-up menu as it would open now (the caller owns it).
    QMenu *createMenu();

Q_SIGNALS:
    // A mouse press: the caret (byte offset) after it.
    void positionPicked(int caretByte);
    // The marked text while automatic copy is on (mouse held, or Shift and
    // the arrow keys).
    void autoCopyRequested(const QString &selected);
    void okRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void copyIfMarking();
    void keepMarkedPart();

    struct Mark {
        int start = 0;
        int length = 0;
        bool caretAtStart = false;
    };

    Clipboard &m_clipboard;
    bool &m_autoCopy;
    std::string m_name;
    bool m_mouseHeld = false;
    std::optional<Mark> m_marked;
    // The user works in the box: a dropped selection is theirs to drop.
    bool m_userActing = false;
};

} // namespace renomiq
