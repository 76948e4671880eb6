#include "list/rename_dialog.h"

#include "services/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace renomiq {

TForm2::TForm2(Platform &platform, NameEngine &engine, const SettingsStore &settings, QWidget *parent)
    : QDialog(parent), m_rename(platform, engine, settings)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Rename file"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_name = new QLineEdit;
    m_name->setAccessibleName(QStringLiteral("New name"));
    m_name->setMinimumWidth(360);
    m_extensionLabel = new QLabel(QStringLiteral("Extension part:"));
    m_extension = new QLineEdit;
    m_extension->setAccessibleName(QStringLiteral("Extension part:"));
    m_extension->setMaximumWidth(120);
    m_extensionLabel->setBuddy(m_extension);
    auto *ok = new QPushButton(QStringLiteral("OK"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    ok->setAccessibleName(QStringLiteral("OK"));
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    ok->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    auto *row = new QHBoxLayout;
    row->addWidget(m_extensionLabel);
    row->addWidget(m_extension);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    setTabOrder(m_extension, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, m_name);

    connect(ok, &QPushButton::clicked, this, &TForm2::okClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm2::fill(const SingleRename::Fields &f)
{
    setWindowTitle(toQt(f.caption));
    m_name->setText(toQt(f.name));
    m_extension->setText(toQt(f.extension));
    m_extensionLabel->setVisible(f.extensionShown);
    m_extension->setVisible(f.extensionShown);
}

std::string TForm2::renameItem(const std::string &oldPath, const std::string &folderBox)
{
    m_oldPath = oldPath;
    m_folderBox = folderBox;
    m_result.clear();
    m_opened = m_rename.fieldsFor(m_oldPath);
    fill(m_opened);
    adjustSize();
    setFixedSize(sizeHint());
    m_name->selectAll();
    m_name->setFocus();
    exec();
    return m_result;
}

void TForm2::okClicked()
{
    const SingleRename::Result r =
        m_rename.rename(m_folderBox, m_oldPath, fromQt(m_name->text()), fromQt(m_extension->text()));
    switch (r.outcome) {
    case SingleRename::Outcome::Renamed:
        m_result = r.rowText;
        accept();
        return;
    case SingleRename::Outcome::Failed:
        fill(SingleRename::refilledFields(m_oldPath, m_opened));
        break;
    case SingleRename::Outcome::Refused:
        m_name->setText(toQt(r.name));
        break;
    }
    m_name->setFocus();
}

} // namespace renomiq
