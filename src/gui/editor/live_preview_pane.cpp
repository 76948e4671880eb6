#include "editor/live_preview_pane.h"

#include "engine/name_engine.h"
#include "platform/platform.h"
#include "services/qt_text.h"
#include "state/app_state.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace renomiq {

namespace {

QString noteOf(const LivePreviewRow &row)
{
    switch (row.mark) {
    case LivePreviewRow::Mark::Renamed: return {};
    case LivePreviewRow::Mark::Numbered: return QStringLiteral("name taken: gets (n)");
    case LivePreviewRow::Mark::Refused:
        return row.note.empty() ? QStringLiteral("refused") : QStringLiteral("refused: ") + toQt(row.note);
    case LivePreviewRow::Mark::Failed: return QStringLiteral("fails: ") + toQt(row.note);
    }
    return {};
}

} // namespace

LivePreviewPane::LivePreviewPane(AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    setObjectName(QStringLiteral("livePreview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    m_toggle = new QCheckBox(QStringLiteral("Live preview"), this);
    m_toggle->setAccessibleName(QStringLiteral("Live preview"));
    const QString hint = QStringLiteral("Show the first new names while you type");
    m_toggle->setToolTip(hint);
    m_toggle->setAccessibleDescription(hint);
    layout->addWidget(m_toggle);

    m_body = new QWidget(this);
    auto *body = new QVBoxLayout(m_body);
    body->setContentsMargins(0, 0, 0, 0);
    m_message = new QLabel(m_body);
    // A value label: its text is its name; the description says what it is.
    m_message->setAccessibleDescription(QStringLiteral("Live preview message"));
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Two lines of room whatever it says: the window does not jump while typing.
    m_message->setFixedHeight(2 * m_message->fontMetrics().lineSpacing() + 2);
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    body->addWidget(m_message);
    m_rows = new QTreeWidget(m_body);
    m_rows->setAccessibleName(QStringLiteral("Live preview rows"));
    m_rows->setHeaderLabels({QStringLiteral("Old name"), QStringLiteral("New name"), QStringLiteral("Note")});
    m_rows->setRootIsDecorated(false);
    m_rows->setUniformRowHeights(true);
    m_rows->setSelectionMode(QAbstractItemView::NoSelection);
    m_rows->setFocusPolicy(Qt::NoFocus);
    m_rows->header()->setStretchLastSection(true);
    m_rows->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_rows->header()->resizeSection(0, 200);
    m_rows->header()->resizeSection(1, 200);
    // About seven rows in view; the rest scroll.
    m_rows->setFixedHeight(m_rows->header()->sizeHint().height() + 7 * m_rows->fontMetrics().height() * 3 / 2);
    body->addWidget(m_rows);
    layout->addWidget(m_body);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(kDelayMs);
    connect(m_timer, &QTimer::timeout, this, &LivePreviewPane::update);

    QPointer<LivePreviewPane> self(this);
    m_worker = std::make_unique<LivePreviewWorker>(
        state.platform.fileSystem, state.platform.clock, [self](std::uint64_t generation, LivePreviewResult result) {
            auto shared = std::make_shared<LivePreviewResult>(std::move(result));
            // The pane outlives its worker: a result queued for it is dropped with it.
            QMetaObject::invokeMethod(
                self.data(), [self, generation, shared] {
                    if (self)
                        self->showResult(generation, *shared);
                },
                Qt::QueuedConnection);
        });

    const bool on = readLivePreviewSetting(state.platform.registry);
    m_toggle->setChecked(on);
    m_body->setVisible(on);
    connect(m_toggle, &QCheckBox::toggled, this, &LivePreviewPane::switchedOn);
}

LivePreviewPane::~LivePreviewPane()
{
    // Joins the worker before the widgets its results go to are gone.
    m_worker.reset();
}

bool LivePreviewPane::isOn() const
{
    return m_toggle->isChecked();
}

void LivePreviewPane::switchedOn(bool on)
{
    writeLivePreviewSetting(m_state.platform.registry, on);
    m_body->setVisible(on);
    ++m_generation; // a result under way is no longer wanted
    if (on)
        scheduleUpdate();
}

void LivePreviewPane::watch(QWidget *root)
{
    root->installEventFilter(this);
    const auto schedule = [this] { scheduleUpdate(); };
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (w == this || isAncestorOf(w))
            continue;
        if (auto *e = qobject_cast<QLineEdit *>(w)) {
            connect(e, &QLineEdit::textChanged, this, schedule);
            connect(e, &QLineEdit::selectionChanged, this, schedule);
            connect(e, &QLineEdit::cursorPositionChanged, this, schedule);
        } else if (auto *c = qobject_cast<QComboBox *>(w)) {
            connect(c, &QComboBox::currentIndexChanged, this, schedule);
            connect(c, &QComboBox::editTextChanged, this, schedule);
        } else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            if (b->isCheckable())
                connect(b, &QAbstractButton::toggled, this, schedule);
        } else if (auto *s = qobject_cast<QSpinBox *>(w)) {
            connect(s, &QSpinBox::valueChanged, this, schedule);
        }
    }
}

bool LivePreviewPane::eventFilter(QObject *watched, QEvent *event)
{
    // Back from a dialog (the special strings' settings): the rows follow.
    if (event->type() == QEvent::WindowActivate)
        scheduleUpdate();
    return QWidget::eventFilter(watched, event);
}

void LivePreviewPane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    forgetTargets();
    scheduleUpdate();
}

void LivePreviewPane::scheduleUpdate()
{
    if (isOn())
        m_timer->start();
}

void LivePreviewPane::forgetTargets()
{
    m_worker->forgetItems();
}

void LivePreviewPane::showMessage(const QString &text)
{
    m_message->setText(text);
    // The whole text, should two lines not hold it.
    m_message->setToolTip(text);
}

void LivePreviewPane::update()
{
    if (!isOn() || !isVisible() || !m_inputs)
        return;
    const std::uint64_t generation = ++m_generation;
    EditorInputs in = m_inputs();
    in.request.preview = true;
    const TargetSet &targets = m_state.targets;
    const bool noTargets = targets.filesMode ? m_state.run.workList.empty() : targets.targetFolder.empty();
    if (m_state.editKind == EditKind::Savealls || noTargets) {
        m_rows->clear();
        showMessage(m_state.editKind == EditKind::Savealls ? QStringLiteral("Saving names changes no name.")
                                                           : QString());
        Q_EMIT updated();
        return;
    }
    // The OK action's checks, with every box kept instead of shown.
    CollectingPrompter prompter;
    NameEngine checkEngine(m_state.platform.fileSystem, prompter, m_state.platform.clock,
                           m_state.engine.codePage());
    const InputCheck check = checkInputs(m_state, in, prompter, checkEngine);
    QString text;
    for (const Message &m : prompter.messages) {
        if (check.refused || m.buttons != MessageButtons::Ok)
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + toQt(m.text);
    }
    if (text.isEmpty() && m_state.settings.options.confirm && !check.confirmation.empty())
        text = toQt(check.confirmation);
    if (check.refused) {
        m_rows->clear();
        showMessage(text.isEmpty() ? QStringLiteral("Nothing to preview yet.") : text);
        Q_EMIT updated();
        return;
    }
    showMessage(text);
    LivePreviewJob job;
    job.request = in.request;
    job.targets = targets;
    if (targets.filesMode)
        job.files = m_state.run.workList;
    job.rowLimit = kRowLimit;
    job.codePage = m_state.engine.codePage();
    m_worker->submit(generation, std::move(job));
}

void LivePreviewPane::showResult(std::uint64_t generation, const LivePreviewResult &result)
{
    if (generation != m_generation || !isOn())
        return;
    m_lastMilliseconds = result.milliseconds;
    m_rows->setUpdatesEnabled(false);
    m_rows->clear();
    QList<QTreeWidgetItem *> items;
    for (const LivePreviewRow &row : result.rows) {
        auto *item = new QTreeWidgetItem({toQt(row.oldText), toQt(row.newText), noteOf(row)});
        if (row.mark == LivePreviewRow::Mark::Refused || row.mark == LivePreviewRow::Mark::Failed) {
            for (int c = 0; c < 3; ++c)
                item->setForeground(c, QColor(176, 0, 32));
        } else if (row.mark == LivePreviewRow::Mark::Numbered) {
            item->setForeground(1, QColor(154, 82, 0));
            item->setForeground(2, QColor(154, 82, 0));
        }
        item->setToolTip(2, noteOf(row));
        items.append(item);
    }
    m_rows->addTopLevelItems(items);
    if (result.rows.empty() && m_message->text().isEmpty())
        showMessage(QStringLiteral("No name changes."));
    else if (result.more && m_message->text().isEmpty())
        showMessage(QStringLiteral("The first %1 changes; more names change.").arg(result.rows.size()));
    m_rows->setUpdatesEnabled(true);
    Q_EMIT updated();
}

} // namespace renomiq
