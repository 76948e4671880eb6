#include "run/name_export.h"

#include "engine/item_path.h"
#include "engine/string_tokens.h"
#include "engine/text_rules.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "platform/shell.h"
#include "platform/text_lines.h"
#include "state/app_state.h"
#include "run/run_observer.h"
#include "targets/folder_walks.h"

#include <cstdio>
#include <cstring>
#include <optional>

namespace renomiq {

namespace {

using Content = ExportChoices::Content;

bool containsItem(const std::string &list, const std::string &key)
{
    return ("," + list + ",").find(key) != std::string::npos;
}

} // namespace

bool exportAcceptsType(const ExportChoices &choices, const std::string &fileName)
{
    const std::size_t dot = fileName.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot);
    const std::string key = "," + asciiLower(extension.empty() ? extension : extension.substr(1)) + ",";
    const struct {
        bool ticked;
        const char *list;
    } boxes[] = {
        {choices.music, "mp3,wma,wav,swf"},
        {choices.document, "doc,txt,ppt,pdf,xls,htm,mht"},
        {choices.film, "avi,wmv,rm,rmvb,mpg,mpeg,mp4"},
        {choices.picture, "bmp,jpg,jpeg,gif,tif,tiff,png,psd"},
        {choices.program, "exe,rar,zip,iso,chm"},
    };
    for (const auto &box : boxes) {
        if (box.ticked && containsItem(box.list, key))
            return true;
    }
    if (choices.other && !choices.otherTypes.empty()) {
        if (containsItem(choices.otherTypes, key))
            return true;
        if (!extension.empty() && ("," + choices.otherTypes + ",").find(extension) != std::string::npos)
            return true;
    }
    return false;
}

std::string NameExporter::dateLine() const
{
    return "[" + localDateTimeText(m_state.platform.clock.now()) + "]";
}

std::string NameExporter::fileLine(const ExportChoices &choices, const DirEntry &entry) const
{
    std::string line = m_indent + entry.name;
    if (choices.fileSize)
        line += "  " + SpecialStrings::formatSize(entry.size, m_state.engine.specialStrings().decimalSeparator(), "Byte");
    if (choices.fileDateTime) {
        const CalendarTime t = m_state.platform.fileSystem.toLocalTime(entry.lastWriteTime);
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "  %d%02d%02d %d:%02d", t.year, t.month, t.day, t.hour, t.minute);
        line += buffer;
    }
    return line;
}

void NameExporter::visitForExport(const ExportChoices &choices, const std::string &folder,
                                  std::vector<std::string> &lines)
{
    const std::string p = withTrailingBackslash(folder);
    const bool enterSubfolders = choices.content != Content::SubfoldersAndFilenames;
    FileSystem &fs = m_state.platform.fileSystem;
    // Held for both passes: the folder listed is the one entered, whatever
    // its path leads to meanwhile; a subfolder swapped for a link is left out.
    std::optional<FolderHold> hold;
    if (!m_filePass) {
        hold.emplace(fs, p);
        if (!hold->status()) {
            leftOut(p, std::strerror(hold->status().error().code));
            // The indent of both passes, as they would have ended.
            m_indent.resize(m_indent.size() >= 2 ? m_indent.size() - 2 : 0);
            return;
        }
    }
    if (!m_filePass) {
        // Names holding '\' never reach the listing below: only counted here.
        // A folder that cannot be read fails that listing too, which reports it.
        (void)fs.enumerateNames(p, [](const FileSystem::NameEntry &) { return false; },
                          [&](const std::string &name, const std::string &reason) { leftOut(p + name, reason); });
    }
    const Status listed = fs.enumerate(p, [&](const DirEntry &entry) {
        if (m_state.run.stopRequest)
            return false;
        const int position = m_observer.progressPosition() + 1;
        m_observer.setProgressPosition(position >= 600 ? 0 : position);
        m_observer.processEvents();
        if (!m_filePass && entry.isDirectory) {
            const bool webpage = isWebpageFolder(entry.name);
            if (webpage
                && !(m_state.editKind == EditKind::Savealls && choices.content == Content::AllFilenames
                     && choices.includeWebpageFolder))
                return true;
            lines.push_back(m_indent + "<" + entry.name + ">");
            // A linked folder is listed, never entered: no loops, nothing outside the tree.
            if ((webpage || enterSubfolders) && !entry.isLink) {
                m_indent += "  ";
                visitForExport(choices, p + entry.name, lines);
            }
        } else if (m_filePass && !entry.isDirectory && choices.content != Content::OnlySubfolders) {
            if (!choices.specialTypes || exportAcceptsType(choices, entry.name))
                lines.push_back(fileLine(choices, entry));
        }
        return true;
    });
    if (!listed && !m_filePass)
        leftOut(p, std::strerror(listed.error().code));
    if (!m_filePass) {
        m_filePass = true;
        visitForExport(choices, folder, lines);
    } else {
        m_filePass = false;
    }
    if (!m_indent.empty())
        m_indent.pop_back();
}

void NameExporter::leftOut(const std::string &path, const std::string &reason)
{
    if (++m_leftOutCount <= 5)
        m_leftOutShown.push_back(path + " (" + reason + ")");
}

void NameExporter::reportLeftOut()
{
    if (m_leftOutCount == 0)
        return;
    std::string text = std::to_string(m_leftOutCount)
        + (m_leftOutCount == 1 ? " item could not be read and is not in the list:" : " items could not be read and are not in the list:");
    for (const std::string &shown : m_leftOutShown)
        text += "\n" + shown;
    if (m_leftOutCount > m_leftOutShown.size())
        text += "\n...";
    m_state.platform.prompter.informationAbout(text, m_leftOutShown);
    m_leftOutCount = 0;
    m_leftOutShown.clear();
}

std::vector<std::string> NameExporter::folderLines(const ExportChoices &choices)
{
    const std::string &folder = m_state.targets.targetFolder;
    std::vector<std::string> lines;
    m_indent.clear();
    m_filePass = false;
    if (choices.content == Content::AllFilenames) {
        lines.push_back("Files name(ALL layers) in folder, " + folder);
        lines.push_back(dateLine());
        m_state.run.progressJob = ProgressJob::SaveNames;
        m_observer.runWithProgress([&] {
            m_observer.showSearchPanel(true);
            m_observer.setProgressMaximum(600);
            m_observer.setProgressPosition(0);
            visitForExport(choices, folder, lines);
            m_observer.showSearchPanel(false);
        });
        m_state.run.progressJob = ProgressJob::None;
        m_state.run.stopRequest = false;
    } else {
        if (m_windows)
            m_windows->setBusy(true);
        lines.push_back((choices.content == Content::SubfoldersAndFilenames ? "Files name(ONE layer) in folder, "
                                                                            : "All subfolders name in folder, ")
                        + folder);
        lines.push_back(dateLine());
        visitForExport(choices, folder, lines);
        if (m_windows)
            m_windows->setBusy(false);
    }
    return lines;
}

std::vector<std::string> NameExporter::filesLines()
{
    FileSystem &fs = m_state.platform.fileSystem;
    const std::vector<std::string> &files = m_state.run.workList;
    std::vector<std::string> lines{dateLine(), "Selected files names:"};
    std::string folder;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string part = splitItemPath(files[i], true).folderPart;
        if (i == 0 || part != folder) {
            folder = part;
            lines.push_back("In folder, <" + folder + ">");
        }
        const std::string name = lastComponentOf(files[i]);
        lines.push_back(fs.folderExists(files[i]) ? "  <" + name + ">" : "  " + name);
    }
    return lines;
}

std::string NameExporter::chooseFile()
{
    Platform &platform = m_state.platform;
    SaveFileRequest request;
    request.title = "Select file to save filenames";
    request.filters = {{"text file(*.txt)", "*.txt"}};
    request.defaultExtension = "txt";
    for (;;) {
        auto chosen = platform.shell.saveFile(request);
        if (!chosen || chosen->empty())
            return {};
        if (!platform.fileSystem.exists(*chosen) && !platform.fileSystem.exists(*chosen + ".txt"))
            return *chosen;
        if (platform.prompter.show({"Confirmation", "The file is existing, replace it ?", MessageIcon::Question,
                                    MessageButtons::OkCancel})
            == Answer::Ok)
            return *chosen;
    }
}

std::string NameExporter::write(const std::string &chosen, const std::vector<std::string> &lines)
{
    FileSystem &fs = m_state.platform.fileSystem;
    const std::string content = joinLines(lines);
    std::string target = chosen;
    const std::size_t dot = target.rfind('.');
    if (dot == std::string::npos || asciiLower(target.substr(dot)) != ".txt")
        target += ".txt";
    if (fs.writeFileAtomic(target, content))
        return target;

    // The chosen file cannot be written: C:\filenames.txt, or the first free
    // C:\filenames(n).txt; where drive C takes nothing either, the data folder.
    for (const std::string &base : {std::string("C:\\filenames"), m_state.settings.dataFolder() + "filenames"}) {
        std::string fallback = base + ".txt";
        for (int n = 1; fs.exists(fallback); ++n)
            fallback = base + "(" + std::to_string(n) + ").txt";
        if (fs.writeFileAtomic(fallback, content)) {
            m_state.platform.prompter.information("The filename had been saved to:" + fallback);
            return fallback;
        }
    }
    m_state.platform.prompter.show({"Error", "The filename list could not be saved to '" + target + "'.",
                                    MessageIcon::Error, MessageButtons::Ok});
    return {};
}

std::string NameExporter::exportNames(const ExportChoices &choices)
{
    const std::string chosen = chooseFile();
    if (chosen.empty())
        return {};
    const std::vector<std::string> lines =
        m_state.targets.filesMode ? filesLines() : folderLines(choices);
    const std::string written = write(chosen, lines);
    reportLeftOut();
    if (written.empty())
        return {};
    const Options &options = m_state.settings.options;
    if (!options.dontOpenAfterSave)
        m_state.platform.shell.open(written);
    if (options.exitAfterOperation) {
        if (m_windows)
            m_windows->closeListWindow();
    } else {
        m_state.run.operationRan = true;
        if (m_windows)
            m_windows->closeEditor();
    }
    return written;
}

} // namespace renomiq
