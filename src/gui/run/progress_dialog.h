#pragma once

#include "run/window_set.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace renomiq {

class Prompter;

// The progress dialog: runs a long job inside its modal loop, shows the names
// being processed and a bar, and lets the user stop the job between items.
class TForm5 : public QDialog, public ProgressWindow {
    Q_OBJECT

public:
    explicit TForm5(Prompter &prompter, QWidget *parent = nullptr);

    // ProgressWindow
    void runWithProgress(const std::function<void()> &job) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    int progressPosition() const override { return m_position; }
    void setProgressNames(const std::string &oldName, const std::string &newName) override;
    void showSearchPanel(bool shown) override;
    void processEvents() override;
    void setBusy(bool busy) override;

    QProgressBar *bar() const { return m_bar; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLabel *oldNameLabel() const { return m_oldName; }
    QLabel *newNameLabel() const { return m_newName; }
    QLabel *searchPanel() const { return m_search; }
    bool jobRunning() const { return m_running; }
    // How often the bar and names were drawn during the last job.
    int repaints() const { return m_repaints; }

Q_SIGNALS:
    // "Cancel" confirmed: the run is to stop before its next item.
    void cancelRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void runJob();
    void askCancel();
    void drawProgress();

    Prompter &m_prompter;
    std::function<void()> m_job;
    bool m_started = false;
    bool m_running = false;
    bool m_busy = false;
    bool m_dirty = false;
    int m_maximum = 100;
    int m_position = 0;
    int m_repaints = 0;
    QString m_pendingOld;
    QString m_pendingNew;
    QElapsedTimer m_sincePump;
    QElapsedTimer m_sinceDraw;
    QLabel *m_oldName = nullptr;
    QLabel *m_newName = nullptr;
    QLabel *m_search = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace renomiq
