#pragma once

#include "engine/code_page.h"
#include "engine/item_outcome.h"
#include "engine/pattern_replace.h"
#include "engine/string_tokens.h"

#include <optional>
#include <string>

namespace renomiq {

class FileSystem;
class Prompter;
class Clock;
struct EditRequest;
struct ItemSplit;

// Computes the new name of one item, checks it and renames the item (or lists
// it in a preview). Messages go through the Prompter; outcomes to a sink.
class NameEngine {
public:
    NameEngine(FileSystem &fileSystem, Prompter &prompter, const Clock &clock,
               CodePage codePage = CodePage(CodePage::Utf8));

    SpecialStrings &specialStrings() { return m_special; }
    const CodePage &codePage() const { return m_codePage; }

    // One item of a run, with the run's request. isFolder, when the caller
    // knows it (the walk that found the item), spares a look-up.
    void newNameFor(const EditRequest &request, const std::string &itemPath, OutcomeSink &sink,
                    std::optional<bool> isFolder = std::nullopt);

    // Makes the new path unique, validates it and renames or previews the item.
    void renameOne(const EditRequest &request, const std::string &itemPath, const std::string &folderPart,
                   const std::string &extensionPart, std::string namePart, OutcomeSink &sink);

    // False, after an information box, for a reserved name or a path of 256
    // characters or more.
    bool validateNewName(const std::string &namePart, std::size_t characterCount);
    // The message validateNewName would show, or empty.
    static std::string invalidNameMessage(const std::string &namePart, std::size_t characterCount);

    // False, after an information box, for a text that must not become part of
    // a name: a bad random-string token or one of the nine prohibited characters.
    bool checkInputText(const EditRequest &request, const std::string &text);

    std::string expandSpecial(const EditRequest &request, std::string_view text, const std::string &itemPath)
    {
        return m_special.expandSpecial(request, text, itemPath);
    }

private:
    // An execution's rename tried before any existence test, where that gives
    // what the "(n)" check would: true when it ended in an outcome, false when
    // the item must go the careful way.
    bool renameAtOnce(const std::string &itemPath, const std::string &newPath, const std::string &namePart,
                      const std::string &extensionPart, OutcomeSink &sink);
    // The Replace rule for a regular expression; an error when the pattern
    // does not compile or a match exceeds its limits.
    Result<std::string> replaceByPattern(const EditRequest &request, const std::string &name, const Expander &expand);
    void changeExtension(const EditRequest &request, const std::string &itemPath, const ItemSplit &split,
                         OutcomeSink &sink);

    FileSystem &m_fileSystem;
    Prompter &m_prompter;
    CodePage m_codePage;
    SpecialStrings m_special;
    PatternCache m_patterns;
};

} // namespace renomiq
