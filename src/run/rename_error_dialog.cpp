#include "run/rename_error_dialog.h"

#include "engine/item_path.h"
#include "platform/qt/qt_text.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace renomiq {

namespace {

// A line of the dialog; the two name lines are described, their text is their name.
QLabel *textLine(const QString &text, QWidget *parent, int y, const QString &description)
{
    auto *l = new QLabel(text, parent);
    if (text.isEmpty())
        l->setAccessibleDescription(description);
    l->setGeometry(16, y, 397, 22);
    return l;
}

} // namespace

TForm11::TForm11(AppState &, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TForm11"));
    setWindowTitle(QStringLiteral("Rename Error"));
    setModal(true);
    setFixedSize(429, 193);
    textLine(QStringLiteral("Rename failed when rename:"), this, 12, QStringLiteral("Rename failed when rename:"));
    m_oldName = textLine({}, this, 38, QStringLiteral("Old name"));
    textLine(QStringLiteral("To:"), this, 64, QStringLiteral("To:"));
    m_newName = textLine({}, this, 90, QStringLiteral("New name"));
    m_doNotDisplay = new QCheckBox(QStringLiteral("Do not display this message"), this);
    m_doNotDisplay->setAccessibleName(QStringLiteral("Do not display this message"));
    m_doNotDisplay->setGeometry(16, 150, 260, 24);
    auto *ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setAccessibleName(QStringLiteral("Ok"));
    ok->setGeometry(333, 148, 80, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm11::showRenameError(const std::string &oldPath, const std::string &newPath)
{
    if (m_doNotDisplay->isChecked())
        return;
    m_oldName->setText(toQt(lastComponentOf(oldPath)));
    m_newName->setText(toQt(lastComponentOf(newPath)));
    exec();
}

} // namespace renomiq
