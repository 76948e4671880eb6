#include "run/progress_dialog.h"

#include "platform/platform.h"
#include "platform/prompter.h"
#include "services/name_label.h"
#include "services/qt_text.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace renomiq {

namespace {

// Pending window messages are let through at most this often during a job, and
// the bar and names drawn at most ~30 times a second: often enough for a Cancel
// click to be seen at once, rarely enough to cost the job next to nothing.
constexpr qint64 pumpIntervalMs = 15;
constexpr qint64 drawIntervalMs = 33;

QLabel *captionLabel(const QString &text, QWidget *parent, const QRect &geometry)
{
    auto *l = new QLabel(text, parent);
    l->setAccessibleName(text);
    l->setGeometry(geometry);
    return l;
}

} // namespace

TForm5::TForm5(Prompter &prompter, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Progress"));
    setModal(true);
    setFixedSize(304, 145);

    captionLabel(QStringLiteral("Old  filename:"), this, {4, 8, 88, 25});
    captionLabel(QStringLiteral("New filename:"), this, {4, 38, 88, 25});
    m_oldName = captionLabel(QStringLiteral("Old filename:"), this, {93, 8, 209, 25});
    m_newName = captionLabel(QStringLiteral("New filename:"), this, {93, 38, 209, 25});
    // Value labels: their text is their name; the description says what it is.
    for (QLabel *l : {m_oldName, m_newName})
        l->setAccessibleName({});
    m_oldName->setAccessibleDescription(QStringLiteral("Old filename"));
    m_newName->setAccessibleDescription(QStringLiteral("New filename"));
    // One whole line each, however long the name (the tooltip holds all of it).
    for (QLabel *l : {m_oldName, m_newName})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_search = captionLabel(QStringLiteral("Searching, please wait..."), this, {8, 8, 288, 55});
    m_search->setAlignment(Qt::AlignCenter);
    m_search->setAutoFillBackground(true);
    m_search->hide();

    m_bar = new QProgressBar(this);
    m_bar->setAccessibleName(QStringLiteral("Progress"));
    m_bar->setGeometry(8, 72, 288, 20);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setAccessibleName(QStringLiteral("Cancel"));
    m_cancel->setGeometry(112, 106, 80, 28);
    m_cancel->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &TForm5::askCancel);
}

void TForm5::runWithProgress(const std::function<void()> &job)
{
    // One job at a time: a second one waits for nothing and runs at once.
    if (m_running || isVisible()) {
        job();
        return;
    }
    m_job = job;
    m_started = false;
    m_maximum = 100;
    m_position = 0;
    m_repaints = 0;
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    setWholeName(m_oldName, QStringLiteral("Old filename:"));
    setWholeName(m_newName, QStringLiteral("New filename:"));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
    m_job = {};
}

void TForm5::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_started || !m_job)
        return;
    m_started = true;
    // The job starts once the dialog is on screen, inside its modal loop.
    QMetaObject::invokeMethod(this, &TForm5::runJob, Qt::QueuedConnection);
}

void TForm5::runJob()
{
    m_running = true;
    m_sincePump.start();
    m_sinceDraw.start();
    m_job();
    m_running = false;
    drawProgress();
    setBusy(false);
    accept();
}

void TForm5::setProgressMaximum(int maximum)
{
    m_maximum = maximum;
    m_dirty = true;
}

void TForm5::setProgressPosition(int position)
{
    m_position = position;
    m_dirty = true;
}

void TForm5::setProgressNames(const std::string &oldName, const std::string &newName)
{
    m_pendingOld = toQt(oldName);
    m_pendingNew = toQt(newName);
    m_dirty = true;
}

void TForm5::showSearchPanel(bool shown)
{
    m_search->setVisible(shown);
    m_search->raise();
}

void TForm5::drawProgress()
{
    if (!m_dirty)
        return;
    m_dirty = false;
    ++m_repaints;
    m_bar->setMaximum(m_maximum);
    m_bar->setValue(std::min(m_position, m_maximum));
    if (!m_pendingOld.isEmpty() || !m_pendingNew.isEmpty()) {
        setWholeName(m_oldName, m_pendingOld);
        setWholeName(m_newName, m_pendingNew);
    }
}

void TForm5::processEvents()
{
    if (!m_running) {
        QApplication::processEvents();
        return;
    }
    if (m_sincePump.elapsed() < pumpIntervalMs)
        return;
    if (m_sinceDraw.elapsed() >= drawIntervalMs) {
        drawProgress();
        m_sinceDraw.restart();
    }
    QApplication::processEvents();
    m_sincePump.restart();
}

void TForm5::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TForm5::askCancel()
{
    if (!m_running)
        return;
    if (m_prompter.show(
            {"Confirmation", "Will you cancel this operation?", MessageIcon::Question, MessageButtons::YesNo})
        == Answer::Yes)
        Q_EMIT cancelRequested();
}

void TForm5::closeEvent(QCloseEvent *event)
{
    // The close box during a job asks as Cancel does; the job closes the dialog.
    if (m_running) {
        event->ignore();
        askCancel();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm5::reject()
{
    if (m_running) {
        askCancel();
        return;
    }
    QDialog::reject();
}

} // namespace renomiq
