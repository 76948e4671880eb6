#include "list/list_window.h"

#include "platform/file_system.h"
#include "platform/help.h"
#include "platform/platform.h"
#include "services/qt_text.h"
#include "state/app_state.h"
#include "run/undo_log.h"
#include "list/folder_add_dialog.h"
#include "list/rename_dialog.h"
#include "editor/operation_check.h"
#include "targets/list_rules.h"
#include "list/list_window_model.h"
#include "run/name_export.h"
#include "run/start_up.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace renomiq {

namespace {

// The width a push button needs to show its whole caption in its font, as
// its style draws it: the text inside the style's margins and frame. (The
// style's own size hint also adds a floor of its own, which the designed
// narrow buttons do without.)
int captionWidth(const QPushButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    const QSize text = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
    return button.style()->sizeFromContents(QStyle::CT_PushButton, &option, text, &button).width();
}

} // namespace

TForm4::TForm4(AppState &state, QWidget *parent)
    : QMainWindow(parent),
      m_state(state),
      m_controller({state.platform.fileSystem, state.platform.prompter, state.targets, state.editKind,
                    state.handOffMode, state.run.workList, [this] { return checkTargets(m_state); }})
{
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Renomiq "));
    m_rename = new TForm2(state.platform, state.engine, state.settings, this);
    m_folderAdd = new TForm9(this);
    setAccessibleName(QStringLiteral("Renomiq"));

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(6, 6, 6, 2);
    createButtons(grid);

    auto *content = new QVBoxLayout;
    auto *heading = new QLabel(QStringLiteral("Select a folder to edit all its included file names together"));
    heading->setObjectName(QStringLiteral("headingLabel"));
    content->addWidget(heading);
    createFolderRow(content);
    createFileList(content);
    grid->addLayout(content, 1, 1);
    m_guidePanel->raise(); // over the list, now that both have their parent
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    setCentralWidget(central);

    createStatusBar();
    setKeyboardOrder();
    resize(601, 475);
    setAcceptDrops(true);
    createTimers();
    createMenus();
    wireButtons();
}

void TForm4::createButtons(QGridLayout *grid)
{
    // The column of target buttons on the left.
    auto *leftColumn = new QVBoxLayout;
    m_folderButton = addButton(QStringLiteral("Folder"), QStringLiteral("Select a folder to edit included filenames "));
    m_filesButton = addButton(QStringLiteral("Files"), QStringLiteral("Select files to edit their filenames "));
    m_deleteButton = addButton(QStringLiteral("Delete"), QStringLiteral("Remove the selected files"));
    m_optionsButton = addButton(QStringLiteral("Options"), QStringLiteral("Change options"));
    m_helpButton = addButton(QStringLiteral(" Help"), QStringLiteral("Read help "));
    QPushButton *const left[] = {m_folderButton, m_filesButton, m_deleteButton, m_optionsButton, m_helpButton};
    // One width for the column: the designed 70 pixels, or the widest caption.
    int leftWidth = 70;
    for (const QPushButton *b : left)
        leftWidth = std::max(leftWidth, captionWidth(*b));
    for (QPushButton *b : left) {
        b->setFixedWidth(leftWidth);
        leftColumn->addWidget(b);
    }
    leftColumn->addStretch();
    m_deleteButton->setEnabled(false);
    grid->addLayout(leftColumn, 1, 0);

    // The edit buttons along the top.
    auto *editRow = new QHBoxLayout;
    editRow->setSpacing(2);
    m_removeButton = addButton(QStringLiteral("Remove"), QStringLiteral("Remove strings from filenames"));
    m_replaceButton =
        addButton(QStringLiteral("Replace"), QStringLiteral("Replace old part of filenames with a new part"));
    m_insertButton = addButton(QStringLiteral("Insert"), QStringLiteral("Insert strings or numbers to filenames"));
    m_changeButton = addButton(QStringLiteral("Change"), QStringLiteral("Change filename to new or convert case"));
    m_extensionButton = addButton(QStringLiteral("Extension"), QStringLiteral("Change file extension part"));
    m_saveButton = addButton(QStringLiteral("Save"), QStringLiteral("Save filenames to a text file"));
    m_undoButton = addButton(QStringLiteral("Undo"), QStringLiteral("Undo the last operation"));
    m_exitButton = addButton(QStringLiteral("Exit"), QStringLiteral("Exit the program"));
    for (QPushButton *b : {m_removeButton, m_replaceButton, m_insertButton, m_changeButton, m_extensionButton,
                           m_saveButton, m_undoButton, m_exitButton}) {
        // Eight buttons share the designed width; they narrow to fit it, but
        // never below their captions in the system font (an ignored size
        // hint would let the layout lay a wide caption under its neighbour).
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        b->setMinimumWidth(std::max(62, captionWidth(*b)));
        editRow->addWidget(b);
    }
    grid->addLayout(editRow, 0, 1);
}

void TForm4::createFolderRow(QVBoxLayout *content)
{
    auto *folderRow = new QHBoxLayout;
    m_modeLabel = new QLabel(QStringLiteral("OR"));
    m_modeLabel->setObjectName(QStringLiteral("orLabel"));
    content->addWidget(m_modeLabel);
    m_folderBox = new QComboBox;
    m_folderBox->setObjectName(QStringLiteral("folderBox"));
    m_folderBox->setAccessibleName(QStringLiteral("Folder"));
    m_folderBox->setToolTip(QStringLiteral("Type a folder and press Enter, or pick a folder edited before"));
    m_folderBox->setAccessibleDescription(m_folderBox->toolTip());
    m_folderBox->setEditable(true);
    m_folderBox->setCompleter(nullptr);
    m_folderBox->setInsertPolicy(QComboBox::NoInsert);
    m_folderBox->setMaxVisibleItems(15);
    m_folderBox->lineEdit()->setAccessibleName(QStringLiteral("Folder"));
    m_folderBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    folderRow->addWidget(m_folderBox);
    m_upperDirectory = new QToolButton;
    m_upperDirectory->setObjectName(QStringLiteral("upperDirectory"));
    m_upperDirectory->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    m_upperDirectory->setToolTip(QStringLiteral("Upper directory"));
    m_upperDirectory->setAccessibleName(QStringLiteral("Upper directory"));
    folderRow->addWidget(m_upperDirectory);
    m_checkSettings = new QToolButton;
    m_checkSettings->setObjectName(QStringLiteral("checkSettings"));
    m_checkSettings->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    m_checkSettings->setToolTip(QStringLiteral("File list Check Settings"));
    m_checkSettings->setAccessibleName(QStringLiteral("File list Check Settings"));
    m_checkSettings->hide();
    folderRow->addWidget(m_checkSettings);
    content->addLayout(folderRow);
}

void TForm4::createFileList(QVBoxLayout *content)
{
    // The file list, with the guide panel over it while it is empty.
    m_model = new FileListModel(this);
    m_fileList = new QTableView;
    m_fileList->setObjectName(QStringLiteral("fileList"));
    m_fileList->setAccessibleName(QStringLiteral("File list"));
    m_fileList->setModel(m_model);
    m_fileList->horizontalHeader()->hide();
    m_fileList->horizontalHeader()->setStretchLastSection(true);
    m_fileList->verticalHeader()->hide();
    m_fileList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_fileList->verticalHeader()->setDefaultSectionSize(m_fileList->fontMetrics().height() + 4);
    m_fileList->setShowGrid(true);
    m_fileList->setWordWrap(false);
    m_fileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_fileList->setTabKeyNavigation(false);
    m_fileList->installEventFilter(this);
    auto *listArea = new QStackedLayout;
    listArea->setStackingMode(QStackedLayout::StackAll);
    listArea->addWidget(createGuidePanel());
    listArea->addWidget(m_fileList);
    content->addLayout(listArea, 1);
}

void TForm4::createStatusBar()
{
    const char *statusNames[] = {"List count", "Last operation"};
    for (int i = 0; i < 2; ++i) {
        m_status[i] = new QLabel;
        m_status[i]->setObjectName(QStringLiteral("statusPanel%1").arg(i));
        // The panel's text is its accessible name; what it shows is its description.
        m_status[i]->setAccessibleDescription(QString::fromLatin1(statusNames[i]));
        statusBar()->addWidget(m_status[i], i == 0 ? 0 : 1);
    }
    m_status[0]->setMinimumWidth(180);
}

void TForm4::setKeyboardOrder()
{
    // The target buttons, the folder box and its buttons, the guide's link
    // while the guide shows, the list, then the edit buttons.
    QWidget *order[] = {m_folderButton,  m_filesButton,    m_deleteButton,  m_optionsButton,   m_helpButton,
                        m_folderBox,     m_upperDirectory, m_checkSettings, m_guideLink,       m_fileList,
                        m_removeButton,  m_replaceButton,  m_insertButton,  m_changeButton,    m_extensionButton,
                        m_saveButton,    m_undoButton,     m_exitButton};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void TForm4::createTimers()
{
    m_statusTimer = new QTimer(this);
    m_statusTimer->setInterval(200);
    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(10);
    m_handOffTimer = new QTimer(this);
    m_handOffTimer->setSingleShot(true);
    m_handOffTimer->setInterval(100);
    m_closeTimer = new QTimer(this);
    m_closeTimer->setInterval(1000);
    connect(m_statusTimer, &QTimer::timeout, this, &TForm4::statusTimerTick);
    connect(m_pollTimer, &QTimer::timeout, this, &TForm4::pollTimerTick);
    connect(m_handOffTimer, &QTimer::timeout, this, &TForm4::handOffTimerTick);
    connect(m_closeTimer, &QTimer::timeout, this, &TForm4::closeListWindow);
}

TForm4::~TForm4() = default;

void TForm4::setRunContext(WindowSet &windows, RunDriver &driver)
{
    m_windows = &windows;
    m_driver = &driver;
}

ExportChoices TForm4::exportChoices()
{
    ExportChoices choices;
    Q_EMIT exportChoicesWanted(&choices);
    return choices;
}

QPushButton *TForm4::addButton(const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(caption.trimmed() + QStringLiteral("Button"));
    b->setToolTip(hint);
    b->setAccessibleName(caption.trimmed());
    b->setAccessibleDescription(hint);
    return b;
}

QWidget *TForm4::createGuidePanel()
{
    m_guidePanel = new QFrame;
    m_guidePanel->setObjectName(QStringLiteral("guidePanel"));
    m_guidePanel->setAccessibleName(QStringLiteral("Guide"));
    m_guidePanel->setFrameShape(QFrame::StyledPanel);
    m_guidePanel->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(m_guidePanel);
    layout->addStretch();
    layout->addWidget(new QLabel(QStringLiteral(
        "1, Click 'Folder' button to select a folder OR click 'Files' button to select some files firstly.")));
    auto *link = new QLabel(QStringLiteral("<a href=\"guide\">See more guide </a>"));
    m_guideLink = link;
    link->setObjectName(QStringLiteral("guideLink"));
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link, &QLabel::linkActivated, this, [this] { m_state.platform.help.showTopic("How to use.htm"); });
    // Reached by Tab, the one link opens with Enter or Space.
    link->installEventFilter(this);
    layout->addWidget(link);
    layout->addWidget(new QLabel(QStringLiteral("2, Then choose a kind of editing to continue")));
    layout->addWidget(new QLabel(QStringLiteral("3,  Set more conditions  and preview or click OK to rename")));
    layout->addStretch();
    for (QLabel *label : m_guidePanel->findChildren<QLabel *>()) {
        label->setWordWrap(true);
        label->setAccessibleName(label == link ? QStringLiteral("See more guide ") : label->text());
    }
    return m_guidePanel;
}

QPushButton *TForm4::button(ListButton which) const
{
    switch (which) {
    case ListButton::Folder:
        return m_folderButton;
    case ListButton::Files:
        return m_filesButton;
    case ListButton::Delete:
        return m_deleteButton;
    case ListButton::Options:
        return m_optionsButton;
    case ListButton::Help:
        return m_helpButton;
    case ListButton::Remove:
        return m_removeButton;
    case ListButton::Replace:
        return m_replaceButton;
    case ListButton::Insert:
        return m_insertButton;
    case ListButton::Change:
        return m_changeButton;
    case ListButton::Extension:
        return m_extensionButton;
    case ListButton::Save:
        return m_saveButton;
    case ListButton::Undo:
        return m_undoButton;
    case ListButton::Exit:
        return m_exitButton;
    }
    return nullptr;
}

QLabel *TForm4::statusPanel(int index) const
{
    return m_status[index];
}

// --- start-up and timers ----------------------------------------------------

namespace {

// A stored place that no screen shows whole (a monitor gone, another scale)
// is moved onto the nearest screen's free area, shrunk to it if need be.
void placeOnScreen(QWidget &window)
{
    const QRect placed(window.pos(), window.size());
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().contains(placed))
            return;
    }
    const QScreen *target = QGuiApplication::screenAt(placed.center());
    if (!target)
        target = QGuiApplication::primaryScreen();
    if (!target)
        return;
    const QRect area = target->availableGeometry();
    window.resize(placed.size().boundedTo(area.size()));
    // The window may not shrink below its minimum; the top left stays on screen.
    const QSize size = window.size().expandedTo(window.minimumSizeHint());
    const int left = std::max(area.left(), std::min(placed.left(), area.right() + 1 - size.width()));
    const int top = std::max(area.top(), std::min(placed.top(), area.bottom() + 1 - size.height()));
    window.move(left, top);
}

} // namespace

void TForm4::startUp(const std::optional<std::string> &keyword)
{
    const QRect screen = QApplication::primaryScreen() ? QApplication::primaryScreen()->availableGeometry()
                                                       : QRect(0, 0, 1024, 768);
    // Designed: centred on the desktop.
    WindowGeometry designed{screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2,
                            width(), height(), false};
    const WindowGeometry g = m_state.settings.loadWindowPlacement(designed, screen.height());
    m_maximizeOnShow = g.maximized;
    if (!g.maximized) {
        resize(g.width, g.height);
        move(g.left, g.top);
    }
    placeOnScreen(*this);
    m_rememberedTop = m_state.settings.rememberedTop().value_or(g.top);

    const StartUpPlan plan = planStartUp(m_state, keyword);
    if (plan.handOff) {
        m_guidePanel->hide();
        move(x(), screen.height() + 200);
    }
    if (plan.showList) {
        show();
        startStatusTimer();
    }
    if (plan.handOffTimer)
        m_handOffTimer->start();
    if (plan.closeSoon)
        m_closeTimer->start();
}

void TForm4::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_maximizeOnShow) {
        m_maximizeOnShow = false;
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void TForm4::stopStatusTimer()
{
    m_statusTimer->stop();
}

void TForm4::startStatusTimer()
{
    m_statusTimer->start();
}

void TForm4::statusTimerTick()
{
    if (m_firstTick) {
        m_firstTick = false;
        const ListController::FirstTick first = m_controller.firstTick();
        if (first.loadOptions)
            ensureOptionsLoaded();
        if (first.showWorkList) {
            m_model->appendRows(m_state.run.workList, false);
            showFileCount();
        }
        m_statusTimer->setInterval(1000);
    }
    m_undoButton->setEnabled(m_controller.undoAvailable(m_state.settings.dataFolder()));
    const std::size_t rows = m_model->rowCount();
    const ListController::Tick tick =
        m_controller.tick(rows, selectedRows().size(), !m_folderBox->currentText().isEmpty());
    m_modeLabel->setText(toQt(tick.modeLabel));
    if (tick.deleteOff)
        m_deleteButton->setEnabled(false);
    setWindowTitle(toQt(tick.caption));
    if (rows > 0)
        m_guidePanel->hide();
}

void TForm4::ensureOptionsLoaded()
{
    if (m_optionsLoaded)
        return;
    m_optionsLoaded = true;
    m_state.folders.load();
    Q_EMIT optionsLoaded();
    applyCheckBoxOption(m_state.settings.options.checkBox, false);
    reloadFolderBox();
}

void TForm4::pollTimerTick()
{
    if (m_state.targets.listingAbort)
        return;
    m_pollTimer->stop();
    fillFolderListing();
}

void TForm4::handOffTimerTick()
{
    m_handOffTimer->stop();
    if (!m_windows)
        return;
    if (m_controller.handOffStep() == ListController::EditStep::ExportNames)
        exportChosenFiles();
    else
        m_windows->showEditor();
}

void TForm4::exportChosenFiles()
{
    if (m_windows)
        NameExporter(m_state, *m_windows, m_windows).exportNames(exportChoices());
    m_controller.exportDone();
}

void TForm4::returnFromHandOff()
{
    move(x(), m_rememberedTop);
    show();
}

// --- what the run and the editor ask of the window -------------------------

FileList &TForm4::fileList()
{
    return *m_model;
}

void TForm4::setStatusPanel(int panel, const std::string &text)
{
    m_status[panel]->setText(toQt(text));
}

std::string TForm4::folderBoxText() const
{
    return fromQt(m_folderBox->currentText());
}

void TForm4::setFolderBoxText(const std::string &text)
{
    m_folderBox->setEditText(toQt(text));
}

void TForm4::refreshListing()
{
    requestListing();
}

void TForm4::showFolderHistoryEntry(std::size_t index)
{
    reloadFolderBox();
    if (index < static_cast<std::size_t>(m_folderBox->count()))
        m_folderBox->setCurrentIndex(static_cast<int>(index));
}

void TForm4::reloadFolderBox()
{
    const QString text = m_folderBox->currentText();
    QSignalBlocker block(m_folderBox);
    m_folderBox->clear();
    for (const std::string &folder : m_state.folders.entries())
        m_folderBox->addItem(toQt(folder));
    m_folderBox->setCurrentIndex(-1);
    m_folderBox->setEditText(text);
}

void TForm4::closeListWindow()
{
    close();
}

void TForm4::closeEvent(QCloseEvent *event)
{
    // A listing in progress ends with the window.
    m_state.targets.listingAbort = m_state.targets.listingRunning;
    m_statusTimer->stop();
    m_pollTimer->stop();
    m_closeTimer->stop();
    if (isVisible() && !m_closing) {
        m_closing = true;
        const QRect normal = normalGeometry();
        WindowGeometry g{normal.x(), normal.y(), normal.width(), normal.height(), isMaximized()};
        m_state.folders.save(g);
    }
    event->accept();
    Q_EMIT listWindowClosed();
}

void TForm4::applyCheckBoxOption(bool shown, bool checkAll)
{
    m_model->setCheckable(shown);
    m_checkSettings->setVisible(shown);
    if (checkAll)
        m_model->setAllChecked(true);
}

void TForm4::showOptions()
{
    // Options asked for before the status timer's first tick: load them now,
    // or the dialog would show (and "Ok" store) the defaults.
    if (!m_state.handOffMode)
        ensureOptionsLoaded();
    Q_EMIT optionsRequested();
}

void TForm4::showHelp()
{
    Q_EMIT helpRequested();
}

} // namespace renomiq
