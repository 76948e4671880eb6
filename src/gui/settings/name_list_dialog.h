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

    // Called after "Save" changed the new-name list maximum.
    void setMaximumChangedHandler(std::function<void()> handler) { m_maximumChanged = std::move(handler); }

    // "Edit": loads the file (when there is one) and shows the editor modally.
    void editList();
    void save();
    void clearText();

    QPlainTextEdit *textArea() const { return m_text; }

protected:
    void done(int result) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    AppState &m_state;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_close = nullptr;
    QWidget *m_bar = nullptr;
    bool m_saved = true;
    std::function<void()> m_maximumChanged;
};

} // namespace renomiq
