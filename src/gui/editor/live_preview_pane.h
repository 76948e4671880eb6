#pragma once

#include "run/live_preview.h"
#include "editor/operation_check.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QTimer;
class QTreeWidget;

namespace renomiq {

struct AppState;

// The editor's live preview: the first rows of what OK would do, old name and
// new name, brought up to date shortly after every change of the editor's
// inputs. It renames nothing and asks nothing: a check that would ask or
// refuse shows its text in the pane. The rows are computed on a thread of
// their own; a change cancels the computation under way.
class LivePreviewPane : public QWidget {
    Q_OBJECT

public:
    explicit LivePreviewPane(AppState &state, QWidget *parent = nullptr);
    ~LivePreviewPane() override;

    // What the editor's controls stand at, read at each update.
    void setInputs(std::function<EditorInputs()> inputs) { m_inputs = std::move(inputs); }
    // Every control under root that takes input brings the rows up to date.
    void watch(QWidget *root);
    // An update soon (the changes of one moment make one update).
    void scheduleUpdate();
    // The targets may have changed on disk: they are read again.
    void forgetTargets();

    bool isOn() const;
    QCheckBox *toggle() const { return m_toggle; }
    QTreeWidget *rows() const { return m_rows; }
    QLabel *message() const { return m_message; }
    // The time the last rows took to compute (milliseconds).
    double lastMilliseconds() const { return m_lastMilliseconds; }

    static constexpr int kRowLimit = 20;
    static constexpr int kDelayMs = 15;

Q_SIGNALS:
    // New rows (or a message) are shown.
    void updated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void update();
    void showMessage(const QString &text);
    void showResult(std::uint64_t generation, const LivePreviewResult &result);
    void switchedOn(bool on);

    AppState &m_state;
    std::function<EditorInputs()> m_inputs;
    QCheckBox *m_toggle = nullptr;
    QWidget *m_body = nullptr;
    QTreeWidget *m_rows = nullptr;
    QLabel *m_message = nullptr;
    QTimer *m_timer = nullptr;
    std::uint64_t m_generation = 0;
    double m_lastMilliseconds = 0;
    std::unique_ptr<LivePreviewWorker> m_worker;
};

} // namespace renomiq
