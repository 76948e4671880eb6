#pragma once

#include <QDialog>

class QRadioButton;

namespace renomiq {


// The "Folder" button's question: edit the folder as a whole, or add the
// files directly inside it to the list.
class TForm9 : public QDialog {
    Q_OBJECT

public:
    enum Choice { Cancelled = 0, ChooseFolder = 1, AddFiles = 2 };

    explicit TForm9(QWidget *parent = nullptr);

    // Shows the dialog modally; the chosen button is kept from one showing to the next.
    Choice ask();
    Choice choice() const { return m_choice; }

    QRadioButton *chooseFolderButton() const { return m_chooseFolder; }
    QRadioButton *addFilesButton() const { return m_addFiles; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finish();
    void updateBold();

    QRadioButton *m_chooseFolder = nullptr;
    QRadioButton *m_addFiles = nullptr;
    Choice m_choice = Cancelled;
};

} // namespace renomiq
