#include "engine/name_engine.h"

#include "engine/edit_request.h"
#include "engine/item_path.h"
#include "engine/name_rules.h"
#include "engine/text_rules.h"
#include "platform/file_system.h"
#include "platform/prompter.h"

#include <cerrno>

namespace renomiq {

NameEngine::NameEngine(FileSystem &fileSystem, Prompter &prompter, const Clock &clock, CodePage codePage)
    : m_fileSystem(fileSystem), m_prompter(prompter), m_codePage(codePage), m_special(fileSystem, prompter, clock)
{
}

void NameEngine::newNameFor(const EditRequest &request, const std::string &itemPath, OutcomeSink &sink,
                            std::optional<bool> knownFolder)
{
    const bool isFolder = knownFolder ? *knownFolder : m_fileSystem.folderExists(itemPath);
    ItemSplit split = splitItemPath(itemPath, isFolder);
    const Expander expand = [&](std::string_view text) { return expandSpecial(request, text, itemPath); };

    std::string oldName = split.namePart;
    std::string name;
    switch (request.kind) {
    case EditKind::Removpart:
        name = NameRules::remove(request, oldName, m_codePage);
        break;
    case EditKind::Replapart:
        if (request.replaceRegex && request.replaceMode == ReplaceMode::String) {
            Result<std::string> replaced = replaceByPattern(request, oldName, expand);
            if (!replaced) {
                ItemOutcome outcome = ItemOutcome::of(OutcomeKind::RenameFailed, itemPath, itemPath);
                outcome.error = replaced.error();
                sink.report(outcome);
                return;
            }
            name = std::move(replaced).value();
            break;
        }
        name = NameRules::replace(request, oldName, m_codePage, expand);
        break;
    case EditKind::Addnewnum:
        name = NameRules::insert(request, oldName, m_codePage, expand);
        break;
    case EditKind::Changnew:
        if (request.changeMode == ChangeMode::NewName) {
            name = expand(request.newName);
            break;
        }
        if (request.includeExtension) {
            oldName += split.extensionPart;
            split.extensionPart.clear();
        }
        switch (request.nameCase) {
        case NameCase::Lower: name = NameRules::lowerCase(oldName, request.capitalizeFirstLetter); break;
        case NameCase::Upper: name = asciiUpper(oldName); break;
        case NameCase::CapitalizeEveryWord:
            name = NameRules::capitalizeEveryWord(oldName, request.excludeSmallWords);
            break;
        }
        break;
    case EditKind::Changexten:
        if (!isFolder)
            changeExtension(request, itemPath, split, sink);
        return;
    default:
        return; // the export kinds never reach the engine
    }

    if (name.empty()) {
        m_prompter.informationAbout("The new name of '" + itemPath + "' is EMPTY, can not be renamed.", {itemPath});
        sink.report(ItemOutcome::of(OutcomeKind::EmptyName, itemPath));
    } else if (name != oldName) {
        renameOne(request, itemPath, split.folderPart, split.extensionPart, name, sink);
    } else {
        sink.report(ItemOutcome::of(OutcomeKind::Unchanged, itemPath));
    }
}

Result<std::string> NameEngine::replaceByPattern(const EditRequest &request, const std::string &name,
                                                 const Expander &expand)
{
    PatternError error;
    const std::shared_ptr<const NamePattern> pattern = m_patterns.get(
        request.oldString, request.replaceCaseSensitive, m_codePage.kind() == CodePage::Utf8, &error);
    if (!pattern)
        return Error{0, patternErrorMessage(request.oldString, error)};
    return NameRules::replacePattern(request, name, *pattern, expand);
}

void NameEngine::changeExtension(const EditRequest &request, const std::string &itemPath, const ItemSplit &split,
                                 OutcomeSink &sink)
{
    std::string extension;
    if (request.extensionMode == ExtensionMode::Change) {
        const bool qualifies =
            request.replaceAllTypes || asciiLower(request.oldExtension) == asciiLower(split.extensionPart);
        extension = qualifies ? request.newExtension : split.extensionPart;
    } else {
        extension = request.extensionCase == ExtensionCase::Lower ? asciiLower(split.extensionPart)
                                                                  : asciiUpper(split.extensionPart);
    }
    if (extension != split.extensionPart) {
        renameOne(request, itemPath, split.folderPart, extension, split.namePart, sink);
    } else {
        ItemOutcome outcome = ItemOutcome::of(OutcomeKind::Unchanged, itemPath);
        outcome.byExtensionRule = true;
        sink.report(outcome);
    }
}

void NameEngine::renameOne(const EditRequest &request, const std::string &itemPath, const std::string &folderPart,
                           const std::string &extensionPart, std::string namePart, OutcomeSink &sink)
{
    if (!namePart.empty() && namePart[0] == ' ') {
        namePart.erase(0, namePart.find_first_not_of(' '));
        if (namePart.empty())
            namePart = "(none)";
    }
    if (!namePart.empty() && namePart[0] == '.') {
        namePart.erase(0, namePart.find_first_not_of('.'));
        if (namePart.empty())
            namePart = "(none)";
    }

    // An execution renames at once and runs the "(n)" check only when the name
    // is taken (the rename never replaces anything): the same result, without
    // an existence test per item. A name that differs from the old one only in
    // letter case takes the check first, as a file system that ignores case
    // finds the item itself there.
    if (!request.preview && !request.isCaseConversion()
        && !m_codePage.equalIgnoringCase(lastComponentOf(itemPath), namePart + extensionPart)
        && renameAtOnce(itemPath, folderPart + namePart + extensionPart, namePart, extensionPart, sink))
        return;

    int n = 0;
    if (!request.isCaseConversion()) {
        while (m_fileSystem.exists(folderPart + namePart + extensionPart))
            namePart += "(" + std::to_string(++n) + ")";
    }
    const std::string newPath = folderPart + namePart + extensionPart;

    ItemOutcome outcome = ItemOutcome::of(OutcomeKind::Refused, itemPath, newPath);
    if (!validateNewName(namePart, m_codePage.characterCount(newPath))) {
        sink.report(outcome);
        return;
    }
    if (request.preview) {
        outcome.kind = OutcomeKind::Previewed;
        outcome.namePart = namePart;
        outcome.extensionPart = extensionPart;
        outcome.suffixCount = n;
        sink.report(outcome);
        return;
    }
    // A separator in the new name would move the item into another folder.
    if (namePart.find_first_of("\\/") != std::string::npos || extensionPart.find_first_of("\\/") != std::string::npos) {
        outcome.kind = OutcomeKind::RenameFailed;
        outcome.error = Error{EINVAL, "The new name of '" + itemPath + "' holds a path separator"};
        sink.report(outcome);
        return;
    }
    if (!sink.renaming(itemPath, newPath))
        return;
    Status status = m_fileSystem.rename(itemPath, newPath);
    outcome.kind = status ? OutcomeKind::Renamed : OutcomeKind::RenameFailed;
    if (!status)
        outcome.error = status.error();
    sink.report(outcome);
}

bool NameEngine::renameAtOnce(const std::string &itemPath, const std::string &newPath, const std::string &namePart,
                              const std::string &extensionPart, OutcomeSink &sink)
{
    // Names the check would refuse or report take the careful way, with its messages.
    if (!invalidNameMessage(namePart, m_codePage.characterCount(newPath)).empty()
        || namePart.find_first_of("\\/") != std::string::npos || extensionPart.find_first_of("\\/") != std::string::npos)
        return false;
    if (!sink.renaming(itemPath, newPath))
        return true; // refused, or the run stops: the sink has seen to it
    Status status = m_fileSystem.rename(itemPath, newPath);
    if (!status && status.error().code == EEXIST) {
        sink.renameNotMade(itemPath, newPath);
        return false;
    }
    ItemOutcome outcome = ItemOutcome::of(status ? OutcomeKind::Renamed : OutcomeKind::RenameFailed, itemPath, newPath);
    if (!status)
        outcome.error = status.error();
    sink.report(outcome);
    return true;
}

std::string NameEngine::invalidNameMessage(const std::string &namePart, std::size_t characterCount)
{
    static const std::string_view reserved[] = {"con", "aux", "com1", "lpt1", "prn", "nul"};
    for (std::string_view name : reserved) {
        if (namePart == name)
            return "The new filename: '" + namePart
                + "' can not be renamed, because some names(con, aux, com1, lpt1, prn, nul) are reserved by Windows, "
                  "you should use another name.";
    }
    if (characterCount >= 256)
        return "The new filename: '" + namePart
            + "' can not be renamed, because the filename(plus path) is too long(>255 characters), you should "
              "shorten it.";
    return {};
}

bool NameEngine::validateNewName(const std::string &namePart, std::size_t characterCount)
{
    const std::string message = invalidNameMessage(namePart, characterCount);
    if (message.empty())
        return true;
    m_prompter.informationAbout(message, {namePart});
    return false;
}

bool NameEngine::checkInputText(const EditRequest &request, const std::string &text)
{
    if (!m_special.checkRandomTokens(request, text))
        return false;
    if (text.find_first_of("\\/:*?\"<>|") != std::string::npos) {
        m_prompter.information("You should remove one of following nine characters from input text, because they "
                               "are prohibited in Windows filenames: "
                               " \\ / : * ? \" < > |");
        return false;
    }
    return true;
}

} // namespace renomiq
