#include "run/preview_window.h"

#include "editor/editor_texts.h"
#include "editor/help_topics.h"
#include "engine/item_path.h"
#include "platform/clipboard.h"
#include "platform/help.h"
#include "platform/platform.h"
#include "services/qt_text.h"
#include "services/window_role.h"
#include "run/preview_model.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace renomiq {

TForm6::TForm6(Platform &platform, const EditKind &editKind, QWidget *parent)
    : QWidget(parent, Qt::Window), m_platform(platform), m_editKind(editKind)
{
    setObjectName(QStringLiteral("TForm6"));
    announceAsWindows();
    setWindowTitle(toQt(previewCaption(EditKind::Removpart)));
    resize(560, 420);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_model = new PreviewModel(this);
    m_list = new QTableView(this);
    m_list->setModel(m_model);
    m_list->setAccessibleName(QStringLiteral("Preview list"));
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    // Tab leaves the list for the buttons; the arrow keys move between rows.
    m_list->setTabKeyNavigation(false);
    m_list->horizontalHeader()->setSectionsClickable(false);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QMenu *menu = createListMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_list->viewport()->mapToGlobal(pos));
    });
    layout->addWidget(m_list, 1);

    m_bar = new QWidget(this);
    m_bar->setFixedHeight(40);
    layout->addWidget(m_bar);
    m_close = addButton(QStringLiteral("Close"), QStringLiteral("Close preview"));
    m_rename = addButton(QStringLiteral("Rename"), QStringLiteral("Finish edit and execute operations"));
    m_options = addButton(QStringLiteral("Options"), QStringLiteral("Set options"));
    m_rename->move(8, 8);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_rename, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT renameRequested();
    });
    connect(m_options, &QPushButton::clicked, this, &TForm6::optionsRequested);
    setTabOrder(m_list, m_rename);
    setTabOrder(m_rename, m_options);
    setTabOrder(m_options, m_close);
}

QPushButton *TForm6::addButton(const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, m_bar);
    b->setAccessibleName(caption);
    b->setToolTip(hint);
    b->setAccessibleDescription(hint);
    b->resize(90, 26);
    return b;
}

void TForm6::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int width = m_bar->width();
    m_close->move(width - m_close->width() - 8, 8);
    m_options->move(width / 2 - m_options->width() / 2, 8);
}

void TForm6::clearPreview()
{
    m_model->clear();
    m_filling = true;
    setWindowTitle(toQt(previewCaption(m_editKind)));
}

void TForm6::addPreviewRow(const std::string &oldText, const std::string &newText)
{
    if (m_filling)
        m_model->addRowLater(toQt(oldText), toQt(newText));
    else
        m_model->addRow(toQt(oldText), toQt(newText));
}

void TForm6::showPreview(bool maximized)
{
    m_filling = false;
    m_model->addPendingRows();
    if (maximized)
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
}

void TForm6::closePreview()
{
    if (isVisible())
        close();
    else
        m_model->clear();
}

void TForm6::closeEvent(QCloseEvent *event)
{
    m_model->clear();
    event->accept();
}

void TForm6::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        m_platform.help.showTopic(HelpTopics::forListWindow(false, true, false));
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString TForm6::selectedOldText() const
{
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return {};
    return m_model->oldText(rows.first().row());
}

QMenu *TForm6::createListMenu()
{
    auto *menu = new QMenu(this);
    const bool selected = m_list->selectionModel()->hasSelection();
    QAction *showOn = menu->addAction(QStringLiteral("Show On"));
    showOn->setEnabled(selected);
    connect(showOn, &QAction::triggered, this, [this] {
        Q_EMIT showOnRequested(fromQt(selectedOldText()));
    });
    QAction *copy = menu->addAction(QStringLiteral("Copy Filename"));
    copy->setEnabled(selected);
    connect(copy, &QAction::triggered, this,
            [this] { m_platform.clipboard.setText(lastComponentOf(fromQt(selectedOldText()))); });
    return menu;
}

} // namespace renomiq
