#include "settings/folder_history.h"

#include "engine/code_page.h"
#include "platform/prompter.h"
#include "settings/settings_store.h"

namespace renomiq {

void FolderHistory::load()
{
    m_store.loadOptions(&m_entries);
}

void FolderHistory::save(const WindowGeometry &window)
{
    m_store.saveWindowPlacementAndFolders(window, m_entries);
}

std::size_t FolderHistory::add(const std::string &folder)
{
    const CodePage codePage;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (codePage.equalIgnoringCase(m_entries[i], folder))
            return i;
    }
    m_entries.insert(m_entries.begin(), folder);
    return 0;
}

void FolderHistory::removeAt(std::size_t index)
{
    if (index < m_entries.size())
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
}

bool FolderHistory::clear(Prompter &prompter)
{
    const Answer answer = prompter.show({"Clear Confirmation", "Do you want to clear the Used folder list ?",
                                         MessageIcon::Question, MessageButtons::YesNo});
    if (answer != Answer::Yes)
        return false;
    m_store.deleteFolderValues(0);
    m_entries.clear();
    return true;
}

} // namespace renomiq
