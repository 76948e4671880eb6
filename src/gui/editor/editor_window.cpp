#include "editor/editor_window.h"

#include "editor/auto_copy.h"
#include "editor/change_panel.h"
#include "editor/editor_texts.h"
#include "editor/help_topics.h"
#include "editor/extension_panel.h"
#include "editor/insert_panel.h"
#include "editor/live_preview_pane.h"
#include "editor/remove_panel.h"
#include "editor/replace_panel.h"
#include "editor/sample_name_box.h"
#include "editor/save_panel.h"
#include "editor/string_token_dialog.h"
#include "engine/item_path.h"
#include "platform/file_system.h"
#include "platform/help.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "services/qt_text.h"
#include "services/window_role.h"
#include "state/app_state.h"
#include "run/preview_window.h"
#include "run/run_driver.h"
#include "targets/file_list.h"
#include "targets/folder_walks.h"
#include "run/name_export.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace renomiq {

namespace {

int panelIndex(EditKind kind)
{
    switch (kind) {
    case EditKind::Removpart: return 0;
    case EditKind::Replapart: return 1;
    case EditKind::Addnewnum: return 2;
    case EditKind::Changnew: return 3;
    case EditKind::Changexten: return 4;
    default: return 5;
    }
}

} // namespace

TForm1::TForm1(AppState &state, QWidget *parent) : QWidget(parent, Qt::Window), m_state(state)
{
    setObjectName(QStringLiteral("TForm1"));
    announceAsWindows();
    setWindowTitle(toQt(editorCaption(EditKind::Removpart)));
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(8, 6, 8, 6);

    // Header: the sample name and the target.
    auto *sampleLabel = new QLabel(QStringLiteral("One old filename:"), this);
    sampleLabel->setAccessibleName(QStringLiteral("One old filename:"));
    layout->addWidget(sampleLabel);
    m_sample = new SampleNameBox(state.platform.clipboard, state.settings.options.autoCopy, this);
    m_sample->setMinimumWidth(500);
    QPalette palette = m_sample->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_sample->setPalette(palette);
    layout->addWidget(m_sample);
    auto *targetRow = new QHBoxLayout;
    m_targetLabel = new QLabel(QStringLiteral("Target folder, "), this);
    m_targetLabel->setAccessibleDescription(QStringLiteral("Target"));
    m_targetDescription = new QLabel(this);
    // A value label: its text is its name; the description says what it is.
    m_targetDescription->setAccessibleDescription(QStringLiteral("Target description"));
    targetRow->addWidget(m_targetLabel);
    targetRow->addWidget(m_targetDescription, 1);
    layout->addLayout(targetRow);

    // Folder content area.
    m_scopeArea = new QWidget(this);
    auto *scopeRow = new QHBoxLayout(m_scopeArea);
    scopeRow->setContentsMargins(0, 0, 0, 0);
    auto *scopeLabel = new QLabel(QStringLiteral("Folder content to edit:"), m_scopeArea);
    scopeLabel->setAccessibleName(QStringLiteral("Folder content to edit:"));
    m_scope = new QComboBox(m_scopeArea);
    m_scope->addItems({QStringLiteral("Filenames in this folder(ONE layer)"),
                       QStringLiteral("All filenames in subfolder(ALL layers)"),
                       QStringLiteral("Only subfolders name(without files)"), QStringLiteral("Only this folder name")});
    m_scope->setAccessibleName(QStringLiteral("Folder content to edit:"));
    const QString scopeHint = QStringLiteral("You can select a kind of contents to edit.");
    m_scope->setToolTip(scopeHint);
    m_scope->setAccessibleDescription(scopeHint);
    scopeLabel->setBuddy(m_scope);
    scopeRow->addWidget(scopeLabel);
    scopeRow->addWidget(m_scope, 1);
    // Hidden for a list of files or the save kind, it keeps its room.
    QSizePolicy scopePolicy = m_scopeArea->sizePolicy();
    scopePolicy.setRetainSizeWhenHidden(true);
    m_scopeArea->setSizePolicy(scopePolicy);
    layout->addWidget(m_scopeArea);
    layout->addSpacing(3);
    connect(m_scope, &QComboBox::activated, this, &TForm1::scopeChosen);

    // The six operation panels, one shown at a time.
    m_panelOf = {new RemovePanel(this), new ReplacePanel(this), new InsertPanel(this),
                 new ChangePanel(this), new ExtensionPanel(this), nullptr};
    m_savePanel = new SavePanel(this);
    m_panelOf[5] = m_savePanel;
    for (EditorPanel *p : m_panelOf) {
        layout->addWidget(p);
        p->hide();
        connectPanel(p);
    }
    m_panelOf[0]->show();

    // Bottom bar.
    auto *bar = new QHBoxLayout;
    m_okButton = addButton(QStringLiteral("OK"), QStringLiteral("Finish edit and execute operations."));
    m_selectButton =
        addButton(QStringLiteral("Select"), QStringLiteral("Select files or folder to batch edit filenames."));
    m_optionsButton = addButton(QStringLiteral("Options"), QStringLiteral("Set options"));
    m_previewButton = addButton(QStringLiteral("Preview"), QStringLiteral("Preview the result"));
    m_helpButton = addButton(QStringLiteral(" Help"), QStringLiteral("Read help "));
    m_exitButton = addButton(QStringLiteral("Exit"), QStringLiteral("Close the window"));
    for (QPushButton *b : {m_okButton, m_selectButton, m_optionsButton, m_previewButton, m_helpButton, m_exitButton})
        bar->addWidget(b);
    layout->addLayout(bar);

    connect(m_okButton, &QPushButton::clicked, this, &TForm1::okAction);
    connect(m_previewButton, &QPushButton::clicked, this, &TForm1::previewAction);
    connect(m_selectButton, &QPushButton::clicked, this, &QWidget::close);
    connect(m_optionsButton, &QPushButton::clicked, this, [this] { Q_EMIT optionsRequested(false); });
    connect(m_helpButton, &QPushButton::clicked, this,
            [this] { m_state.platform.help.showTopic(HelpTopics::forEditKind(m_state.editKind)); });
    connect(m_exitButton, &QPushButton::clicked, this, [this] {
        if (m_state.handOffMode && m_windows) {
            hide();
            m_windows->closeListWindow();
        } else {
            close();
        }
    });

    connect(m_sample, &SampleNameBox::okRequested, this, &TForm1::okAction);
    connect(m_sample, &SampleNameBox::autoCopyRequested, this, &TForm1::autoCopy);
    connect(m_sample, &SampleNameBox::positionPicked, this, [this](int caretByte) {
        auto *insert = static_cast<InsertPanel *>(m_panelOf[2]);
        if (m_state.editKind == EditKind::Addnewnum && insert->insertToPosition())
            m_cursorPosition = caretByte + 1;
    });

    // Its own dialog, owned as a child.
    m_special = new TForm3(state.platform, this);

    m_focusTimer = new QTimer(this);
    m_focusTimer->setSingleShot(true);
    m_focusTimer->setInterval(100);
    connect(m_focusTimer, &QTimer::timeout, this, &TForm1::focusTimerFired);

    m_state.names.setChangeNotification([this] { refreshHistory(); });
    refreshHistory();

    // Below everything: the first rows of what OK would do, as the inputs change.
    m_livePreview = new LivePreviewPane(state, this);
    layout->addWidget(m_livePreview);
    m_livePreview->setInputs([this] { return inputs(); });
    m_livePreview->watch(this);
}

TForm1::~TForm1()
{
    m_state.names.setChangeNotification({});
}

void TForm1::setRunContext(WindowSet &windows, RunDriver &driver)
{
    m_windows = &windows;
    m_driver = &driver;
}

QPushButton *TForm1::addButton(const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(caption.trimmed());
    b->setAccessibleName(caption.trimmed());
    b->setToolTip(hint);
    b->setAccessibleDescription(hint);
    b->setAutoDefault(false);
    return b;
}

QPushButton *TForm1::button(EditorButton which) const
{
    switch (which) {
    case EditorButton::OK:
        return m_okButton;
    case EditorButton::Select:
        return m_selectButton;
    case EditorButton::Options:
        return m_optionsButton;
    case EditorButton::Preview:
        return m_previewButton;
    case EditorButton::Help:
        return m_helpButton;
    case EditorButton::Exit:
        return m_exitButton;
    }
    return nullptr;
}

EditorPanel *TForm1::panel(EditKind kind) const
{
    return m_panelOf[static_cast<std::size_t>(panelIndex(kind))];
}

EditorPanel *TForm1::currentPanel() const
{
    return panel(m_state.editKind);
}

void TForm1::connectPanel(EditorPanel *p)
{
    connect(p, &EditorPanel::selectionCleared, this, [this] { m_sample->clearSelection(); });
    connect(p, &EditorPanel::copyTargetPressed, this, [this](int code) {
        m_copyTarget = code;
        m_sample->clearSelection();
    });
    connect(p, &EditorPanel::copyTargetFocused, this, [this](int code) { m_copyTarget = code; });
    connect(p, &EditorPanel::okRequested, this, &TForm1::okAction);
    connect(p, &EditorPanel::specialRequested, this, &TForm1::insertSpecial);
}

void TForm1::refreshHistory()
{
    QStringList entries;
    for (const std::string &e : m_state.names.entries())
        entries.append(toQt(e));
    for (EditorPanel *p : m_panelOf) {
        for (QComboBox *box : p->historyBoxes()) {
            const QString text = box->currentText();
            const QSignalBlocker block(box);
            box->clear();
            box->addItems(entries);
            box->setCurrentIndex(-1);
            box->setEditText(text);
        }
    }
}

void TForm1::showEditor()
{
    RunState &run = m_state.run;
    TargetSet &targets = m_state.targets;
    Q_EMIT statusTimerStopRequested();
    run.operationRan = false;
    run.previewBatchEntries.reset();

    if (targets.targetFolder.size() < 2) {
        targets.filesMode = true;
        targets.targetFolder.clear();
    } else {
        targets.targetFolder = withTrailingBackslash(targets.targetFolder);
        targets.filesMode = false;
    }
    QPushButton *exit = m_exitButton;
    const QString exitHint =
        m_state.handOffMode ? QStringLiteral("Close the program") : QStringLiteral("Close the window");
    exit->setToolTip(exitHint);
    exit->setAccessibleDescription(exitHint);
    if (m_state.handOffMode)
        Q_EMIT handOffShowing(targets.targetFolder);
    setScopeIndex(static_cast<int>(targets.folderScope));

    m_state.names.load();
    refreshHistory();
    setupEditKind();
    setWindowTitle(toQt(editorCaption(m_state.editKind)));
    m_open = true;
    show();
    raise();
    activateWindow();
    m_focusTimer->start();
}

void TForm1::setupEditKind()
{
    const TargetSet &targets = m_state.targets;
    const EditKind kind = m_state.editKind;
    if (targets.filesMode) {
        m_targetLabel->setText(QStringLiteral("Target file(s),"));
        m_targetDescription->setText(toQt(filesDescription(m_state.run.workList.size())));
        m_targetDescription->setToolTip({});
        m_scopeArea->hide();
    } else {
        m_targetLabel->setText(QStringLiteral("Target folder, "));
        m_targetDescription->setText(toQt(renomiq::targetDescription(targets.targetFolder)));
        m_targetDescription->setToolTip(toQt(targets.targetFolder));
        m_scopeArea->setVisible(kind != EditKind::Savealls);
    }

    const bool thisFolder = !targets.filesMode && targets.folderScope == FolderScope::ThisFolderOnly;
    const std::string sample = thisFolder ? targets.targetFolder : targets.sampleItem;
    // A folder's name part is its whole name: a folder row picked as the
    // sample is never split at a dot.
    const bool isFolder = thisFolder || (!targets.filesMode && targets.folderScope == FolderScope::OnlySubfolders)
        || (!sample.empty() && m_state.platform.fileSystem.folderExists(sample));
    showSample(sample, isFolder);

    fitPanelArea();
    for (EditorPanel *p : m_panelOf)
        p->setVisible(p == currentPanel());
    if (kind == EditKind::Changexten) {
        const std::string extension = splitItemPath(sample, isFolder).extensionPart;
        currentPanel()->setBoxText(EditorBox::OldExtension, toQt(extension.empty() ? extension : extension.substr(1)));
    }
    m_previewButton->setEnabled(kind != EditKind::Savealls);
}

void TForm1::fitPanelArea()
{
    // One size for every kind and sub-mode: the window does not jump while
    // the user switches, and the largest panel fits.
    QSize area;
    for (EditorPanel *p : m_panelOf)
        area = area.expandedTo(p->largestSizeHint());
    for (EditorPanel *p : m_panelOf)
        p->setMinimumSize(area);
}

void TForm1::showSample(const std::string &itemPath, bool isFolder)
{
    const EditKind kind = m_state.editKind;
    const bool whole = kind == EditKind::Changexten || kind == EditKind::Savealls;
    m_sample->setName(itemPath.empty() ? std::string() : sampleDisplayName(itemPath, isFolder, whole), itemPath);
}

void TForm1::setScopeIndex(int index)
{
    const QSignalBlocker block(m_scope);
    m_scope->setCurrentIndex(index);
    m_state.targets.folderScope = static_cast<FolderScope>(index);
}

void TForm1::scopeChosen(int index)
{
    TargetSet &targets = m_state.targets;
    FileSystem &fs = m_state.platform.fileSystem;
    setScopeIndex(index);
    std::string found = checkTargets(m_state);
    if (found.empty()) {
        if (index == static_cast<int>(FolderScope::OneLayer)) {
            setScopeIndex(static_cast<int>(FolderScope::AllLayers));
            found = findFirstSubfolder(fs, targets, targets.targetFolder);
            if (found.empty())
                setScopeIndex(static_cast<int>(FolderScope::ThisFolderOnly));
        } else if (index == static_cast<int>(FolderScope::OnlySubfolders)) {
            setScopeIndex(static_cast<int>(FolderScope::ThisFolderOnly));
        }
    }
    if (targets.folderScope == FolderScope::ThisFolderOnly) {
        found = targets.targetFolder;
        if (found.size() <= 3) {
            m_state.platform.prompter.information("Can not rename root directory !");
            setScopeIndex(static_cast<int>(FolderScope::OneLayer));
            found = checkTargets(m_state);
        }
    }
    if (!found.empty())
        targets.sampleItem = found;
    const bool isFolder = targets.folderScope == FolderScope::OnlySubfolders
        || targets.folderScope == FolderScope::ThisFolderOnly || (!found.empty() && fs.folderExists(found));
    showSample(found, isFolder);
}

void TForm1::focusTimerFired()
{
    if (EditorPanel *p = currentPanel())
        p->focusBox(p->initialFocus());
}

void TForm1::focusBox(EditorBox box)
{
    if (EditorPanel *p = currentPanel())
        p->focusBox(box);
}

EditorInputs TForm1::inputs() const
{
    EditorInputs in;
    EditRequest &r = in.request;
    const Options &options = m_state.settings.options;
    r.kind = m_state.editKind;
    r.folderScope = m_state.targets.folderScope;
    r.sampleName = m_sample->name();
    const ByteSelection selection = m_sample->byteSelection();
    r.selectionStart = selection.start;
    r.selectionLength = selection.length;
    r.cursorPosition = m_cursorPosition;
    if (EditorPanel *p = currentPanel())
        p->fill(r);
    if (m_special)
        m_special->fill(r);
    r.excludeSmallWords = options.excludeSmallWords;
    r.previewLimit = options.previewLimit;
    in.scopeCaption = fromQt(m_scope->currentText());
    in.selectedText = m_sample->selectedBytes();
    in.cursorPicked = m_cursorPosition > 0;
    if (m_state.editKind == EditKind::Savealls)
        m_savePanel->fillChoices(in.save);
    return in;
}

void TForm1::okAction()
{
    act(false);
}

void TForm1::act(bool preview)
{
    // A key or click that reaches the window while its run is going on must
    // not start a second run inside the first.
    if (!m_driver || !m_windows || m_acting)
        return;
    m_acting = true;
    EditorInputs in = inputs();
    in.request.preview = preview;
    const CheckResult result = checkAndStart(m_state, in);
    // The normalised new extension shows in its box, even when the run is refused.
    if (in.normalisedNewExtension)
        currentPanel()->setBoxText(EditorBox::NewExtension, toQt(*in.normalisedNewExtension));
    switch (result.action) {
    case CheckResult::Stop:
        focusBox(result.focus);
        break;
    case CheckResult::Run:
        // Both extensions show with their leading dot once the run goes ahead.
        if (in.request.kind == EditKind::Changexten && in.request.extensionMode == ExtensionMode::Change) {
            currentPanel()->setBoxText(EditorBox::OldExtension, toQt(in.request.oldExtension));
            currentPanel()->setBoxText(EditorBox::NewExtension, toQt(in.request.newExtension));
        }
        m_driver->startRun(in.request);
        break;
    case CheckResult::Export:
        NameExporter(m_state, *m_windows, m_windows).exportNames(in.save);
        break;
    }
    m_acting = false;
}

void TForm1::previewAction()
{
    if (!m_windows || m_acting)
        return;
    m_windows->clearPreview();
    act(true);
}

void TForm1::autoCopy(const QString &text)
{
    EditorPanel *p = currentPanel();
    if (!p)
        return;
    EditRequest modes;
    modes.kind = m_state.editKind;
    p->fill(modes);
    const EditorBox box = autoCopyBox(modes, m_copyTarget);
    if (box != EditorBox::None)
        p->setBoxText(box, text);
}

void TForm1::insertSpecial(QComboBox *box)
{
    if (!m_special)
        return;
    QLineEdit *edit = box->lineEdit();
    // The selection as it stands, or as the box had it when it lost the focus.
    int start = edit->cursorPosition();
    int length = 0;
    if (edit->hasSelectedText()) {
        start = edit->selectionStart();
        length = edit->selectionLength();
    } else if (!edit->hasFocus() && edit->property("savedCursor").isValid()) {
        length = edit->property("savedSelectionLength").toInt();
        start = length > 0 ? edit->property("savedSelectionStart").toInt() : edit->property("savedCursor").toInt();
    }
    const int code = m_special->execute();
    // The width of ordered numbers follows the batch of the last preview, or the work list.
    const RunState &run = m_state.run;
    const std::string text = m_special->textFor(code, run.previewBatchEntries.value_or(run.workList.size()));
    if (text.empty())
        return;
    if (length > 0)
        edit->setSelection(start, length);
    else
        edit->setCursorPosition(start);
    edit->insert(toQt(text));
    box->setFocus();
}

void TForm1::showOnSample(const std::string &oldText)
{
    const std::string name = lastComponentOf(oldText);
    const bool isFolder = m_state.targets.folderScope == FolderScope::OnlySubfolders
        || m_state.targets.folderScope == FolderScope::ThisFolderOnly
        || m_state.platform.fileSystem.folderExists(oldText);
    m_sample->setName(isFolder ? name : splitItemPath(name, false).namePart, oldText);
}

void TForm1::hideEditor()
{
    hide();
}

ExportChoices TForm1::exportChoices() const
{
    ExportChoices choices;
    m_savePanel->fillChoices(choices);
    return choices;
}

void TForm1::closeEditor()
{
    runCloseHandling();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    runCloseHandling();
    event->accept();
}

void TForm1::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        // Esc goes back to the list window only when the window itself has
        // the key focus: from any of its controls it closes nothing.
        if (!focusInControl())
            close();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        m_state.platform.help.showTopic(HelpTopics::forEditKind(m_state.editKind));
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TForm1::focusInControl() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && focus != this && isAncestorOf(focus);
}

void TForm1::runCloseHandling()
{
    if (!m_open) {
        hide();
        return;
    }
    m_open = false;
    m_focusTimer->stop();
    const bool handOff = m_state.handOffMode;
    if (handOff)
        Q_EMIT listWindowAgainRequested();
    hide();
    QApplication::processEvents();
    if (!m_state.run.operationRan && handOff && m_windows) {
        if (!m_state.targets.filesMode) {
            Q_EMIT folderBoxTextChosen(m_state.targets.targetFolder);
        } else {
            for (const std::string &path : m_state.run.workList)
                m_windows->fileList().addFileRow(path);
        }
    }
    if (m_driver)
        m_driver->reportEditorClosed();
    m_state.editKind = EditKind::Browsefile;
    m_sample->setName({}, {});
    m_targetLabel->setText(QStringLiteral("Target folder,"));
    m_cursorPosition = 0;
    Q_EMIT statusTimerStartRequested();
}

} // namespace renomiq
