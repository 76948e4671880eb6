#pragma once

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace renomiq {

struct Platform;
class NameHistory;
class SettingsStore;

// The name list editor: "Newname.txt" as plain text.
class TForm8 : public QDialog {
    Q_OBJECT

public:
    TForm8(NameHistory &names, SettingsStore &settings, Platform &platform, QWidget *parent = nullptr);

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
    NameHistory &m_names;
    SettingsStore &m_settings;
    Platform &m_platform;
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_close = nullptr;
    QWidget *m_bar = nullptr;
    bool m_saved = true;
};

} // namespace renomiq
