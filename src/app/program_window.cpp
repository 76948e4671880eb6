#include "app/program_window.h"

#include "state/app_state.h"

#include <QCoreApplication>

namespace renomiq {

ProgramWindows::ProgramWindows(AppState &state)
    : m_state(state),
      m_list(state),
      m_editor(state),
      m_specialString(state, &m_editor),
      m_progress(state),
      m_preview(state),
      m_options(state, &m_list),
      m_nameList(state, &m_options),
      m_rename(state, &m_list),
      m_folderAdd(state, &m_list),
      m_renameError(state, &m_list),
      m_windows(m_list, m_editor, m_preview, m_progress, m_renameError),
      m_driver(state, m_windows, &m_windows)
{
    m_editor.setRunContext(m_windows, m_driver);
    m_editor.setHost(this);
    m_editor.setSpecialStringDialog(&m_specialString);
    m_editor.attachPreview(m_preview);
    m_preview.onOptions = [this] { m_options.showOptions(true); };

    m_list.setHelpContext([this] { return m_specialString.isVisible(); }, [this] { return m_preview.isVisible(); });
    m_list.setRunContext(m_windows, m_driver);
    m_list.setDialogs(m_options, m_rename, m_folderAdd);
    m_list.setProgramFile(QCoreApplication::applicationFilePath().toStdString());
    // A files export started from the list window reads the editor's save panel.
    m_list.setExportChoices([this] { return m_editor.exportChoices(); });

    m_options.setNameListEditor(m_nameList);
    m_options.setCheckBoxHandler([this](bool shown, bool checkAll) { m_list.applyCheckBoxOption(shown, checkAll); });
    m_options.setFoldersClearedHandler([this] { m_list.reloadFolderBox(); });
    m_options.setHelpHandler([this] { m_list.showHelp(); });
    m_nameList.setMaximumChangedHandler([this] { m_options.nameListMaxChanged(); });

    connect(&m_list, &TForm4::listWindowClosed, this, &ProgramWindows::programClosed, Qt::QueuedConnection);
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::showOptionsDialog(int page)
{
    m_options.showOptions(page == 2);
}

void ProgramWindows::stopStatusTimer()
{
    m_list.stopStatusTimer();
}

void ProgramWindows::startStatusTimer()
{
    m_list.startStatusTimer();
}

void ProgramWindows::handOffShowing(const std::string &targetFolder)
{
    // The options with the used folders: the list window saves that list when
    // it closes, so it must hold what was stored.
    m_list.ensureOptionsLoaded();
    m_list.setFolderBoxText(targetFolder);
}

void ProgramWindows::showListWindowAgain()
{
    m_list.returnFromHandOff();
}

void ProgramWindows::setFolderBoxText(const std::string &folder)
{
    m_list.setFolderBoxText(folder);
}

} // namespace renomiq
