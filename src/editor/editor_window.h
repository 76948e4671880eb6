#pragma once

#include "run/operation_check.h"
#include "run/operation_check.h"
#include "run/run_windows.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace renomiq {

struct AppState;
class EditorHost;
class EditorPanel;
class LivePreviewPane;
class RunDriver;
class SampleNameBox;
class SavePanel;
class TForm3;
class TForm6;

// The editor window: sets up one edit of the current targets in the panel of
// its kind and runs or previews it.
class TForm1 : public QWidget, public EditorWindow {
    Q_OBJECT

public:
    explicit TForm1(AppState &state, QWidget *parent = nullptr);
    ~TForm1() override;

    void setRunContext(RunWindows &windows, RunDriver &driver);
    void setHost(EditorHost *host) { m_host = host; }
    void setSpecialStringDialog(TForm3 *dialog) { m_special = dialog; }
    // The preview's "Rename" performs OK here; its list menu's "Show On" shows
    // a row's name in the sample display.
    void attachPreview(TForm6 &preview);

    // EditorWindow
    void showEditor() override;
    void hideEditor() override;
    void closeEditor() override;

    // The actions of the bottom bar.
    void okAction();
    // The save panel's choices as they stand (they are kept between showings).
    ExportChoices exportChoices() const;
    void previewAction();

    // The inputs as the controls stand now.
    EditorInputs inputs() const;

    // Parts for the tests and the preview's menu.
    SampleNameBox *sampleName() const { return m_sample; }
    EditorPanel *panel(EditKind kind) const;
    EditorPanel *currentPanel() const;
    QComboBox *scopeList() const { return m_scope; }
    QPushButton *button(const QString &caption) const;
    QLabel *targetLabel() const { return m_targetLabel; }
    QLabel *targetDescription() const { return m_targetDescription; }
    QWidget *scopeArea() const { return m_scopeArea; }
    int cursorPosition() const { return m_cursorPosition; }
    int copyTarget() const { return m_copyTarget; }
    LivePreviewPane *livePreview() const { return m_livePreview; }
    // "Show On": the sample display shows the name of a preview row's old text.
    void showOnSample(const std::string &oldText);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPushButton *addButton(const QString &caption, const QString &hint);
    void connectPanel(EditorPanel *panel);
    void setupEditKind();
    void fitPanelArea();
    void showSample(const std::string &itemPath, bool isFolder);
    void scopeChosen(int index);
    void setScopeIndex(int index);
    void focusTimerFired();
    void focusBox(EditorBox box);
    void autoCopy(const QString &text);
    void insertSpecial(QComboBox *box);
    void runCloseHandling();
    bool focusInControl() const;
    void refreshHistory();

    AppState &m_state;
    RunWindows *m_windows = nullptr;
    RunDriver *m_driver = nullptr;
    EditorHost *m_host = nullptr;
    TForm3 *m_special = nullptr;
    SampleNameBox *m_sample = nullptr;
    QLabel *m_targetLabel = nullptr;
    QLabel *m_targetDescription = nullptr;
    QWidget *m_scopeArea = nullptr;
    QComboBox *m_scope = nullptr;
    QStackedWidget *m_panels = nullptr;
    std::array<EditorPanel *, 6> m_panelOf{};
    SavePanel *m_savePanel = nullptr;
    LivePreviewPane *m_livePreview = nullptr;
    QList<QPushButton *> m_buttons;
    QTimer *m_focusTimer = nullptr;
    int m_cursorPosition = 0;
    int m_copyTarget = 1;
    bool m_open = false;
    // An OK action is under way (a run processes window messages as it goes).
    bool m_acting = false;
};

} // namespace renomiq
