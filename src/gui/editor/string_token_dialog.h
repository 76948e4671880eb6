#pragma once

#include "settings/number_box.h"

#include <QDialog>

#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace renomiq {

struct EditRequest;
struct Platform;

// The special string dialog: composes a special string for one of the
// editor's new-string boxes, and holds the run-wide settings of the tokens.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    explicit TForm3(Platform &platform, QWidget *parent = nullptr);

    // Shows the dialog modally; returns its result code (SpecialStringCode).
    int execute();
    int resultCode() const { return m_code; }
    // The text a result code inserts into a box; empty for nothing.
    std::string textFor(int code, std::size_t workListEntries) const;

    // The settings the token expansion reads.
    void fill(EditRequest &request) const;

    NumberBox *beginWith() const { return m_begin; }
    QRadioButton *dateButton(int index) const { return m_dates[static_cast<std::size_t>(index)]; }
    QComboBox *metadataTokens() const { return m_metadataTokens; }
    QLineEdit *metadataFormat() const { return m_metadataFormat; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void accept() override;
    void done(int result) override;
    void classToggled(QCheckBox *box, bool checked);
    void metadataTokenChosen(int index);

    Platform &m_platform;
    int m_code = 99;
    bool m_savedUse = true;
    int m_savedBegin = 1;
    bool m_savedTakenOrder = false;
    QCheckBox *m_use = nullptr;
    QRadioButton *m_ordered = nullptr;
    QRadioButton *m_today = nullptr;
    QRadioButton *m_fileDate = nullptr;
    QRadioButton *m_fileSize = nullptr;
    QRadioButton *m_folderName = nullptr;
    QRadioButton *m_disordered = nullptr;
    NumberBox *m_begin = nullptr;
    QCheckBox *m_takenOrder = nullptr;
    QRadioButton *m_metadata = nullptr;
    QComboBox *m_metadataTokens = nullptr;
    QLineEdit *m_metadataFormat = nullptr;
    // The format box's text of "taken" and of "track", kept while the other
    // tokens are chosen; the token shown last.
    QString m_takenFormat;
    QString m_trackDigits;
    int m_shownToken = 0;
    std::array<QRadioButton *, 6> m_dates{};
    QCheckBox *m_upper = nullptr;
    QCheckBox *m_lower = nullptr;
    QCheckBox *m_numbers = nullptr;
};

} // namespace renomiq
