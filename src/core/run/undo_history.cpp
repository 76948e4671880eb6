#include "run/undo_history.h"

#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/text_lines.h"
#include "run/run_driver.h"
#include "run/undo_log.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <map>
#include <unordered_set>

namespace renomiq {

namespace {

const char kLastLog[] = "rollback.rbk";
const char kIndex[] = "rollback.lst";
// The descriptions are a few hundred bytes each, for a few dozen logs.
constexpr std::size_t kIndexLimit = std::size_t{1} << 20;

bool isLogName(const std::string &name)
{
    const std::string start = "rollback.";
    const std::string end = ".rbk";
    return name.size() >= start.size() + end.size() - 1 && name.compare(0, start.size(), start) == 0
        && name.compare(name.size() - end.size(), end.size(), end) == 0;
}

// A line of "rollback.lst": the log's device, inode and size, the number of
// the description (later ones are newer), then the operation.
struct Description {
    ItemId id;
    std::uint64_t size = 0;
    std::uint64_t number = 0;
    OperationInfo info;
};

template <typename T> bool parseNumber(const std::string &text, T &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::vector<Description> readIndex(FileSystem &fs, const std::string &folder)
{
    std::vector<Description> index;
    auto content = fs.readFile(folder + kIndex, kIndexLimit);
    if (!content)
        return index;
    for (const std::string &line : splitLines(*content)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        while (fields.size() < 7) {
            const std::size_t tab = line.find('\t', start);
            if (tab == std::string::npos)
                break;
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        if (fields.size() != 7)
            continue; // not one of ours: left out
        Description d;
        d.info.target = line.substr(start);
        d.info.kind = fields[6];
        if (parseNumber(fields[0], d.id.device) && parseNumber(fields[1], d.id.inode) && parseNumber(fields[2], d.size)
            && parseNumber(fields[3], d.number) && parseNumber(fields[4], d.info.time)
            && parseNumber(fields[5], d.info.items))
            index.push_back(std::move(d));
    }
    return index;
}

std::string oneLine(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    return text;
}

Status writeIndex(FileSystem &fs, const std::string &folder, const std::vector<Description> &index)
{
    if (const auto unusable = UndoHistory::unusableList(fs, folder))
        return Error{EINVAL, "'" + *unusable + "' is not a regular file"};
    std::vector<std::string> lines;
    for (const Description &d : index)
        lines.push_back(std::to_string(d.id.device) + "\t" + std::to_string(d.id.inode) + "\t" + std::to_string(d.size)
                        + "\t" + std::to_string(d.number) + "\t" + std::to_string(d.info.time) + "\t"
                        + std::to_string(d.info.items) + "\t" + oneLine(d.info.kind) + "\t"
                        + oneLine(d.info.target));
    return fs.writeFileAtomic(folder + kIndex, joinLines(lines));
}

// A log's pairs as lines, current then former, without the lines that record
// an item's identity.
std::vector<std::string> pairLinesOf(const std::string &content)
{
    std::vector<std::string> lines;
    for (const UndoEntry &entry : undoEntriesOf(splitLines(content))) {
        lines.push_back(entry.current);
        lines.push_back(entry.former);
    }
    return lines;
}

// The items of a log: its pairs, each item's detour (a later pair with the
// same former path, not always the next one when threads renamed) left out.
std::size_t itemsOf(const std::vector<std::string> &lines)
{
    std::unordered_set<std::string_view> formers;
    for (std::size_t k = 0; k + 1 < lines.size(); k += 2)
        formers.insert(lines[k + 1]);
    return formers.size();
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A log found in the data folder, with its order among the others.
struct Kept {
    HistoryEntry entry;
    ItemId id;
    std::uint64_t number = 0;
};

// The logs in the data folder, the newest first; those described in `index`
// get their descriptions, the others one read from their content.
std::vector<Kept> collect(FileSystem &fs, const std::string &folder, const std::vector<Description> &index,
                          bool readUndescribed = true)
{
    std::vector<Kept> kept;
    std::vector<std::string> names;
    // A data folder that cannot be listed keeps no history to show; the last
    // operation's own log is still found by its name.
    (void)fs.enumerate(
        folder,
        [&](const DirEntry &entry) {
            if (!entry.isDirectory && !entry.isLink && isLogName(entry.name))
                names.push_back(entry.name);
            return true;
        },
        FileSystem::EntryOrder::Unsorted);
    std::sort(names.begin(), names.end());
    for (const std::string &name : names) {
        const std::string path = folder + name;
        const auto id = fs.itemId(path);
        const auto look = fs.lookUp(path);
        if (!id || !look || look->isDirectory)
            continue;
        Kept k;
        k.id = *id;
        k.entry.path = path;
        k.entry.last = name == kLastLog;
        k.entry.size = look->size;
        const auto described = std::find_if(index.begin(), index.end(), [&](const Description &d) {
            return d.id == *id && d.size == look->size;
        });
        if (described != index.end()) {
            k.entry.info = described->info;
            k.number = described->number;
        } else {
            k.entry.info.time = look->lastWriteTime;
            k.entry.info.kind = "Run";
            auto content = readUndescribed ? fs.readFile(path, UndoLog::kFileLimit)
                                           : Result<std::string>(Error{0, "not read"});
            if (content) {
                const std::vector<std::string> lines = pairLinesOf(*content);
                k.entry.info.items = itemsOf(lines);
                if (!lines.empty())
                    k.entry.info.target = folderOf(lines[0]);
            }
        }
        kept.push_back(std::move(k));
    }
    std::stable_sort(kept.begin(), kept.end(), [](const Kept &a, const Kept &b) {
        if (a.entry.last != b.entry.last)
            return a.entry.last;
        if (a.entry.info.time != b.entry.info.time)
            return a.entry.info.time > b.entry.info.time;
        return a.number > b.number;
    });
    return kept;
}

Status removeLog(FileSystem &fs, const std::string &path)
{
    // The read-only mark off first; if that fails, the removal says why.
    (void)fs.setAttributes(path, AttrArchive);
    return fs.removeFile(path);
}

// Drops the logs beyond the bounds and the descriptions of logs that are
// gone; `index` is written back.
void tidy(FileSystem &fs, const std::string &folder, std::vector<Description> index)
{
    std::vector<Kept> kept = collect(fs, folder, index, false);
    std::uint64_t older = 0;
    std::size_t count = 0;
    std::vector<Description> left;
    for (const Kept &k : kept) {
        if (!k.entry.last)
            older += k.entry.size;
        const bool keep = k.entry.last || (count < UndoHistory::kKept && older <= UndoHistory::kDiskLimit);
        if (!keep) {
            // One that cannot go stays, and goes at the next try.
            (void)removeLog(fs, k.entry.path);
            continue;
        }
        ++count;
        for (const Description &d : index) {
            if (d.id == k.id && d.size == k.entry.size)
                left.push_back(d);
        }
    }
    // Without its descriptions each log is described from its content.
    (void)writeIndex(fs, folder, left);
}

std::uint64_t nextNumber(const std::vector<Description> &index)
{
    std::uint64_t number = 0;
    for (const Description &d : index)
        number = std::max(number, d.number);
    return number + 1;
}

} // namespace

UndoHistory::UndoHistory(FileSystem &fileSystem, std::string dataFolder)
    : m_fileSystem(fileSystem), m_folder(std::move(dataFolder))
{
}

std::vector<HistoryEntry> UndoHistory::entries()
{
    std::vector<HistoryEntry> entries;
    for (Kept &k : collect(m_fileSystem, m_folder, readIndex(m_fileSystem, m_folder)))
        entries.push_back(std::move(k.entry));
    return entries;
}

std::optional<std::string> UndoHistory::unusableList(FileSystem &fs, const std::string &dataFolder)
{
    const std::string path = dataFolder + kIndex;
    if (!fs.lookUp(path))
        return std::nullopt;
    // Refused without being opened, or opened without blocking.
    const auto file = fs.readRegularFile(path, kIndexLimit);
    if (!file && (file.error().code == EINVAL || file.error().code == ELOOP))
        return path;
    return std::nullopt;
}

std::string UndoHistory::unusableListNotice(const std::string &path)
{
    return "The list of the undo history '" + path
        + "' is not a regular file: nothing was read from it, and it was left as it is. No run can start until it is "
          "removed.";
}

Status UndoHistory::keepReplaced(FileSystem &fs, const std::string &dataFolder)
{
    const std::string last = dataFolder + kLastLog;
    const auto look = fs.lookUp(last);
    if (!look || look->isDirectory)
        return Status::success();
    // Named by the next number of a description: unique among the kept logs,
    // which all change under this same lock.
    const std::vector<Description> index = readIndex(fs, dataFolder);
    std::uint64_t number = nextNumber(index);
    std::string kept;
    do
        kept = dataFolder + "rollback.h" + std::to_string(number++) + ".rbk";
    while (fs.lookUp(kept));
    return fs.rename(last, kept);
}

void UndoHistory::describe(FileSystem &fs, const std::string &dataFolder, const std::string &path,
                           const OperationInfo &info)
{
    std::vector<Description> index = readIndex(fs, dataFolder);
    const auto id = fs.itemId(path);
    const auto look = fs.lookUp(path);
    if (id && look) {
        Description d{*id, look->size, nextNumber(index), info};
        index.erase(std::remove_if(index.begin(), index.end(), [&](const Description &e) { return e.id == *id; }),
                    index.end());
        index.push_back(std::move(d));
    }
    tidy(fs, dataFolder, std::move(index));
}

std::optional<std::string> UndoHistory::keptLogOf(FileSystem &fs, const std::string &dataFolder,
                                                  const ItemId &identity)
{
    std::optional<std::string> found;
    // A folder that cannot be listed holds no log that can be found.
    (void)fs.enumerate(
        dataFolder,
        [&](const DirEntry &entry) {
            if (entry.isDirectory || entry.isLink || !isLogName(entry.name))
                return true;
            if (fs.itemId(dataFolder + entry.name) == identity)
                found = dataFolder + entry.name;
            return !found;
        },
        FileSystem::EntryOrder::Unsorted);
    return found;
}

Status UndoHistory::recordSingleRename(const std::string &newPath, const std::string &oldPath, std::int64_t time,
                                       const std::optional<ItemId> &identity, const std::vector<ItemId> &folderChain)
{
    const auto lock = m_fileSystem.lockFolder(m_folder);
    // One that cannot move is replaced, as without a history.
    (void)keepReplaced(m_fileSystem, m_folder);
    UndoLog log(m_fileSystem, m_folder);
    std::vector<UndoFolder> folders;
    if (!folderChain.empty())
        folders.push_back({oldPath.substr(0, oldPath.rfind('\\') + 1), folderChain.front(),
                           {folderChain.begin() + 1, folderChain.end()}});
    Status written = log.write(undoLinesOf({{newPath, oldPath, identity}}, folders));
    if (written)
        describe(m_fileSystem, m_folder, log.path(), {time, "Rename", oldPath, 1});
    return written;
}

Status UndoHistory::keepLast()
{
    const auto lock = m_fileSystem.lockFolder(m_folder);
    return keepReplaced(m_fileSystem, m_folder);
}

std::optional<HistoryEntry> UndoHistory::newerOverlapping(const std::vector<HistoryEntry> &entries, std::size_t index)
{
    if (index >= entries.size() || index == 0)
        return std::nullopt;
    auto content = m_fileSystem.readFile(entries[index].path, UndoLog::kFileLimit);
    if (!content)
        return std::nullopt;
    // Where its items are now, and the folders they lie in.
    std::unordered_set<std::string> current;
    std::unordered_set<std::string> above;
    const std::vector<std::string> lines = pairLinesOf(*content);
    for (std::size_t k = 0; k + 1 < lines.size(); k += 2) {
        current.insert(lines[k]);
        for (std::size_t slash = lines[k].rfind('\\'); slash != std::string::npos && slash > 0;
             slash = lines[k].rfind('\\', slash - 1))
            above.insert(lines[k].substr(0, slash));
    }
    const auto overlaps = [&](const std::string &former) {
        if (current.count(former) || above.count(former))
            return true;
        for (std::size_t slash = former.rfind('\\'); slash != std::string::npos && slash > 0;
             slash = former.rfind('\\', slash - 1)) {
            if (current.count(former.substr(0, slash)))
                return true;
        }
        return false;
    };
    for (std::size_t j = 0; j < index; ++j) {
        auto newer = m_fileSystem.readFile(entries[j].path, UndoLog::kFileLimit);
        if (!newer)
            continue;
        const std::vector<std::string> pairs = pairLinesOf(*newer);
        for (std::size_t k = 0; k + 1 < pairs.size(); k += 2) {
            if (overlaps(pairs[k + 1]))
                return entries[j];
        }
    }
    return std::nullopt;
}

UndoHistory::Outcome UndoHistory::undo(RunDriver &driver, Prompter &prompter, const std::vector<HistoryEntry> &entries,
                                       std::size_t index)
{
    if (index >= entries.size())
        return Outcome::Refused;
    const HistoryEntry &entry = entries[index];
    if (auto newer = newerOverlapping(entries, index)) {
        prompter.show({"Undo history", historyRefusal(entry, *newer), MessageIcon::Warning, MessageButtons::Ok});
        return Outcome::Refused;
    }
    if (!driver.undoLast(entry.path, entry.last ? std::string() : historyUndoQuestion(entry)))
        return Outcome::Declined;
    if (driver.undoRefused())
        return Outcome::Refused;
    return driver.unrestoredCount() == 0 ? Outcome::Undone : Outcome::Partial;
}

void UndoHistory::followUndo(FileSystem &fs, const std::string &dataFolder, const ItemId &taken,
                             const std::string &path)
{
    const auto lock = fs.lockFolder(dataFolder);
    std::vector<Description> descriptions = readIndex(fs, dataFolder);
    const auto described = std::find_if(descriptions.begin(), descriptions.end(),
                                        [&](const Description &d) { return d.id == taken; });
    if (described == descriptions.end())
        return;
    const auto id = fs.itemId(path);
    if (id && *id == taken)
        return; // nothing restored: the log is as it was
    Description d = *described;
    descriptions.erase(described);
    const auto look = fs.lookUp(path);
    auto left = fs.readFile(path, UndoLog::kFileLimit);
    // The items left keep the operation's place in the history.
    if (id && look && left) {
        d.id = *id;
        d.size = look->size;
        d.info.items = itemsOf(pairLinesOf(*left));
        descriptions.erase(std::remove_if(descriptions.begin(), descriptions.end(),
                                          [&](const Description &e) { return e.id == *id; }),
                           descriptions.end());
        descriptions.push_back(d);
    }
    tidy(fs, dataFolder, std::move(descriptions));
}

std::string operationKindName(EditKind kind)
{
    switch (kind) {
    case EditKind::Removpart:
        return "Remove";
    case EditKind::Replapart:
        return "Replace";
    case EditKind::Addnewnum:
        return "Insert";
    case EditKind::Changnew:
        return "Change";
    case EditKind::Changexten:
        return "Extension";
    default:
        return "Run";
    }
}

std::string itemCountText(std::size_t items)
{
    return std::to_string(items) + (items == 1 ? " item" : " items");
}

namespace {

std::string named(const HistoryEntry &entry)
{
    return "the " + entry.info.kind + " of " + localDateTimeText(entry.info.time) + " ("
        + itemCountText(entry.info.items) + (entry.info.target.empty() ? std::string() : ", " + entry.info.target)
        + ")";
}

} // namespace

std::string historyUndoQuestion(const HistoryEntry &entry)
{
    return "Do you want to UNDO " + named(entry) + " ?";
}

std::string historyRefusal(const HistoryEntry &entry, const HistoryEntry &newer)
{
    return "T" + named(entry).substr(1) + " can not be undone yet: " + named(newer)
        + ", which is newer, renamed some of the same items. Undo that one first.";
}

} // namespace renomiq
