#include "run/undo_history_window.h"

#include "platform/clock.h"
#include "platform/help.h"
#include "platform/platform.h"
#include "services/qt_text.h"
#include "state/app_state.h"
#include "run/run_driver.h"
#include "editor/help_topics.h"

#include <QKeyEvent>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace renomiq {

UndoHistoryWindow::UndoHistoryWindow(AppState &state, RunDriver &driver, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_state(state), m_driver(driver)
{
    setObjectName(QStringLiteral("UndoHistoryWindow"));
    setWindowTitle(QStringLiteral("Undo history"));
    setModal(true);
    m_heading = new QLabel(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("operations"));
    m_list->setAccessibleName(QStringLiteral("Kept operations"));
    m_list->setColumnCount(4);
    m_list->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Operation"), QStringLiteral("Items"),
                             QStringLiteral("Target")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->header()->setStretchLastSection(true);
    m_heading->setBuddy(m_list);
    auto *hint = new QLabel(QStringLiteral("The newest is undone first; an older operation that shares items with a "
                                           "newer one waits until that one is undone."),
                            this);
    hint->setWordWrap(true);
    m_undo = new QPushButton(QStringLiteral("Undo"), this);
    m_undo->setAccessibleName(QStringLiteral("Undo"));
    m_undo->setToolTip(QStringLiteral("Undo the chosen operation"));
    m_undo->setDefault(true);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setAccessibleName(QStringLiteral("Close"));
    m_close->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_undo);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_list, 1);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    connect(m_undo, &QPushButton::clicked, this, &UndoHistoryWindow::undoChosen);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_undo->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_list, &QTreeWidget::itemActivated, this, &UndoHistoryWindow::undoChosen);
    resize(640, 360);
}

void UndoHistoryWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        m_state.platform.help.showTopic(HelpTopics::forUndoHistory());
        return;
    }
    QDialog::keyPressEvent(event);
}

void UndoHistoryWindow::showHistory()
{
    reload();
    show();
    raise();
    activateWindow();
}

void UndoHistoryWindow::reload()
{
    m_entries = UndoHistory(m_state.platform.fileSystem, m_state.settings.dataFolder()).entries();
    m_list->clear();
    for (const HistoryEntry &entry : m_entries) {
        const QString target = toQt(entry.info.target);
        auto *item = new QTreeWidgetItem(m_list, {toQt(localDateTimeText(entry.info.time)), toQt(entry.info.kind),
                                                  toQt(itemCountText(entry.info.items)), target});
        item->setToolTip(3, target);
    }
    for (int column = 0; column < 3; ++column)
        m_list->resizeColumnToContents(column);
    m_heading->setText(m_entries.empty() ? QStringLiteral("No operation is kept for undo.")
                                         : QStringLiteral("&Operations kept for undo, the newest first:"));
    if (!m_entries.empty())
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_undo->setEnabled(!m_entries.empty());
}

void UndoHistoryWindow::undoChosen()
{
    QTreeWidgetItem *chosen = m_list->currentItem();
    if (!chosen || !chosen->isSelected())
        return;
    const auto index = static_cast<std::size_t>(m_list->indexOfTopLevelItem(chosen));
    UndoHistory(m_state.platform.fileSystem, m_state.settings.dataFolder())
        .undo(m_driver, m_state.platform.prompter, m_entries, index);
    reload();
}

} // namespace renomiq
