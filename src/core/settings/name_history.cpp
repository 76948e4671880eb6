#include "settings/name_history.h"

#include "engine/code_page.h"
#include "engine/edit_request.h"
#include "platform/file_system.h"
#include "platform/prompter.h"
#include "platform/text_lines.h"

#include <algorithm>
#include <cerrno>

namespace renomiq {

NameHistory::NameHistory(FileSystem &fileSystem, std::string dataFolder, int &maximum)
    : m_fileSystem(fileSystem), m_dataFolder(std::move(dataFolder)), m_maximum(maximum)
{
}

void NameHistory::notify()
{
    if (m_notify)
        m_notify();
}

void NameHistory::load()
{
    auto content = m_fileSystem.readFile(filePath(), kFileLimit);
    if (!content)
        return;
    m_entries = splitLines(*content);
    notify();
}

Status NameHistory::write()
{
    return m_fileSystem.writeFileAtomic(filePath(), joinLines(m_entries));
}

Status NameHistory::removeFile()
{
    Status removed = m_fileSystem.removeFile(filePath());
    if (!removed && removed.error().code == ENOENT) // a list never saved
        return Status::success();
    return removed;
}

Status NameHistory::add(const std::string &text)
{
    Status written;
    {
        // Another instance may have added since this one loaded: start from the file.
        auto lock = m_fileSystem.lockExclusive(m_dataFolder + "Newname.lock");
        if (auto content = m_fileSystem.readFile(filePath(), kFileLimit))
            m_entries = splitLines(*content);
        const CodePage codePage;
        std::erase_if(m_entries, [&](const std::string &e) { return codePage.equalIgnoringCase(e, text); });
        m_entries.insert(m_entries.begin(), text);
        if (m_maximum != 0) {
            if (m_entries.size() > static_cast<std::size_t>(m_maximum))
                m_entries.resize(static_cast<std::size_t>(m_maximum));
            written = write();
        } else {
            written = removeFile();
            m_entries.clear();
        }
    }
    notify();
    load();
    return written;
}

Status NameHistory::remember(const EditRequest &request)
{
    if (request.preview)
        return Status::success();
    std::vector<const std::string *> texts;
    switch (request.kind) {
    case EditKind::Addnewnum:
        if (request.insertMode == InsertMode::ToPosition) {
            if (request.atHead)
                texts.push_back(&request.headText);
            if (request.atEnd)
                texts.push_back(&request.endText);
            if (request.atCursor)
                texts.push_back(&request.cursorText);
        } else {
            texts.push_back(&request.insertText);
        }
        break;
    case EditKind::Replapart: texts.push_back(&request.newString); break;
    case EditKind::Changnew: texts.push_back(&request.newName); break;
    default: break;
    }
    Status written;
    for (const std::string *text : texts) {
        if (text->empty())
            continue;
        Status added = add(*text);
        if (written && !added)
            written = added;
    }
    return written;
}

Status NameHistory::trim(int previousMaximum)
{
    if (m_maximum >= previousMaximum)
        return Status::success();
    Status written;
    {
        // The list may not have been read yet (no editor shown so far), and
        // another instance may have added since: cut what the file holds.
        auto lock = m_fileSystem.lockExclusive(m_dataFolder + "Newname.lock");
        if (auto content = m_fileSystem.readFile(filePath(), kFileLimit))
            m_entries = splitLines(*content);
        if (m_entries.size() > static_cast<std::size_t>(m_maximum))
            m_entries.resize(static_cast<std::size_t>(m_maximum));
        written = write();
    }
    notify();
    return written;
}

bool NameHistory::clear(Prompter &prompter)
{
    const Answer answer = prompter.show({"Clear Confirmation", "Do you want to clear the new name list ?",
                                         MessageIcon::Question, MessageButtons::YesNo});
    if (answer != Answer::Yes)
        return false;
    const Status removed = removeFile();
    m_entries.clear();
    notify();
    if (!removed)
        prompter.show({"Error", failureText(removed.error()), MessageIcon::Error, MessageButtons::Ok});
    return true;
}

NameHistory::EditedSave NameHistory::saveEditedText(const std::string &text)
{
    std::vector<std::string> lines = splitLines(text);
    std::erase_if(lines, [](const std::string &line) { return line.empty(); });
    EditedSave save;
    save.written = lines.empty() ? removeFile() : m_fileSystem.writeFileAtomic(filePath(), joinLines(lines));
    m_entries = lines;
    notify();
    const int count = std::min(static_cast<int>(lines.size()), 100);
    save.maximumChanged = count != m_maximum;
    m_maximum = count;
    return save;
}

std::string NameHistory::failureText(const Error &error)
{
    return "The new name list could not be saved: " + error.message;
}

} // namespace renomiq
