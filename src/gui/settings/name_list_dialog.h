#pragma once

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace renomiq {

struct AppState;

// The name list editor: "Newname.txt" as plain text.
class TForm8 : public QDialog {
    Q_OBJECT

public:
    explicit TForm8(AppState &state, QWidget *parent = nullptr);

    // "Edit": loads the file (when there is one) and shows the editor modally.
    void editList();
    void save();
    void clearText();

    QPlainTextEdit *textArea() const { return m_text; }

Q_SIGNALS:
    // "Save" changed the new-name list maximum.
    void maximumChanged();

protected:
    void done(int result) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    AppState &m_state;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_close = nullptr;
    QWidget *m_bar = nullptr;
    bool m_saved = true;
};

} // namespace renomiq
