#include "run/start_up.h"

#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "run/run_driver.h"
#include "run/undo_history.h"
#include "run/undo_log.h"
#include "state/app_state.h"
#include "targets/folder_walks.h"
#include "targets/hand_off.h"

#include <cerrno>

namespace renomiq {

void recoverAtStartUp(AppState &state)
{
    Prompter &prompter = state.platform.prompter;
    const UndoLog::Recovery recovery =
        UndoLog(state.platform.fileSystem, state.settings.dataFolder()).recoverAbandonedJournals();
    RunDriver::reportRecovery(prompter, recovery);
    for (const std::string &notice : state.platform.registry.takeNotices())
        prompter.information(notice);
    if (const std::string &blocker = state.settings.dataFolderBlocker(); !blocker.empty()) {
        const std::string &data = state.settings.dataFolder();
        const std::string folder = data.substr(0, data.size() - 1);
        prompter.informationAbout(SettingsStore::dataFolderNotice(folder, blocker), {folder, blocker});
    }
    if (const auto list = UndoHistory::unusableList(state.platform.fileSystem, state.settings.dataFolder()))
        prompter.informationAbout(UndoHistory::unusableListNotice(*list), {*list});
    for (const UndoLog::Unread &unread : recovery.unread)
        prompter.informationAbout(unreadNotice(unread.journal, unread.problem, unread.setAsideAs),
                                  {unread.journal, unread.setAsideAs});
}

StartUpPlan planStartUp(AppState &state, const std::optional<std::string> &keyword)
{
    StartUpPlan plan;
    state.editKind = EditKind::Browsefile;
    const std::optional<EditKind> kind = keyword ? editKindFromKeyword(*keyword) : std::nullopt;
    // Only the keywords the program and its shell hook send start an edit; any
    // other argument is a plain start.
    if (!kind || (!isRenamingKind(*kind) && *kind != EditKind::Savealls && *kind != EditKind::Savesomes))
        return plan;

    plan.plain = false;
    state.editKind = *kind;
    FileSystem &fs = state.platform.fileSystem;
    Prompter &prompter = state.platform.prompter;
    TargetSet &targets = state.targets;
    std::vector<std::string> &workList = state.run.workList;
    HandOffFile handOff(fs, state.settings.dataFolder());
    Error failure;
    const std::optional<std::vector<std::string>> paths = handOff.read(&failure);
    if (!paths && failure.code != ENOENT) {
        // Something else stands at its name (a FIFO, a device, a huge file):
        // nothing to edit, and the user learns why.
        prompter.information("The hand-off file could not be read: " + failure.message);
        plan.closeSoon = true;
    } else if (paths) {
        // Read already. One left is not read again: every hand-off writes
        // the file anew before it starts the next instance.
        (void)handOff.remove();
        workList = *paths;
        if (workList.empty()) {
            plan.closeSoon = true;
        } else {
            targets.sampleItem = workList.front();
            if (workList.size() == 1 && fs.folderExists(workList.front())) {
                targets.filesMode = false;
                targets.targetFolder = withTrailingBackslash(workList.front());
                workList.clear();
                targets.sampleItem = findSampleFile(fs, state.targetCounts, targets.targetFolder);
                if (state.targetCounts.folderIsEmpty) {
                    if (*kind == EditKind::Savealls || *kind == EditKind::Changexten) {
                        prompter.information("There is no file in this folder.");
                        plan.closeSoon = true;
                    } else if (prompter.show({"Confirmation",
                                              "There is no file in this folder, do you want to edit this folder name?",
                                              MessageIcon::Question, MessageButtons::YesNo})
                               == Answer::Yes) {
                        targets.folderScope = FolderScope::ThisFolderOnly;
                    } else {
                        plan.closeSoon = true;
                    }
                }
            }
        }
    }
    if (*kind == EditKind::Savesomes) {
        targets.filesMode = true;
        plan.showList = true;
    } else {
        state.handOffMode = true;
        plan.handOff = true;
        plan.showList = false;
    }
    // An instance that is about to end shows nothing more.
    plan.handOffTimer = !plan.closeSoon;
    return plan;
}

bool SessionSender::programPresent()
{
    FileSystem &fs = m_platform.fileSystem;
    const std::optional<std::string> path = fs.fromHostPath(m_program);
    if (path && fs.fileExists(*path))
        return true;
    m_platform.prompter.information("The program file is missing, please reinstall it.");
    return false;
}

EditKind SessionSender::keywordOfSubItem(const std::string &subItem)
{
    if (subItem == "Remove")
        return EditKind::Removpart;
    if (subItem == "Replace")
        return EditKind::Replapart;
    if (subItem == "Insert")
        return EditKind::Addnewnum;
    if (subItem == "Change")
        return EditKind::Changnew;
    if (subItem == "Extension")
        return EditKind::Changexten;
    return EditKind::Savesomes;
}

bool SessionSender::send(const std::vector<std::string> &targets, const std::string &subItem)
{
    FileSystem &fs = m_platform.fileSystem;
    HandOffFile handOff(fs, m_settings.dataFolder());
    if (!handOff.write(targets)) {
        m_platform.prompter.show({"Error", "The list of items could not be handed to the new session.",
                                        MessageIcon::Error, MessageButtons::Ok});
        return false;
    }
    EditKind kind = keywordOfSubItem(subItem);
    if (subItem == "Save")
        kind = saveKeywordFor(fs, targets);
    return m_platform.shell.startProgram(m_program, {std::string(keywordOf(kind))});
}

} // namespace renomiq
