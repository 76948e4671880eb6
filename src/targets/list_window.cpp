#include "targets/list_window.h"

#include "platform/platform.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace renomiq {

TForm4::TForm4(Platform &platform, QWidget *parent) : QMainWindow(parent), m_platform(platform)
{
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Renomiq "));

    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(6, 6, 6, 2);

    // The edit buttons along the top.
    auto *editRow = new QHBoxLayout;
    editRow->setSpacing(2);
    const std::pair<const char *, const char *> editButtons[] = {
        {"Remove", "Remove strings from filenames"},
        {"Replace", "Replace old part of filenames with a new part"},
        {"Insert", "Insert strings or numbers to filenames"},
        {"Change", "Change filename to new or convert case"},
        {"Extension", "Change file extension part"},
        {"Save", "Save filenames to a text file"},
        {"Undo", "Undo the last operation"},
        {"Exit", "Exit the program"},
    };
    for (const auto &[caption, hint] : editButtons) {
        QPushButton *b = addButton(QString::fromLatin1(caption), QString::fromLatin1(hint));
        // Eight buttons share the designed width; let them narrow to fit it.
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        b->setMinimumWidth(62);
        editRow->addWidget(b);
    }
    grid->addLayout(editRow, 0, 1);

    // The column of target buttons on the left.
    auto *leftColumn = new QVBoxLayout;
    const std::pair<const char *, const char *> leftButtons[] = {
        {"Folder", "Select a folder to edit included filenames "},
        {"Files", "Select files to edit their filenames "},
        {"Delete", "Remove the selected files"},
        {"Options", "Change options"},
        {" Help", "Read help "},
    };
    for (const auto &[caption, hint] : leftButtons) {
        QPushButton *b = addButton(QString::fromLatin1(caption), QString::fromLatin1(hint));
        b->setFixedWidth(70);
        leftColumn->addWidget(b);
    }
    leftColumn->addStretch();
    button(QStringLiteral("Delete"))->setEnabled(false);
    grid->addLayout(leftColumn, 1, 0);

    auto *content = new QVBoxLayout;
    auto *heading = new QLabel(QStringLiteral("Select a folder to edit all its included file names together"));
    heading->setObjectName(QStringLiteral("headingLabel"));
    content->addWidget(heading);

    auto *folderRow = new QHBoxLayout;
    auto *orLabel = new QLabel(QStringLiteral("OR"));
    orLabel->setObjectName(QStringLiteral("orLabel"));
    folderRow->addWidget(orLabel);
    m_folderBox = new QComboBox;
    m_folderBox->setObjectName(QStringLiteral("folderBox"));
    m_folderBox->setEditable(true);
    m_folderBox->setCompleter(nullptr);
    m_folderBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    folderRow->addWidget(m_folderBox);
    m_upperDirectory = new QToolButton;
    m_upperDirectory->setObjectName(QStringLiteral("upperDirectory"));
    m_upperDirectory->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    m_upperDirectory->setToolTip(QStringLiteral("Upper directory"));
    folderRow->addWidget(m_upperDirectory);
    m_checkSettings = new QToolButton;
    m_checkSettings->setObjectName(QStringLiteral("checkSettings"));
    m_checkSettings->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    m_checkSettings->setToolTip(QStringLiteral("File list Check Settings"));
    m_checkSettings->hide();
    folderRow->addWidget(m_checkSettings);
    content->addLayout(folderRow);

    // The file list, with the guide panel over it while it is empty.
    m_fileList = new QTableView;
    m_fileList->setObjectName(QStringLiteral("fileList"));
    m_fileList->horizontalHeader()->hide();
    m_fileList->horizontalHeader()->setStretchLastSection(true);
    m_fileList->verticalHeader()->hide();
    m_fileList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_fileList->verticalHeader()->setDefaultSectionSize(m_fileList->fontMetrics().height() + 4);
    m_fileList->setShowGrid(true);
    m_fileList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *listArea = new QStackedLayout;
    listArea->setStackingMode(QStackedLayout::StackAll);
    listArea->addWidget(createGuidePanel());
    listArea->addWidget(m_fileList);

    content->addLayout(listArea, 1);
    grid->addLayout(content, 1, 1);
    m_guidePanel->raise(); // over the list, now that both have their parent
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    setCentralWidget(central);

    for (int i = 0; i < 2; ++i) {
        m_status[i] = new QLabel;
        m_status[i]->setObjectName(QStringLiteral("statusPanel%1").arg(i));
        statusBar()->addWidget(m_status[i], i == 0 ? 0 : 1);
    }
    m_status[0]->setMinimumWidth(180);

    resize(601, 475);

    connect(button(QStringLiteral("Exit")), &QPushButton::clicked, this, &QWidget::close);
}

QPushButton *TForm4::addButton(const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(caption.trimmed() + QStringLiteral("Button"));
    b->setToolTip(hint);
    m_buttons.append(b);
    return b;
}

QWidget *TForm4::createGuidePanel()
{
    m_guidePanel = new QFrame;
    m_guidePanel->setObjectName(QStringLiteral("guidePanel"));
    m_guidePanel->setFrameShape(QFrame::StyledPanel);
    m_guidePanel->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(m_guidePanel);
    layout->addStretch();
    layout->addWidget(new QLabel(QStringLiteral(
        "1, Click 'Folder' button to select a folder OR click 'Files' button to select some files firstly.")));
    auto *link = new QLabel(QStringLiteral("<a href=\"guide\">See more guide </a>"));
    link->setObjectName(QStringLiteral("guideLink"));
    layout->addWidget(link);
    layout->addWidget(new QLabel(QStringLiteral("2, Then choose a kind of editing to continue")));
    layout->addWidget(new QLabel(QStringLiteral("3,  Set more conditions  and preview or click OK to rename")));
    layout->addStretch();
    for (QLabel *label : m_guidePanel->findChildren<QLabel *>())
        label->setWordWrap(true);
    return m_guidePanel;
}

QPushButton *TForm4::button(const QString &caption) const
{
    for (QPushButton *b : m_buttons) {
        if (b->text() == caption)
            return b;
    }
    return nullptr;
}

QLabel *TForm4::statusPanel(int index) const
{
    return m_status[index];
}

} // namespace renomiq
