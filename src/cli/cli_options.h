#pragma once

#include "editor/operation_check.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace renomiq {

// What one renomiq-cli command line asks for.
struct CliCommand {
    enum Mode { Help, Version, Rename, Save, Undo, History };
    Mode mode = Help;
    EditorInputs inputs; // the kind, the request fields and the save panel
    std::set<std::string> fieldsGiven;
    FolderScope scope = FolderScope::OneLayer;
    bool yes = false;
    bool noUndo = false; // --no-undo: renaming without an undo log is agreed to
    std::string output;
    std::string log; // undo --log: an undo log other than the last operation's
    int steps = 0;   // undo --steps: the newest operations of the undo history, in order
    // --limit: the preview's rows for this run; 0 the stored number, kAllRows every row.
    int limit = 0;
    static constexpr int kAllRows = -1;
    bool json = false; // --format json: one JSON object a row
    int jobs = 0;      // --jobs N: the threads of a run over several folders; 0 the default
    std::vector<std::string> targets; // as given: host or Windows-style paths
};

// The kind a keyword or its friendly name stands for ("Replapart" or
// "replace"); none for anything else.
std::optional<EditKind> kindOfCommand(const std::string &word);

// The command line parsed; on a usage error, no value and the error's text.
std::optional<CliCommand> parseCliArguments(const std::vector<std::string> &arguments, std::string &error);

// Sets one field of the request or the save panel by its name. False with the
// error's text for an unknown field or a bad value.
bool setField(EditorInputs &inputs, const std::string &name, const std::string &value, std::string &error);

// The names of every field, in name order.
std::vector<std::string> fieldNames();

// The captions of the editor's "Folder content to edit:" list, by scope.
const char *scopeCaption(FolderScope scope);

} // namespace renomiq
