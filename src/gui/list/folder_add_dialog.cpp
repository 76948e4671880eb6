#include "list/folder_add_dialog.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace renomiq {

namespace {

void setBold(QWidget *w, bool bold)
{
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

} // namespace

TForm9::TForm9(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm9"));
    setWindowTitle(QStringLiteral("Folder Add option"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_chooseFolder = new QRadioButton(QStringLiteral("Choose A folder to edit all its included files together"));
    m_addFiles = new QRadioButton(QStringLiteral("Add all files of a folder(one layer) to the list"));
    auto *note = new QLabel(QStringLiteral("(Can add other files or deselect individual file later)"));
    note->setIndent(22);
    auto *ok = new QPushButton(QStringLiteral("OK"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    ok->setDefault(true);
    setBold(ok, true);
    setBold(cancel, true);
    m_chooseFolder->setChecked(true);
    for (QWidget *w : {static_cast<QWidget *>(m_chooseFolder), static_cast<QWidget *>(m_addFiles),
                       static_cast<QWidget *>(ok), static_cast<QWidget *>(cancel)})
        w->setAccessibleName(w->property("text").toString());
    note->setAccessibleName(note->text());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(m_chooseFolder);
    layout->addSpacing(8);
    layout->addWidget(m_addFiles);
    layout->addWidget(note);
    layout->addSpacing(12);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    setTabOrder(m_chooseFolder, m_addFiles);
    setTabOrder(m_addFiles, ok);
    setTabOrder(ok, cancel);

    connect(m_chooseFolder, &QRadioButton::toggled, this, &TForm9::updateBold);
    connect(ok, &QPushButton::clicked, this, &TForm9::finish);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_chooseFolder->installEventFilter(this);
    m_addFiles->installEventFilter(this);
    updateBold();
    setFixedSize(sizeHint());
}

TForm9::Choice TForm9::ask()
{
    m_choice = Cancelled;
    exec();
    return m_choice;
}

void TForm9::finish()
{
    m_choice = m_chooseFolder->isChecked() ? ChooseFolder : AddFiles;
    accept();
}

void TForm9::updateBold()
{
    setBold(m_chooseFolder, m_chooseFolder->isChecked());
    setBold(m_addFiles, m_addFiles->isChecked());
}

bool TForm9::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && (watched == m_chooseFolder || watched == m_addFiles)) {
        static_cast<QRadioButton *>(watched)->setChecked(true);
        finish();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace renomiq
