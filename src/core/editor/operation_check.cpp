#include "editor/operation_check.h"

#include "engine/name_engine.h"
#include "engine/pattern_replace.h"
#include "engine/text_rules.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "state/app_state.h"
#include "targets/folder_walks.h"

#include <vector>

namespace renomiq {

namespace {

// What the checks of one kind leave behind.
struct KindCheck {
    bool error = false;
    EditorBox focus = EditorBox::None;
    std::string confirmation; // empty: nothing to confirm
    bool cleanBox = false;    // the clean-symbols question instead of the confirmation box
    bool confirmed = false;   // an empty-part question was answered OK: run without more
};

class Checker {
public:
    Checker(AppState &state, EditorInputs &inputs, Prompter &prompter, NameEngine &engine)
        : m_state(state), m_inputs(inputs), m_r(inputs.request), m_prompter(prompter), m_engine(engine)
    {
        const std::string go = m_r.preview ? "continue preview ?" : "continue ?";
        m_suffix = m_state.targets.filesMode ? go : "Edit content is (" + inputs.scopeCaption + ")," + go;
    }

    KindCheck run()
    {
        switch (m_r.kind) {
        case EditKind::Removpart:
            switch (m_r.removeMode) {
            case RemoveMode::Strings: removeStrings(); break;
            case RemoveMode::Anything: removeAnything(); break;
            case RemoveMode::CleanSymbols: cleanSymbols(); break;
            case RemoveMode::Keep: keep(); break;
            }
            break;
        case EditKind::Replapart:
            m_r.replaceMode == ReplaceMode::String ? replaceString() : replaceLength();
            break;
        case EditKind::Addnewnum:
            m_r.insertMode == InsertMode::ToPosition ? insertToPosition() : insertToString();
            break;
        case EditKind::Changnew: change(); break;
        case EditKind::Changexten: extension(); break;
        default: m_check.error = true; break;
        }
        return m_check;
    }

    const std::string &suffix() const { return m_suffix; }

private:
    void refuse(const std::string &message, EditorBox focus = EditorBox::None)
    {
        m_prompter.information(message);
        m_check.error = true;
        if (focus != EditorBox::None)
            m_check.focus = focus;
    }

    bool checkInput(const std::string &text)
    {
        if (m_engine.checkInputText(m_r, text))
            return true;
        m_check.error = true;
        return false;
    }

    void confirm(const std::string &text) { m_check.confirmation = text + m_suffix; }

    // An empty-part question, asked in a preview too. False (with the focus
    // set) unless answered OK.
    bool askEmptyPart(const std::string &text, EditorBox focus)
    {
        if (m_prompter.show({"Confirmation", text, MessageIcon::Question, MessageButtons::OkCancel}) == Answer::Ok) {
            m_check.confirmed = true;
            return true;
        }
        m_check.error = true;
        m_check.focus = focus;
        return false;
    }

    static std::string joinNonEmpty(std::initializer_list<const std::string *> texts)
    {
        std::string list;
        for (const std::string *t : texts) {
            if (t->empty())
                continue;
            list += (list.empty() ? "" : "' and '") + *t;
        }
        return list;
    }

    std::string caseText(bool sensitive) const { return sensitive ? "(case sensitive)" : "(case insensitive)"; }
    std::string positionText(Direction d) const { return d == Direction::FromHead ? "head) of '" : "end) of '"; }
    bool noSelection() const { return m_r.selectionLength == 0; }

    void removeStrings()
    {
        const auto &s = m_r.removeStrings;
        if (s[0].empty() && s[1].empty() && s[2].empty())
            return refuse("Please select or input string to be removed.", EditorBox::RemoveString1);
        confirm("It will remove the strings of '" + joinNonEmpty({&s[0], &s[1], &s[2]}) + "'"
                + caseText(m_r.removeCaseSensitive) + " from original filenames,\n");
    }

    void removeAnything()
    {
        if (m_r.anythingMode == AnythingMode::SelectedPart) {
            if (noSelection())
                return refuse("You have not selected part, please use mouse select the part you want to remove.");
            return confirm("It will remove the part at the position(from " + positionText(m_r.removeDirection)
                           + m_inputs.selectedText + "',\n");
        }
        if (m_r.leftString.empty() || m_r.rightString.empty())
            return refuse("Please select or input strings to define limition.",
                          m_r.leftString.empty() ? EditorBox::LeftString : EditorBox::RightString);
        confirm("It will remove the part between '" + m_r.leftString + "' and '" + m_r.rightString + "',\n");
    }

    void cleanSymbols()
    {
        const bool eraseEmpty = m_r.alsoEraseOthers && m_r.alsoEraseText.empty();
        const bool keepEmpty = m_r.keepOthers && m_r.keepOthersText.empty();
        if (eraseEmpty || keepEmpty)
            return refuse(std::string("Please select or input special symbols ")
                              + (m_r.alsoEraseOthers ? "to remove" : "of dont remove"),
                          keepEmpty ? EditorBox::KeepOthersText : EditorBox::AlsoEraseText);
        m_check.confirmation = "It will clean symbols, continue ?";
        m_check.cleanBox = true;
    }

    void keep()
    {
        if (m_r.keepMode == KeepMode::SelectedPart) {
            if (noSelection())
                return refuse("You have not selected part, please use mouse select the part you want to Keep.");
            return confirm("It will KEEP the part at the position(from " + positionText(m_r.keepDirection)
                           + m_inputs.selectedText + "',\n");
        }
        const auto &k = m_r.keepStrings;
        if (k[0].empty() && k[1].empty())
            return refuse("Please select or input strings to define limition.",
                          k[0].empty() ? EditorBox::KeepString1 : EditorBox::KeepString2);
        confirm("It will KEEP the string of '" + joinNonEmpty({&k[0], &k[1]}) + "',\n");
    }

    void replaceString()
    {
        if (m_r.oldString.empty())
            return refuse("Please input the old part of file name", EditorBox::OldString);
        if (m_r.replaceRegex)
            return replacePattern();
        if (m_r.newString.empty()) {
            const std::string text = m_r.replaceCaseSensitive
                ? "The new part is empty, it will REMOVE old part '" + m_r.oldString
                    + "'(case sensitive) from original filenames! continue ?"
                : "The new part is empty, it will REMOVE old part '" + m_r.oldString
                    + "'(case insensitive) from original filenames,\n" + m_suffix;
            askEmptyPart(text, EditorBox::NewString);
            return;
        }
        if (!checkInput(m_r.newString))
            return;
        confirm("It will replace the old strings '" + m_r.oldString + "'" + caseText(m_r.replaceCaseSensitive)
                + " by new string '" + m_r.newString + "',\n");
    }

    // "Old string:" is a regular expression: it must compile, and the new
    // string may refer only to groups it has.
    void replacePattern()
    {
        const auto error = [this](const std::string &text, EditorBox focus) {
            m_prompter.show({"Error", text, MessageIcon::Error, MessageButtons::Ok});
            m_check.error = true;
            m_check.focus = focus;
        };
        PatternError compileError;
        const auto pattern = NamePattern::compile(m_r.oldString, m_r.replaceCaseSensitive,
                                                  m_engine.codePage().kind() == CodePage::Utf8, &compileError);
        if (!pattern)
            return error(patternErrorMessage(m_r.oldString, compileError), EditorBox::OldString);
        const int highest = GroupTemplate::parse(m_r.newString).highestGroup();
        if (highest > pattern->groupCount())
            return error("The new string refers to {" + std::to_string(highest) + "}, but the regular expression '"
                             + m_r.oldString + "' has " + std::to_string(pattern->groupCount()) + " group(s).",
                         EditorBox::NewString);
        const std::string matching = "the parts matching the pattern '" + m_r.oldString + "'"
            + caseText(m_r.replaceCaseSensitive);
        if (m_r.newString.empty()) {
            askEmptyPart("The new part is empty, it will REMOVE " + matching + " from original filenames,\n" + m_suffix,
                         EditorBox::NewString);
            return;
        }
        if (!checkInput(m_r.newString))
            return;
        confirm("It will replace " + matching + " by new string '" + m_r.newString + "',\n");
    }

    void replaceLength()
    {
        if (noSelection())
            return refuse("You have not selected part, please use mouse select the part you want to replace.");
        if (m_r.newString.empty()) {
            askEmptyPart("The new part is empty, it will REMOVE old part '" + m_inputs.selectedText
                             + "' from original filenames! continue ?",
                         EditorBox::NewString);
            return;
        }
        // The new text becomes part of every name, as in the other modes.
        if (!checkInput(m_r.newString))
            return;
        confirm(std::string(m_r.replaceDirection == Direction::FromHead
                                ? "It will replace the part at the position(from head) of '"
                                : "It will replace the part at the position(from end) of '")
                + m_inputs.selectedText + "',\n");
    }

    void insertToPosition()
    {
        if (m_r.atCursor && !m_inputs.cursorPicked)
            return refuse("You selected CURSOR position, so you should use mouse point the position(in old "
                          "filename) you want to insert.");
        if (!m_r.atHead && !m_r.atEnd && !m_r.atCursor)
            return refuse("You have not selected insert position, please select one or more checkbox.");
        const struct {
            bool ticked;
            const std::string &text;
            const char *name;
            EditorBox focus;
        } boxes[] = {
            {m_r.atHead, m_r.headText, "HEAD", EditorBox::HeadText},
            {m_r.atEnd, m_r.endText, "END", EditorBox::EndText},
            {m_r.atCursor, m_r.cursorText, "at CURSOR", EditorBox::CursorText},
        };
        for (const auto &box : boxes) {
            if (box.ticked && box.text.empty())
                refuse(std::string("You have not inputted text of ") + box.name + " string to insert.", box.focus);
        }
        if (m_check.error)
            return;
        for (const auto &box : boxes) {
            if (box.ticked && !checkInput(box.text))
                return;
        }
        const auto headPiece = [](const std::string &t) { return "insert '" + t + "' to the HEAD of all filenames,\n"; };
        const auto endPiece = [](const std::string &t) { return "insert '" + t + "' to the END of all filenames,\n"; };
        std::string text = "It will ";
        if (m_r.atHead)
            text += headPiece(m_r.headText);
        if (m_r.atEnd)
            text += endPiece(m_r.endText);
        if (m_r.atCursor) {
            const int p = m_r.cursorPosition;
            const std::string &sample = m_r.sampleName;
            if (p == 1 && m_r.cursorDirection == Direction::FromHead)
                text += headPiece(m_r.cursorText);
            else if (p == static_cast<int>(sample.size()) + 1 && m_r.cursorDirection == Direction::FromEnd)
                text += endPiece(m_r.cursorText);
            else if (m_r.cursorDirection == Direction::FromHead)
                text += "insert '" + m_r.cursorText + "' to the position BEHIND the part of '"
                    + bytesFromTo(sample, 1, p - 1) + "'\n";
            else
                text += "insert '" + m_r.cursorText + "' to the position BEFORE the part of '" + bytesFrom(sample, p)
                    + "'\n";
        }
        confirm(text);
    }

    void insertToString()
    {
        if (m_r.existingString.empty())
            return refuse("Please specify the existing string", EditorBox::ExistingString);
        if (m_r.placement == Placement::BetweenTwo && m_r.secondString.empty())
            return refuse("Please specify the second string", EditorBox::SecondString);
        if (m_r.insertText.empty())
            return refuse("Please specify the string which you want to insert", EditorBox::InsertText);
        if (!checkInput(m_r.insertText))
            return;
        static const char *const placements[] = {"BEFORE existing string", "BEHIND existing string",
                                                 "BETWEEN two strings"};
        confirm("It will insert '" + m_r.insertText + "' to the positon \n" + placements[static_cast<int>(m_r.placement)]
                + " of '" + m_r.existingString + "',\n");
    }

    void change()
    {
        if (m_r.changeMode == ChangeMode::NewName) {
            if (m_r.newName.empty())
                return refuse("Please input new name", EditorBox::NewName);
            if (!checkInput(m_r.newName))
                return;
            return confirm("It will change filenames to '" + m_r.newName + "',\n");
        }
        static const char *const cases[] = {"Lower case", "UPPER case", "Capitalize every words"};
        confirm(std::string("It will convert full name to ") + cases[static_cast<int>(m_r.nameCase)] + ",\n");
    }

    void extension()
    {
        const FolderScope scope = m_state.targets.folderScope;
        if (!m_state.targets.filesMode
            && (scope == FolderScope::OnlySubfolders || scope == FolderScope::ThisFolderOnly)) {
            m_prompter.show({"Warning", "Folder or subfolder name have no extension part.", MessageIcon::Warning,
                             MessageButtons::Ok});
            m_check.error = true;
            return;
        }
        if (m_r.extensionMode == ExtensionMode::ConvertCase) {
            return confirm(std::string("It will convert all filenames extention part case to '")
                           + (m_r.extensionCase == ExtensionCase::Lower ? "Lower case" : "UPPER case") + "',\n");
        }
        std::string &newExtension = m_r.newExtension;
        while (newExtension.size() >= 3 && newExtension.compare(0, 2, "..") == 0)
            newExtension.erase(0, 2);
        while (newExtension.size() >= 2 && newExtension.back() == '.')
            newExtension.pop_back();
        if (newExtension.empty() || newExtension == "." || newExtension == "..")
            newExtension.clear();
        m_inputs.normalisedNewExtension = newExtension;
        if (newExtension.empty()) {
            if (!askEmptyPart("The new extention part is empty,\nit will REMOVE old extention part from original "
                              "filenames,\n"
                                  + m_suffix,
                              EditorBox::NewExtension))
                return;
        } else {
            if (!checkInput(newExtension))
                return;
            if (m_r.replaceAllTypes)
                confirm("It will change all filenames extention part to '" + newExtension + "',\n");
            else
                confirm("It will change filenames extention part, from '" + m_r.oldExtension + "' to '" + newExtension
                        + "',\n");
            m_check.focus = EditorBox::NewExtension; // should the confirmation be refused
        }
        for (std::string *e : {&m_r.oldExtension, &newExtension}) {
            if (!e->empty() && (*e)[0] != '.')
                e->insert(0, ".");
        }
    }

    AppState &m_state;
    EditorInputs &m_inputs;
    EditRequest &m_r;
    Prompter &m_prompter;
    NameEngine &m_engine;
    std::string m_suffix;
    KindCheck m_check;
};

CheckResult checkSaveKind(AppState &state, EditorInputs &inputs)
{
    const ExportChoices &save = inputs.save;
    Prompter &prompter = state.platform.prompter;
    inputs.request.preview = false;
    if (save.content != ExportChoices::Content::OnlySubfolders && save.specialTypes) {
        if (!save.music && !save.document && !save.film && !save.picture && !save.other && !save.program) {
            prompter.show({"Warning", "You selected special types filename to save, so you should select at least one "
                                      "box of file types.",
                           MessageIcon::Warning, MessageButtons::Ok});
            return {};
        }
        if (save.other && save.otherTypes.empty()) {
            prompter.show({"Warning", "You selected other types filename to save, so you should define file types in "
                                      "edit box.",
                           MessageIcon::Warning, MessageButtons::Ok});
            return {CheckResult::Stop, EditorBox::OtherTypes};
        }
    }
    return {CheckResult::Export, EditorBox::None};
}

} // namespace

std::string checkTargets(AppState &state, TargetLookup lookup)
{
    FileSystem &fs = state.platform.fileSystem;
    TargetSet &targets = state.targets;
    Prompter &prompter = state.platform.prompter;
    const std::string &folder = targets.targetFolder;
    std::string result;
    std::string listingError;
    const auto unreadable = [&] {
        if (listingError.empty())
            return false;
        prompter.informationAbout("The target folder can not be read: " + folder + " (" + listingError + ")", {folder});
        return true;
    };
    switch (targets.folderScope) {
    case FolderScope::OneLayer:
    case FolderScope::AllLayers:
        result = findSampleFile(fs, targets, folder, lookup, &listingError);
        if (unreadable())
            return {};
        if (result.empty()) {
            if (state.editKind != EditKind::Savealls) {
                prompter.information("There is no file(one layer) now!");
            } else {
                result = findFirstSubfolder(fs, targets, folder);
                if (result.empty())
                    prompter.information("There is no file and subfolder now!");
            }
        }
        if (targets.folderScope == FolderScope::OneLayer || !result.empty())
            break;
        [[fallthrough]];
    case FolderScope::OnlySubfolders:
        result = findFirstSubfolder(fs, targets, folder, &listingError);
        if (unreadable())
            return {};
        if (result.empty())
            prompter.information("There is no subfolder now!");
        break;
    case FolderScope::ThisFolderOnly:
        if (fs.folderExists(folder))
            result = folder;
        else
            prompter.information("The targeted folder had been modified or deleted!");
        break;
    }
    return result;
}

CheckResult checkAndStart(AppState &state, EditorInputs &inputs, bool targetsChecked)
{
    // Only whether there is anything to edit matters here: the walk reads and
    // sorts the folder afterwards.
    if (!targetsChecked && !state.targets.filesMode
        && checkTargets(state, TargetLookup::AnyItem).empty())
        return {};
    if (state.editKind == EditKind::Savealls)
        return checkSaveKind(state, inputs);

    state.run.renamedCount = 0;
    state.run.failedCount = 0;
    state.run.stoppedByError = false;
    state.run.notTriedCount = 0;
    Checker checker(state, inputs, state.platform.prompter, state.engine);
    const KindCheck check = checker.run();
    if (check.error)
        return {CheckResult::Stop, check.focus};
    const bool preview = inputs.request.preview;
    if (!check.confirmed && !preview && state.settings.options.confirm && !check.confirmation.empty()) {
        const Message box = check.cleanBox
            ? Message{"Clean Confirmation", check.confirmation, MessageIcon::Question, MessageButtons::OkCancel}
            : Message{"Confirmation", check.confirmation, MessageIcon::Question, MessageButtons::OkCancel};
        if (state.platform.prompter.show(box) != Answer::Ok)
            return {CheckResult::Stop, check.focus};
    }
    return {CheckResult::Run, EditorBox::None};
}

InputCheck checkInputs(AppState &state, EditorInputs &inputs, Prompter &prompter, NameEngine &engine)
{
    if (state.editKind == EditKind::Savealls)
        return {true, {}};
    Checker checker(state, inputs, prompter, engine);
    const KindCheck check = checker.run();
    return {check.error, check.confirmation};
}

} // namespace renomiq
