#pragma once

#include "editor/operation_check.h"
#include "run/window_set.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;

namespace renomiq {

struct AppState;
class EditorPanel;
class LivePreviewPane;
class RunDriver;
class SampleNameBox;
class SavePanel;
class TForm3;
class TForm6;

// The editor window's push buttons, along its bottom.
enum class EditorButton { OK, Select, Options, Preview, Help, Exit };

// The editor window: sets up one edit of the current targets in the panel of
// its kind and runs or previews it.
class TForm1 : public QWidget, public EditorWindow {
    Q_OBJECT

public:
    explicit TForm1(AppState &state, QWidget *parent = nullptr);
    ~TForm1() override;

    void setRunContext(WindowSet &windows, RunDriver &driver);
    // The special string dialog, the editor's own.
    TForm3 &specialStringDialog() const { return *m_special; }

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
    QPushButton *button(EditorButton which) const;
    QLabel *targetLabel() const { return m_targetLabel; }
    QLabel *targetDescription() const { return m_targetDescription; }
    QWidget *scopeArea() const { return m_scopeArea; }
    int cursorPosition() const { return m_cursorPosition; }
    int copyTarget() const { return m_copyTarget; }
    LivePreviewPane *livePreview() const { return m_livePreview; }
    // "Show On": the sample display shows the name of a preview row's old text.
    void showOnSample(const std::string &oldText);

Q_SIGNALS:
    // "Options": the options dialog (on its preview tab, or the tab last shown).
    void optionsRequested(bool previewTab);
    // The editor opened and closed: the list window's status timer waits meanwhile.
    void statusTimerStopRequested();
    void statusTimerStartRequested();
    // Started straight into the editor: the options loaded, the folder shown
    // in the folder box.
    void handOffShowing(const std::string &targetFolder);
    // Started straight into the editor, on its close: the list window back at
    // its remembered top, and shown.
    void listWindowAgainRequested();
    // Started straight into the editor, closed without a run: the folder box.
    void folderBoxTextChosen(const std::string &folder);

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
    // OK, or Preview: the checks, then the run, the preview or the export.
    void act(bool preview);
    bool focusInControl() const;
    void refreshHistory();

    AppState &m_state;
    WindowSet *m_windows = nullptr;
    RunDriver *m_driver = nullptr;
    TForm3 *m_special = nullptr;
    SampleNameBox *m_sample = nullptr;
    QLabel *m_targetLabel = nullptr;
    QLabel *m_targetDescription = nullptr;
    QWidget *m_scopeArea = nullptr;
    QComboBox *m_scope = nullptr;
    QStackedWidget *m_panels = nullptr;
    std::array<EditorPanel *, 6> m_panelOf{};
    SavePanel *m_savePanel = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_selectButton = nullptr;
    QPushButton *m_optionsButton = nullptr;
    QPushButton *m_previewButton = nullptr;
    QPushButton *m_helpButton = nullptr;
    QPushButton *m_exitButton = nullptr;
    LivePreviewPane *m_livePreview = nullptr;
    QTimer *m_focusTimer = nullptr;
    int m_cursorPosition = 0;
    int m_copyTarget = 1;
    bool m_open = false;
    // An OK action is under way (a run processes window messages as it goes).
    bool m_acting = false;
};

} // namespace renomiq
