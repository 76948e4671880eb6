#include "app/program_window.h"

#include "editor/help_topics.h"
#include "platform/help.h"
#include "platform/platform.h"
#include "state/app_state.h"

#include <QCoreApplication>

namespace renomiq {

ProgramWindows::ProgramWindows(AppState &state)
    : m_help(state.platform.help),
      m_run(state.run),
      m_list(state),
      m_editor(state),
      m_progress(state.platform.prompter),
      m_preview(state.platform, state.editKind),
      m_options(new TForm7(state.settings, state.names, state.folders, state.platform, &m_list)),
      m_nameList(new TForm8(state.names, state.settings, state.platform, m_options)),
      m_renameError(new TForm11(&m_list)),
      m_windows(m_list, m_editor, m_preview, m_progress, *m_renameError),
      m_driver(state, m_windows, &m_windows)
{
    m_editor.setRunContext(m_windows, m_driver);
    m_list.setRunContext(m_windows, m_driver);
    m_list.setProgramFile(QCoreApplication::applicationFilePath().toStdString());
    wireListWindow();
    wireEditor();
    wireDialogs();
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::wireListWindow()
{
    connect(&m_progress, &TForm5::cancelRequested, this, [this] { m_run.stopRequest = true; });
    connect(&m_list, &TForm4::listWindowClosed, this, &ProgramWindows::programClosed, Qt::QueuedConnection);
    connect(&m_list, &TForm4::optionsRequested, m_options, [this] { m_options->showOptions(); });
    connect(&m_list, &TForm4::optionsLoaded, m_options, &TForm7::optionsLoaded);
    connect(&m_list, &TForm4::helpRequested, this, &ProgramWindows::showListHelp);
    // A files export started from the list window reads the editor's save panel.
    connect(&m_list, &TForm4::exportChoicesWanted, &m_editor,
            [this](ExportChoices *choices) { *choices = m_editor.exportChoices(); });
}

void ProgramWindows::wireEditor()
{
    connect(&m_editor, &TForm1::optionsRequested, m_options, &TForm7::showOptions);
    connect(&m_editor, &TForm1::statusTimerStopRequested, &m_list, &TForm4::stopStatusTimer);
    connect(&m_editor, &TForm1::statusTimerStartRequested, &m_list, &TForm4::startStatusTimer);
    connect(&m_editor, &TForm1::handOffShowing, &m_list, [this](const std::string &targetFolder) {
        // The options with the used folders: the list window saves that list
        // when it closes, so it must hold what was stored.
        m_list.ensureOptionsLoaded();
        m_list.setFolderBoxText(targetFolder);
    });
    connect(&m_editor, &TForm1::listWindowAgainRequested, &m_list, &TForm4::returnFromHandOff);
    connect(&m_editor, &TForm1::folderBoxTextChosen, &m_list, &TForm4::setFolderBoxText);
    // The preview's "Rename" performs OK in the editor; "Show On" shows a
    // row's name in its sample display; "Options" opens the preview tab.
    connect(&m_preview, &TForm6::renameRequested, &m_editor, &TForm1::okAction);
    connect(&m_preview, &TForm6::showOnRequested, &m_editor, &TForm1::showOnSample);
    connect(&m_preview, &TForm6::optionsRequested, m_options, [this] { m_options->showOptions(true); });
}

void ProgramWindows::wireDialogs()
{
    connect(m_options, &TForm7::checkBoxOptionChanged, &m_list, &TForm4::applyCheckBoxOption);
    connect(m_options, &TForm7::usedFoldersCleared, &m_list, &TForm4::reloadFolderBox);
    connect(m_options, &TForm7::helpRequested, this, &ProgramWindows::showListHelp);
    connect(m_options, &TForm7::nameListEditRequested, m_nameList, &TForm8::editList);
    connect(m_options, &TForm7::nameListCleared, m_nameList, &TForm8::clearText);
    connect(m_nameList, &TForm8::maximumChanged, m_options, &TForm7::nameListMaxChanged);
}

void ProgramWindows::showListHelp()
{
    m_help.showTopic(HelpTopics::forListWindow(
        specialString().isVisible(), m_preview.isVisible(), m_options->isVisible()));
}

} // namespace renomiq
