#pragma once

#include "engine/edit_kind.h"

#include <array>
#include <string>

namespace renomiq {

enum class Direction { FromHead, FromEnd };
enum class RemoveMode { Strings, Anything, Keep, CleanSymbols };
enum class AnythingMode { SelectedPart, BetweenTwoStrings };
enum class KeepMode { SelectedPart, Strings };
enum class ReplaceMode { String, SelectedLength };
enum class InsertMode { ToPosition, ToString };
enum class Placement { BeforeExisting, BehindExisting, BetweenTwo };
enum class ChangeMode { NewName, ConvertCase };
enum class NameCase { Lower, Upper, CapitalizeEveryWord };
enum class ExtensionMode { Change, ConvertCase };
enum class ExtensionCase { Lower, Upper };
// The order the running numbers follow in each work list: the list's own
// (by name), or when the photos were taken (ties by name; items without a
// date after those with one).
enum class NumberOrder { Name, Taken };

// All parameters of one run, filled once when "OK" or "Preview" is pressed and
// read-only for the whole run. The defaults are the editor window's state when
// it is first shown. Texts are bytes in the system code page.
struct EditRequest {
    // General
    EditKind kind = EditKind::Browsefile;
    FolderScope folderScope = FolderScope::OneLayer;
    bool preview = false;
    std::string sampleName;
    int selectionStart = 0;  // 0-based
    int selectionLength = 0;
    int cursorPosition = 0;  // 1-based

    // Remove
    RemoveMode removeMode = RemoveMode::Strings;
    std::array<std::string, 3> removeStrings;
    bool removeCaseSensitive = false;
    bool removeOnlyLeftmost = false;
    AnythingMode anythingMode = AnythingMode::SelectedPart;
    Direction removeDirection = Direction::FromHead;
    std::string leftString;
    std::string rightString;
    bool alsoRemoveTheTwoStrings = false;
    KeepMode keepMode = KeepMode::SelectedPart;
    Direction keepDirection = Direction::FromHead;
    std::array<std::string, 2> keepStrings;
    bool keepOnlyLeftmost = false;
    bool replaceErasedWithSpace = false;
    bool alsoEraseOthers = false;
    std::string alsoEraseText;
    bool keepDash = true;
    bool keepParentheses = false;
    bool keepBrackets = false;
    bool keepUnderscore = false;
    bool keepOthers = false;
    std::string keepOthersText;

    // Replace
    ReplaceMode replaceMode = ReplaceMode::String;
    std::string oldString;
    std::string newString; // may hold special strings
    bool replaceCaseSensitive = false;
    bool replaceOnlyLeftmost = false;
    Direction replaceDirection = Direction::FromHead;
    // The old string is a regular expression (PCRE2); the new string may
    // refer to its groups as {0} to {9}.
    bool replaceRegex = false;

    // Insert
    InsertMode insertMode = InsertMode::ToPosition;
    bool atHead = false;
    std::string headText; // may hold special strings
    bool atEnd = false;
    std::string endText; // may hold special strings
    bool atCursor = false;
    std::string cursorText; // may hold special strings
    Direction cursorDirection = Direction::FromHead;
    Placement placement = Placement::BeforeExisting;
    std::string existingString;
    std::string secondString;
    std::string insertText; // may hold special strings

    // Change
    ChangeMode changeMode = ChangeMode::NewName;
    std::string newName; // may hold special strings
    NameCase nameCase = NameCase::Lower;
    bool capitalizeFirstLetter = true;
    bool includeExtension = true;
    bool excludeSmallWords = true;

    // Extension
    ExtensionMode extensionMode = ExtensionMode::Change;
    bool replaceAllTypes = false;
    std::string oldExtension; // empty or beginning with '.'
    std::string newExtension; // empty or beginning with '.'
    ExtensionCase extensionCase = ExtensionCase::Lower;

    // Special strings (run-wide)
    bool useSpecialStrings = true;
    int startNumber = 1; // 0 to 10000
    NumberOrder numberOrder = NumberOrder::Name;
    bool randomUpper = true;
    bool randomLower = true;
    bool randomDigits = true;

    // Preview (run-wide)
    int previewLimit = 20; // 1 to 1000

    // True when the items of each work list go in the order they were taken.
    bool numbersInTakenOrder() const { return useSpecialStrings && numberOrder == NumberOrder::Taken; }

    // True for the two sub-modes that only change letter case: their new name
    // may be the item itself under another spelling, so no "(n)" is added.
    bool isCaseConversion() const
    {
        return (kind == EditKind::Changnew && changeMode == ChangeMode::ConvertCase)
            || (kind == EditKind::Changexten && extensionMode == ExtensionMode::ConvertCase);
    }
};

} // namespace renomiq
