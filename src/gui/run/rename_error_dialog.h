#pragma once

#include "run/window_set.h"

#include <QDialog>

class QCheckBox;
class QLabel;

namespace renomiq {


// The rename error dialog: one failed rename, with the choice to see no more
// of them until the program ends.
class TForm11 : public QDialog, public RenameErrorWindow {
    Q_OBJECT

public:
    explicit TForm11(QWidget *parent = nullptr);

    void showRenameError(const std::string &oldPath, const std::string &newPath,
                         const std::string &reason) override;

    QCheckBox *doNotDisplay() const { return m_doNotDisplay; }
    QLabel *oldNameLabel() const { return m_oldName; }
    QLabel *newNameLabel() const { return m_newName; }
    QLabel *reasonLabel() const { return m_reason; }

private:
    QLabel *m_oldName = nullptr;
    QLabel *m_newName = nullptr;
    QLabel *m_reason = nullptr;
    QCheckBox *m_doNotDisplay = nullptr;
};

} // namespace renomiq
