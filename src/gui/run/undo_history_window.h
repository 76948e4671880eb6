#pragma once

#include "run/undo_history.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace renomiq {

struct AppState;
class RunDriver;

// "Undo history": the operations kept for undo, the newest first, and the
// undo of the one chosen (the newest unless another is chosen). An older one
// that a newer one shares items with is refused until that one is undone.
class UndoHistoryWindow : public QDialog {
    Q_OBJECT

public:
    UndoHistoryWindow(AppState &state, RunDriver &driver, QWidget *parent = nullptr);

    // Lists the kept operations again and shows the window.
    void showHistory();
    // Lists the kept operations again; the newest is chosen.
    void reload();
    // "Undo": the chosen operation.
    void undoChosen();

    QTreeWidget *list() const { return m_list; }
    QPushButton *undoButton() const { return m_undo; }
    QPushButton *closeButton() const { return m_close; }
    QLabel *heading() const { return m_heading; }
    const std::vector<HistoryEntry> &entries() const { return m_entries; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    AppState &m_state;
    RunDriver &m_driver;
    std::vector<HistoryEntry> m_entries;
    QLabel *m_heading = nullptr;
    QTreeWidget *m_list = nullptr;
    QPushButton *m_undo = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace renomiq
