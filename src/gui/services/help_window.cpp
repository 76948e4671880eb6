#include "services/help_window.h"

#include "services/window_role.h"
#include "platform/version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace renomiq {

namespace {

// The topic every list of topics starts with: the overview.
const QString kFirstTopic = QStringLiteral("How to use.htm");

// The topics in reading order: the overview, the edits as the program lists
// them, then what they share. Any other topic follows, by name.
const QStringList kReadingOrder = {kFirstTopic,
                                   QStringLiteral("Remove.htm"),
                                   QStringLiteral("Replace.htm"),
                                   QStringLiteral("Insert.htm"),
                                   QStringLiteral("Change.htm"),
                                   QStringLiteral("Change ext.htm"),
                                   QStringLiteral("Save.htm"),
                                   QStringLiteral("Special string.htm"),
                                   QStringLiteral("Preview.htm"),
                                   QStringLiteral("Options.htm")};

QPushButton *toolButton(const QString &caption, QStyle::StandardPixmap icon, const QString &hint, QWidget *parent)
{
    auto *b = new QPushButton(parent->style()->standardIcon(icon), caption, parent);
    b->setToolTip(hint);
    b->setAccessibleName(caption);
    b->setAccessibleDescription(hint);
    return b;
}

} // namespace

HelpWindow::HelpWindow(const QString &folder, QWidget *parent) : QWidget(parent, Qt::Window), m_folder(folder)
{
    setObjectName(QStringLiteral("HelpWindow"));
    announceAsWindows();
    setWindowTitle(QStringLiteral("Renomiq Help"));
    resize(820, 600);

    m_back = toolButton(QStringLiteral("Back"), QStyle::SP_ArrowBack, QStringLiteral("Show the topic seen before"), this);
    m_forward = toolButton(QStringLiteral("Forward"), QStyle::SP_ArrowForward,
                           QStringLiteral("Show the topic seen after this one"), this);
    m_contents = toolButton(QStringLiteral("Contents"), QStyle::SP_DirHomeIcon,
                            QStringLiteral("Show the overview: how to use Renomiq"), this);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Search the topics"));
    m_search->setClearButtonEnabled(true);
    m_search->setAccessibleName(QStringLiteral("Search"));
    m_search->setToolTip(QStringLiteral("Lists the topics that hold every word typed here"));
    m_search->setAccessibleDescription(m_search->toolTip());

    m_index = new QListWidget(this);
    m_index->setAccessibleName(QStringLiteral("Topics"));
    m_index->setUniformItemSizes(true);

    m_browser = new QTextBrowser(this);
    m_browser->setAccessibleName(QStringLiteral("Help text"));
    m_browser->setOpenExternalLinks(true);

    m_about = new QLabel(QStringLiteral("Renomiq %1\nGNU General Public License, version 3 or later")
                             .arg(QString::fromLatin1(kVersion)),
                         this);
    m_about->setAccessibleName(QStringLiteral("About"));
    m_about->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_search);
    leftLayout->addWidget(m_index);
    leftLayout->addWidget(m_about);

    auto *splitter = new QSplitter(this);
    splitter->addWidget(left);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 560});

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_contents);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_contents, &QPushButton::clicked, this, [this] { showTopic(kFirstTopic); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::selectInIndex);
    connect(m_search, &QLineEdit::textChanged, this, &HelpWindow::filterIndex);
    connect(m_index, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showTopic(item->data(Qt::UserRole).toString()); });
    connect(m_index, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showTopic(item->data(Qt::UserRole).toString()); });
    // Enter in the search box opens the first topic found.
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        for (int row = 0; row < m_index->count(); ++row) {
            if (!m_index->item(row)->isHidden()) {
                showTopic(m_index->item(row)->data(Qt::UserRole).toString());
                return;
            }
        }
    });

    loadTopics();
}

void HelpWindow::loadTopics()
{
    const QStringList found = QDir(m_folder).entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name);
    QStringList files;
    for (const QString &topic : kReadingOrder) {
        if (found.contains(topic))
            files << topic;
    }
    for (const QString &topic : found) {
        if (!kReadingOrder.contains(topic))
            files << topic;
    }
    static const QRegularExpression titleTag(QStringLiteral("<title>(.*?)</title>"),
                                             QRegularExpression::CaseInsensitiveOption
                                                 | QRegularExpression::DotMatchesEverythingOption);
    for (const QString &file : files) {
        QFile f(m_folder + QLatin1Char('/') + file);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString html = QString::fromUtf8(f.readAll());
        const QRegularExpressionMatch title = titleTag.match(html);
        QTextDocument document;
        document.setHtml(html);
        m_files << file;
        m_titles << (title.hasMatch() ? title.captured(1).trimmed() : QFileInfo(file).completeBaseName());
        m_texts << m_titles.last() + QLatin1Char('\n') + document.toPlainText();
        auto *item = new QListWidgetItem(m_titles.last(), m_index);
        item->setData(Qt::UserRole, file);
    }
}

void HelpWindow::showTopic(const QString &fileName)
{
    if (m_files.isEmpty())
        return;
    const QString file = m_files.contains(fileName) ? fileName : m_files.first();
    if (file == currentTopic())
        return;
    m_browser->setSource(QUrl::fromLocalFile(m_folder + QLatin1Char('/') + file));
}

QString HelpWindow::currentTopic() const
{
    return topicOf(m_browser->source());
}

QStringList HelpWindow::visibleTitles() const
{
    QStringList titles;
    for (int row = 0; row < m_index->count(); ++row) {
        if (!m_index->item(row)->isHidden())
            titles << m_index->item(row)->text();
    }
    return titles;
}

void HelpWindow::filterIndex(const QString &words)
{
    const QStringList wanted = words.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int row = 0; row < m_index->count(); ++row) {
        bool all = true;
        for (const QString &word : wanted)
            all = all && m_texts[row].contains(word, Qt::CaseInsensitive);
        m_index->item(row)->setHidden(!all);
    }
}

QString HelpWindow::aboutText() const
{
    return m_about->text();
}

QString HelpWindow::topicOf(const QUrl &source)
{
    // Links inside a topic are relative ("Save.htm"), the index's are absolute.
    return QFileInfo(source.path()).fileName();
}

void HelpWindow::selectInIndex(const QUrl &source)
{
    // The browser announces a new topic before source() returns it.
    const int row = static_cast<int>(m_files.indexOf(topicOf(source)));
    if (row >= 0)
        m_index->setCurrentRow(row);
    if (const QString title = m_browser->documentTitle(); !title.isEmpty())
        setWindowTitle(title + QStringLiteral(" - Renomiq Help"));
}

} // namespace renomiq
