#pragma once

#include "platform/result.h"

#include <string>

namespace renomiq {

enum class OutcomeKind {
    EmptyName,    // the new name came out empty; refused (a failure)
    Unchanged,    // the new name equals the old one; the item is not touched
    Refused,      // the new name is invalid (reserved, too long); a failure
    Previewed,    // a preview lists the pair
    Renamed,      // renamed on disk
    RenameFailed, // the file system refused the rename
};

// What became of one item. The run driver acts on it.
struct ItemOutcome {
    OutcomeKind kind = OutcomeKind::Unchanged;
    std::string oldPath;
    std::string newPath;       // Previewed, Renamed, RenameFailed
    std::string namePart;      // Previewed: the name part as it stands after the "(n)" check
    std::string extensionPart; // Previewed
    int suffixCount = 0;       // Previewed: the n reached by the "(n)" check
    bool byExtensionRule = false; // Unchanged by the extension kind
    Error error;               // RenameFailed

    static ItemOutcome of(OutcomeKind kind, std::string oldPath, std::string newPath = {})
    {
        ItemOutcome outcome;
        outcome.kind = kind;
        outcome.oldPath = std::move(oldPath);
        outcome.newPath = std::move(newPath);
        return outcome;
    }
};

// Receives the outcome of each item.
class OutcomeSink {
public:
    virtual ~OutcomeSink() = default;
    virtual void report(const ItemOutcome &outcome) = 0;
    // Called right before an item is renamed on disk. False leaves the item
    // untouched, with no further outcome: the sink has dealt with it.
    virtual bool renaming(const std::string &oldPath, const std::string &newPath)
    {
        (void)oldPath;
        (void)newPath;
        return true;
    }
    // The rename announced by renaming() was not made, and no outcome follows
    // for it: the new name is taken, and the item goes on to the "(n)" check.
    virtual void renameNotMade(const std::string &oldPath, const std::string &newPath)
    {
        (void)oldPath;
        (void)newPath;
    }
};

} // namespace renomiq
