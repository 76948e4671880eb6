#include "run/rename_error_dialog.h"

#include "engine/item_path.h"
#include "services/name_label.h"
#include "services/qt_text.h"

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

TForm11::TForm11(QWidget *parent)
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
    // Why the system refused it, in its own words.
    m_reason = textLine({}, this, 116, QStringLiteral("Reason"));
    m_doNotDisplay = new QCheckBox(QStringLiteral("Do not display this message"), this);
    m_doNotDisplay->setAccessibleName(QStringLiteral("Do not display this message"));
    m_doNotDisplay->setGeometry(16, 150, 260, 24);
    auto *ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setAccessibleName(QStringLiteral("Ok"));
    ok->setGeometry(333, 148, 80, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TForm11::showRenameError(const std::string &oldPath, const std::string &newPath, const std::string &reason)
{
    if (m_doNotDisplay->isChecked())
        return;
    // An item the walk could not reach has no new name: its full path tells where it is.
    setWholeName(m_oldName, toQt(newPath.empty() ? oldPath : lastComponentOf(oldPath)));
    setWholeName(m_newName, toQt(lastComponentOf(newPath)));
    m_reason->setText(reason.empty() ? QString() : QLatin1Char('(') + toQt(reason) + QLatin1Char(')'));
    exec();
}

} // namespace renomiq
