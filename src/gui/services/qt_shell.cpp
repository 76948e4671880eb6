#include "services/qt_shell.h"

#include "platform/file_system.h"
#include "services/qt_text.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace renomiq {

namespace {

// The dialog's type list. Each entry is the shown text followed by its
// patterns in the form Qt reads them; the dialog is told to hide that second
// part (HideNameFilterDetails), so the text shows once, as written. "*.*"
// means every file, with or without a dot in its name.
QStringList nameFilters(const std::vector<FileFilter> &filters)
{
    QStringList list;
    for (const FileFilter &filter : filters) {
        QStringList patterns;
        for (const QString &pattern : toQt(filter.patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            patterns << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern.trimmed());
        list << toQt(filter.text) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return list;
}

} // namespace

QString QtShell::hostFolder(const std::string &path) const
{
    if (auto host = m_fileSystem.toHostPath(path))
        return toQt(*host);
    return QString();
}

std::optional<std::string> QtShell::fromHost(const QString &hostPath) const
{
    if (hostPath.isEmpty())
        return std::nullopt;
    return m_fileSystem.fromHostPath(fromQt(hostPath));
}

std::optional<std::string> QtShell::browseForFolder(const std::string &title)
{
    const QString folder = QFileDialog::getExistingDirectory(QApplication::activeWindow(), toQt(title));
    return fromHost(folder);
}

std::vector<std::string> QtShell::openFiles(const OpenFilesRequest &request)
{
    // Qt's own dialog: the platform's dialogs may hide what starts with a dot.
    QFileDialog dialog(QApplication::activeWindow(), toQt(request.title), hostFolder(request.initialFolder));
    dialog.setObjectName(QStringLiteral("openFilesDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOptions(QFileDialog::DontResolveSymlinks | QFileDialog::HideNameFilterDetails
                      | QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() | QDir::Hidden);
    dialog.setNameFilters(nameFilters(request.filters));
    const QStringList files = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
    std::vector<std::string> result;
    for (const QString &file : files) {
        if (auto path = fromHost(file))
            result.push_back(*path);
    }
    return result;
}

std::optional<std::string> QtShell::saveFile(const SaveFileRequest &request)
{
    QString start = hostFolder(request.initialFolder);
    if (!request.fileName.empty())
        start += QLatin1Char('/') + toQt(request.fileName);
    const QString file = QFileDialog::getSaveFileName(
        QApplication::activeWindow(), toQt(request.title), start, nameFilters(request.filters).join(QStringLiteral(";;")),
        nullptr, QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails);
    return fromHost(file);
}

bool QtShell::open(const std::string &pathOrUrl)
{
    if (auto host = m_fileSystem.toHostPath(pathOrUrl))
        return QDesktopServices::openUrl(QUrl::fromLocalFile(toQt(*host)));
    return QDesktopServices::openUrl(QUrl(toQt(pathOrUrl)));
}

bool QtShell::showInFileManager(const std::string &path)
{
    const QString host = hostFolder(path);
    if (host.isEmpty())
        return false;
    // The freedesktop file-manager interface selects the item; without a file
    // manager that answers it, open its folder.
    QProcess call;
    call.start(QStringLiteral("dbus-send"),
               {QStringLiteral("--session"), QStringLiteral("--print-reply"), QStringLiteral("--reply-timeout=2000"),
                QStringLiteral("--dest=org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
                QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                QStringLiteral("array:string:") + QUrl::fromLocalFile(host).toString(), QStringLiteral("string:")});
    if (call.waitForFinished(3000) && call.exitStatus() == QProcess::NormalExit && call.exitCode() == 0)
        return true;
    call.kill();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(host.left(host.lastIndexOf(QLatin1Char('/')) + 1)));
}

bool QtShell::startProgram(const std::string &program, const std::vector<std::string> &arguments)
{
    QStringList args;
    for (const std::string &argument : arguments)
        args << toQt(argument);
    return QProcess::startDetached(toQt(program), args);
}

} // namespace renomiq
