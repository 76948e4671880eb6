#include "run/single_rename.h"

#include "engine/edit_request.h"
#include "engine/item_path.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "engine/name_engine.h"
#include "settings/settings_store.h"
#include "run/undo_log.h"
#include "platform/clock.h"
#include "run/undo_history.h"

namespace renomiq {

namespace {

std::string folderPartOf(const std::string &path)
{
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace

SingleRename::Fields SingleRename::fieldsFor(const std::string &oldPath) const
{
    FileSystem &fs = m_platform.fileSystem;
    if (fs.fileExists(oldPath))
        return refilledFields(oldPath, {"Rename a file", {}, {}, true});
    return refilledFields(oldPath, {fs.folderExists(oldPath) ? "Rename a folder" : "Rename a file", {}, {}, false});
}

SingleRename::Fields SingleRename::refilledFields(const std::string &oldPath, const Fields &opened)
{
    Fields f = opened;
    const std::string last = lastComponentOf(oldPath);
    if (opened.extensionShown) {
        const std::size_t dot = last.rfind('.');
        f.name = dot == std::string::npos ? last : last.substr(0, dot);
        f.extension = dot == std::string::npos ? std::string() : last.substr(dot);
    } else {
        f.name = last;
        f.extension.clear();
    }
    return f;
}

SingleRename::Result SingleRename::rename(const std::string &folderBox, const std::string &oldPath,
                                          const std::string &name, std::string extension)
{
    FileSystem &fs = m_platform.fileSystem;
    Prompter &prompter = m_platform.prompter;
    Result result;
    if (!extension.empty() && extension.front() != '.')
        extension.insert(extension.begin(), '.');
    const std::size_t first = name.find_first_not_of(' ');
    result.name = first == std::string::npos ? std::string() : name.substr(first);
    if (result.name.empty()) {
        prompter.information("The new name is empty.");
        return result;
    }
    const bool filesMode = folderBox.empty();
    const std::string newName = result.name + extension;
    if (!filesMode)
        result.newPath = folderBox + newName;
    else if (fs.fileExists(oldPath))
        result.newPath = folderPartOf(oldPath) + newName;
    else
        result.newPath = folderPartOf(oldPath) + result.name;

    if (fs.exists(result.newPath)) {
        prompter.information("The new name is already existing.");
        return result;
    }
    if (!m_engine.checkInputText(EditRequest{}, filesMode && !fs.fileExists(oldPath) ? result.name : newName))
        return result;
    // Recorded as a run records its items: the undo renames back only this
    // item, in this folder.
    const std::optional<ItemId> identity = fs.itemId(oldPath);
    const std::vector<ItemId> chain = fs.folderChain(folderPartOf(oldPath));
    if (!fs.rename(oldPath, result.newPath)) {
        prompter.information("Can not rename, the file is on CD or using or missed.");
        result.outcome = Outcome::Failed;
        return result;
    }
    result.rowText = filesMode ? result.newPath : newName;
    const Status written = UndoHistory(fs, m_settings.dataFolder())
                               .recordSingleRename(result.newPath, oldPath, m_platform.clock.now(), identity, chain);
    if (!written)
        prompter.show({"Error", "The undo log could not be written: " + written.error().message, MessageIcon::Error,
                       MessageButtons::Ok});
    result.outcome = Outcome::Renamed;
    return result;
}

} // namespace renomiq
