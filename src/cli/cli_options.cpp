#include "cli/cli_options.h"

#include "run/undo_history.h"

#include <functional>
#include <map>

namespace renomiq {

namespace {

using Setter = std::function<bool(EditorInputs &, const std::string &)>;

bool parseBool(const std::string &value, bool &out)
{
    if (value == "true" || value == "false") {
        out = value == "true";
        return true;
    }
    return false;
}

bool parseInt(const std::string &value, int &out)
{
    if (value.empty() || value.size() > 9)
        return false;
    std::size_t i = value[0] == '-' ? 1 : 0;
    if (i == value.size())
        return false;
    for (std::size_t k = i; k < value.size(); ++k) {
        if (value[k] < '0' || value[k] > '9')
            return false;
    }
    out = std::stoi(value);
    return true;
}

Setter flag(bool EditRequest::*field)
{
    return [field](EditorInputs &in, const std::string &v) { return parseBool(v, in.request.*field); };
}

Setter saveFlag(bool ExportChoices::*field)
{
    return [field](EditorInputs &in, const std::string &v) { return parseBool(v, in.save.*field); };
}

Setter number(int EditRequest::*field)
{
    return [field](EditorInputs &in, const std::string &v) { return parseInt(v, in.request.*field); };
}

template <typename E>
Setter choice(E EditRequest::*field, std::vector<std::pair<const char *, E>> values)
{
    return [field, values](EditorInputs &in, const std::string &v) {
        for (const auto &[name, value] : values) {
            if (v == name) {
                in.request.*field = value;
                return true;
            }
        }
        return false;
    };
}

Setter direction(Direction EditRequest::*field)
{
    return choice(field, {{"fromHead", Direction::FromHead}, {"fromEnd", Direction::FromEnd}});
}

const std::map<std::string, Setter> &fields()
{
    static const std::map<std::string, Setter> table = [] {
        using R = EditRequest;
        std::map<std::string, Setter> t;
        t["sampleName"] = [](EditorInputs &in, const std::string &v) { in.request.sampleName = v; return true; };
        t["selectionStart"] = number(&R::selectionStart);
        t["selectionLength"] = number(&R::selectionLength);
        t["cursorPosition"] = number(&R::cursorPosition);
        t["removeMode"] = choice(&R::removeMode, {{"strings", RemoveMode::Strings}, {"anything", RemoveMode::Anything},
                                                  {"keep", RemoveMode::Keep}, {"clean", RemoveMode::CleanSymbols}});
        for (int i = 0; i < 3; ++i)
            t["removeString" + std::to_string(i + 1)] = [i](EditorInputs &in, const std::string &v) {
                in.request.removeStrings[static_cast<std::size_t>(i)] = v;
                return true;
            };
        t["removeCaseSensitive"] = flag(&R::removeCaseSensitive);
        t["removeOnlyLeftmost"] = flag(&R::removeOnlyLeftmost);
        t["anythingMode"] = choice(&R::anythingMode, {{"selectedPart", AnythingMode::SelectedPart},
                                                      {"betweenTwoStrings", AnythingMode::BetweenTwoStrings}});
        t["removeDirection"] = direction(&R::removeDirection);
        t["leftString"] = [](EditorInputs &in, const std::string &v) { in.request.leftString = v; return true; };
        t["rightString"] = [](EditorInputs &in, const std::string &v) { in.request.rightString = v; return true; };
        t["alsoRemoveTheTwoStrings"] = flag(&R::alsoRemoveTheTwoStrings);
        t["keepMode"] = choice(&R::keepMode, {{"selectedPart", KeepMode::SelectedPart}, {"strings", KeepMode::Strings}});
        t["keepDirection"] = direction(&R::keepDirection);
        for (int i = 0; i < 2; ++i)
            t["keepString" + std::to_string(i + 1)] = [i](EditorInputs &in, const std::string &v) {
                in.request.keepStrings[static_cast<std::size_t>(i)] = v;
                return true;
            };
        t["keepOnlyLeftmost"] = flag(&R::keepOnlyLeftmost);
        t["replaceErasedWithSpace"] = flag(&R::replaceErasedWithSpace);
        t["alsoEraseOthers"] = flag(&R::alsoEraseOthers);
        t["alsoEraseText"] = [](EditorInputs &in, const std::string &v) { in.request.alsoEraseText = v; return true; };
        t["keepDash"] = flag(&R::keepDash);
        t["keepParentheses"] = flag(&R::keepParentheses);
        t["keepBrackets"] = flag(&R::keepBrackets);
        t["keepUnderscore"] = flag(&R::keepUnderscore);
        t["keepOthers"] = flag(&R::keepOthers);
        t["keepOthersText"] = [](EditorInputs &in, const std::string &v) { in.request.keepOthersText = v; return true; };
        t["replaceMode"] = choice(&R::replaceMode, {{"string", ReplaceMode::String},
                                                    {"selectedLength", ReplaceMode::SelectedLength}});
        t["oldString"] = [](EditorInputs &in, const std::string &v) { in.request.oldString = v; return true; };
        t["newString"] = [](EditorInputs &in, const std::string &v) { in.request.newString = v; return true; };
        t["replaceCaseSensitive"] = flag(&R::replaceCaseSensitive);
        t["replaceOnlyLeftmost"] = flag(&R::replaceOnlyLeftmost);
        t["replaceDirection"] = direction(&R::replaceDirection);
        t["replaceRegex"] = flag(&R::replaceRegex);
        t["insertMode"] = choice(&R::insertMode, {{"toPosition", InsertMode::ToPosition}, {"toString", InsertMode::ToString}});
        t["atHead"] = flag(&R::atHead);
        t["headText"] = [](EditorInputs &in, const std::string &v) { in.request.headText = v; return true; };
        t["atEnd"] = flag(&R::atEnd);
        t["endText"] = [](EditorInputs &in, const std::string &v) { in.request.endText = v; return true; };
        t["atCursor"] = flag(&R::atCursor);
        t["cursorText"] = [](EditorInputs &in, const std::string &v) { in.request.cursorText = v; return true; };
        t["cursorDirection"] = direction(&R::cursorDirection);
        t["placement"] = choice(&R::placement, {{"before", Placement::BeforeExisting}, {"behind", Placement::BehindExisting},
                                                {"between", Placement::BetweenTwo}});
        t["existingString"] = [](EditorInputs &in, const std::string &v) { in.request.existingString = v; return true; };
        t["secondString"] = [](EditorInputs &in, const std::string &v) { in.request.secondString = v; return true; };
        t["insertText"] = [](EditorInputs &in, const std::string &v) { in.request.insertText = v; return true; };
        t["changeMode"] = choice(&R::changeMode, {{"newName", ChangeMode::NewName}, {"convertCase", ChangeMode::ConvertCase}});
        t["newName"] = [](EditorInputs &in, const std::string &v) { in.request.newName = v; return true; };
        t["nameCase"] = choice(&R::nameCase, {{"lower", NameCase::Lower}, {"upper", NameCase::Upper},
                                              {"capitalizeEveryWord", NameCase::CapitalizeEveryWord}});
        t["capitalizeFirstLetter"] = flag(&R::capitalizeFirstLetter);
        t["includeExtension"] = flag(&R::includeExtension);
        t["excludeSmallWords"] = flag(&R::excludeSmallWords);
        t["extensionMode"] = choice(&R::extensionMode, {{"change", ExtensionMode::Change},
                                                        {"convertCase", ExtensionMode::ConvertCase}});
        t["replaceAllTypes"] = flag(&R::replaceAllTypes);
        // The extension boxes take at most 253 bytes.
        t["oldExtension"] = [](EditorInputs &in, const std::string &v) { in.request.oldExtension = v; return v.size() <= 253; };
        t["newExtension"] = [](EditorInputs &in, const std::string &v) { in.request.newExtension = v; return v.size() <= 253; };
        t["extensionCase"] = choice(&R::extensionCase, {{"lower", ExtensionCase::Lower}, {"upper", ExtensionCase::Upper}});
        t["useSpecialStrings"] = flag(&R::useSpecialStrings);
        t["startNumber"] = [](EditorInputs &in, const std::string &v) {
            return parseInt(v, in.request.startNumber) && in.request.startNumber >= 0 && in.request.startNumber <= 10000;
        };
        t["numberOrder"] = choice(&R::numberOrder, {{"name", NumberOrder::Name}, {"taken", NumberOrder::Taken}});
        t["randomUpper"] = flag(&R::randomUpper);
        t["randomLower"] = flag(&R::randomLower);
        t["randomDigits"] = flag(&R::randomDigits);
        t["previewLimit"] = [](EditorInputs &in, const std::string &v) {
            return parseInt(v, in.request.previewLimit) && in.request.previewLimit >= 1 && in.request.previewLimit <= 1000;
        };
        t["content"] = [](EditorInputs &in, const std::string &v) {
            using C = ExportChoices::Content;
            const std::pair<const char *, C> values[] = {
                {"oneLayer", C::SubfoldersAndFilenames}, {"allLayers", C::AllFilenames}, {"onlySubfolders", C::OnlySubfolders}};
            for (const auto &[name, value] : values) {
                if (v == name) {
                    in.save.content = value;
                    return true;
                }
            }
            return false;
        };
        t["includeWebpageFolder"] = saveFlag(&ExportChoices::includeWebpageFolder);
        t["specialTypes"] = saveFlag(&ExportChoices::specialTypes);
        t["music"] = saveFlag(&ExportChoices::music);
        t["document"] = saveFlag(&ExportChoices::document);
        t["film"] = saveFlag(&ExportChoices::film);
        t["picture"] = saveFlag(&ExportChoices::picture);
        t["program"] = saveFlag(&ExportChoices::program);
        t["other"] = saveFlag(&ExportChoices::other);
        t["otherTypes"] = [](EditorInputs &in, const std::string &v) { in.save.otherTypes = v; return true; };
        t["fileSize"] = saveFlag(&ExportChoices::fileSize);
        t["fileDateTime"] = saveFlag(&ExportChoices::fileDateTime);
        return t;
    }();
    return table;
}

} // namespace

std::vector<std::string> fieldNames()
{
    std::vector<std::string> names;
    for (const auto &field : fields())
        names.push_back(field.first);
    return names;
}

const char *scopeCaption(FolderScope scope)
{
    static const char *const captions[] = {"Filenames in this folder(ONE layer)", "All filenames in subfolder(ALL layers)",
                                           "Only subfolders name(without files)", "Only this folder name"};
    return captions[static_cast<int>(scope)];
}

bool setField(EditorInputs &inputs, const std::string &name, const std::string &value, std::string &error)
{
    auto field = fields().find(name);
    if (field == fields().end()) {
        error = "unknown field '" + name + "'";
        return false;
    }
    if (!field->second(inputs, value)) {
        error = "bad value '" + value + "' for field '" + name + "'";
        return false;
    }
    return true;
}

std::optional<EditKind> kindOfCommand(const std::string &word)
{
    static const std::pair<const char *, EditKind> friendly[] = {
        {"remove", EditKind::Removpart},     {"replace", EditKind::Replapart},
        {"insert", EditKind::Addnewnum},     {"change", EditKind::Changnew},
        {"extension", EditKind::Changexten}, {"export-folder", EditKind::Savealls},
        {"export-files", EditKind::Savesomes},
    };
    for (const auto &[name, kind] : friendly) {
        if (word == name)
            return kind;
    }
    if (auto kind = editKindFromKeyword(word); kind && *kind != EditKind::Browsefile)
        return kind;
    return std::nullopt;
}

std::optional<CliCommand> parseCliArguments(const std::vector<std::string> &arguments, std::string &error)
{
    CliCommand command;
    if (arguments.empty()) {
        error = "no command";
        return std::nullopt;
    }
    for (const std::string &a : arguments) {
        if (a == "--help" || a == "-h")
            return command;
    }
    for (const std::string &a : arguments) {
        if (a == "--version") {
            command.mode = CliCommand::Version;
            return command;
        }
    }
    const std::string &first = arguments[0];
    if (first == "undo") {
        command.mode = CliCommand::Undo;
    } else if (first == "history") {
        command.mode = CliCommand::History;
    } else if (auto kind = kindOfCommand(first)) {
        command.inputs.request.kind = *kind;
        command.mode = (*kind == EditKind::Savealls || *kind == EditKind::Savesomes) ? CliCommand::Save : CliCommand::Rename;
    } else {
        error = "unknown command '" + first + "'";
        return std::nullopt;
    }

    bool preview = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string &a = arguments[i];
        const auto value = [&](const char *option) -> const std::string * {
            if (i + 1 >= arguments.size()) {
                error = std::string(option) + " needs a value";
                return nullptr;
            }
            return &arguments[++i];
        };
        if (a == "--yes") {
            command.yes = true;
        } else if (a == "--no-undo" && command.mode == CliCommand::Rename) {
            command.noUndo = true;
        } else if (a == "--log" && command.mode == CliCommand::Undo) {
            const std::string *v = value("--log");
            if (!v)
                return std::nullopt;
            if (v->empty()) {
                error = "--log needs a file";
                return std::nullopt;
            }
            command.log = *v;
        } else if (a == "--steps" && command.mode == CliCommand::Undo) {
            const std::string *v = value("--steps");
            if (!v)
                return std::nullopt;
            int steps = 0;
            if (!parseInt(*v, steps) || steps < 1 || steps > static_cast<int>(UndoHistory::kKept)) {
                error = "bad value '" + *v + "' for --steps (a number from 1 to "
                    + std::to_string(UndoHistory::kKept) + ")";
                return std::nullopt;
            }
            command.steps = steps;
        } else if (command.mode == CliCommand::History) {
            error = "history takes no argument '" + a + "'";
            return std::nullopt;
        } else if (command.mode == CliCommand::Undo) {
            error = "undo takes no argument '" + a + "'";
            return std::nullopt;
        } else if (a == "--preview" && command.mode == CliCommand::Rename) {
            preview = true;
        } else if (a == "--limit" && command.mode == CliCommand::Rename) {
            const std::string *v = value("--limit");
            if (!v)
                return std::nullopt;
            int limit = 0;
            if (*v == "all")
                command.limit = CliCommand::kAllRows;
            else if (parseInt(*v, limit) && limit >= 1)
                command.limit = limit;
            else {
                error = "bad value '" + *v + "' for --limit (a number from 1, or all)";
                return std::nullopt;
            }
        } else if (a == "--jobs" && command.mode == CliCommand::Rename) {
            const std::string *v = value("--jobs");
            if (!v)
                return std::nullopt;
            int jobs = 0;
            if (!parseInt(*v, jobs) || jobs < 1 || jobs > 8) {
                error = "bad value '" + *v + "' for --jobs (a number from 1 to 8)";
                return std::nullopt;
            }
            command.jobs = jobs;
        } else if (a == "--format" && command.mode == CliCommand::Rename) {
            const std::string *v = value("--format");
            if (!v)
                return std::nullopt;
            if (*v != "json" && *v != "text") {
                error = "bad value '" + *v + "' for --format (text or json)";
                return std::nullopt;
            }
            command.json = *v == "json";
        } else if (a == "--scope" && command.mode == CliCommand::Rename) {
            const std::string *v = value("--scope");
            if (!v)
                return std::nullopt;
            if (v->size() != 1 || (*v)[0] < '0' || (*v)[0] > '3') {
                error = "bad value '" + *v + "' for --scope";
                return std::nullopt;
            }
            command.scope = static_cast<FolderScope>((*v)[0] - '0');
        } else if (a == "--output" && command.mode == CliCommand::Save) {
            const std::string *v = value("--output");
            if (!v)
                return std::nullopt;
            command.output = *v;
        } else if (a.rfind("--", 0) == 0) {
            error = "unknown option '" + a + "'";
            return std::nullopt;
        } else if (const std::size_t eq = a.find('='); eq != std::string::npos && eq > 0 && command.targets.empty()
                   && a.find('/') > eq && a.find('\\') > eq) {
            if (!setField(command.inputs, a.substr(0, eq), a.substr(eq + 1), error))
                return std::nullopt;
            command.fieldsGiven.insert(a.substr(0, eq));
        } else if (a.empty()) {
            // What an unset shell variable gives: never the current folder.
            error = "empty TARGET";
            return std::nullopt;
        } else {
            command.targets.push_back(a);
        }
    }
    const EditRequest &request = command.inputs.request;
    if (!request.randomUpper && !request.randomLower && !request.randomDigits) {
        error = "You have to select at least one choice.";
        return std::nullopt;
    }
    command.inputs.request.preview = preview;
    if (command.limit != 0 && !preview) {
        // A run renames every item: a limit there would promise otherwise.
        error = "--limit goes with --preview";
        return std::nullopt;
    }
    if (command.steps != 0 && !command.log.empty()) {
        error = "--steps and --log do not go together";
        return std::nullopt;
    }
    if (command.mode != CliCommand::Undo && command.mode != CliCommand::History && command.targets.empty()) {
        error = "no target";
        return std::nullopt;
    }
    if (command.mode == CliCommand::Save && command.output.empty()) {
        error = "Savealls and Savesomes need --output FILE";
        return std::nullopt;
    }
    return command;
}

} // namespace renomiq
