#include "run/undo_log.h"

#include "platform/file_system.h"
#include "platform/text_lines.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>

namespace renomiq {

UndoLog::UndoLog(FileSystem &fileSystem, std::string folder, std::string path)
    : m_fileSystem(fileSystem), m_folder(std::move(folder)), m_path(std::move(path))
{
}

UndoLog::UndoLog(FileSystem &fileSystem, const std::string &dataFolder)
    : UndoLog(fileSystem, dataFolder, dataFolder + "rollback.rbk")
{
}

UndoLog UndoLog::atFile(FileSystem &fileSystem, const std::string &dataFolder, const std::string &path)
{
    return UndoLog(fileSystem, dataFolder, path);
}

UndoLog::~UndoLog() = default;
UndoLog::UndoLog(UndoLog &&) noexcept = default;

bool UndoLog::exists() const
{
    return m_fileSystem.fileExists(m_path);
}

Status UndoLog::write(const std::vector<std::string> &lines)
{
    // The write below fails, and says why, where the mark cannot be taken off.
    if (m_fileSystem.exists(m_path))
        (void)m_fileSystem.setAttributes(m_path, AttrArchive);
    Status status = m_fileSystem.writeFileAtomic(m_path, joinLines(lines));
    // The log is written; the read-only mark only guards it against hand edits.
    if (status)
        (void)m_fileSystem.setAttributes(m_path, AttrReadOnly);
    return status;
}

Result<std::vector<std::string>> UndoLog::read()
{
    m_taken.reset();
    m_takenHold.reset();
    auto file = m_fileSystem.readRegularFile(m_path, kFileLimit);
    if (!file)
        return file.error();
    m_taken = file->identity;
    m_takenHold = std::move(file->hold);
    return splitLines(file->content);
}

Result<std::string> UndoLog::keepOnly(const std::vector<std::string> &left)
{
    // Runs that end put their logs here under the same lock: none can come
    // between the look and the change.
    const auto lock = m_fileSystem.lockFolder(m_folder);
    const std::shared_ptr<void> held = std::move(m_takenHold); // let go once this is decided
    // A run that ended meanwhile moved it into the undo history: it is still this log.
    if (m_taken && m_fileSystem.itemId(m_path) != m_taken) {
        if (auto moved = UndoHistory::keptLogOf(m_fileSystem, m_folder, *m_taken))
            m_path = *moved;
    }
    if (m_taken && m_fileSystem.itemId(m_path) == m_taken) {
        Status status = left.empty() ? remove() : write(left);
        if (!status)
            return status.error();
        return std::string();
    }
    if (left.empty())
        return std::string();
    const std::string kept = m_folder + "rollback.left-" + std::to_string(m_taken ? m_taken->inode : 0) + ".rbk";
    Status status = UndoLog(m_fileSystem, m_folder, kept).write(left);
    if (!status)
        return status.error();
    return kept;
}

Status UndoLog::remove()
{
    // The removal below fails, and says why, where the mark cannot be taken off.
    (void)m_fileSystem.setAttributes(m_path, AttrArchive);
    return m_fileSystem.removeFile(m_path);
}

Status UndoLog::begin()
{
    m_recovery = recoverAbandonedJournals();
    m_memory.clear();
    m_pairs = 0;
    m_pending = false;
    auto journal = m_fileSystem.createJournal(m_folder);
    if (!journal)
        return journal.error();
    m_journal = std::move(journal).value();
    return Status::success();
}

namespace {

// A record as the journal holds it: the identity line, when known, then the pair.
std::string recordText(const std::string &current, const std::string &former, const std::optional<ItemId> &identity)
{
    std::string text;
    text.reserve(current.size() + former.size() + 50);
    if (identity) {
        text += identityLine(*identity);
        text += "\r\n";
    }
    text += current;
    text += "\r\n";
    text += former;
    text += "\r\n";
    return text;
}

} // namespace

Status UndoLog::recordRename(const std::string &newPath, const std::string &oldPath,
                             const std::optional<ItemId> &identity)
{
    // A new attempt for the item still open replaces what was recorded for it.
    if (m_pending && m_pendingOld == oldPath)
        takeBackItem();
    m_pending = true;
    m_pendingOld = oldPath;
    m_pendingIdentity = identity;
    m_pendingPairs = 0;
    if (!m_journal) {
        m_pendingStart = m_memory.size();
        if (identity)
            m_memory.push_back(identityLine(*identity));
        m_memory.push_back(newPath);
        m_memory.push_back(oldPath);
    } else {
        m_pendingStart = m_journal->size();
        Status status = m_journal->append(recordText(newPath, oldPath, identity));
        if (!status) {
            m_pending = false;
            return status;
        }
    }
    ++m_pairs;
    ++m_pendingPairs;
    return Status::success();
}

Status UndoLog::recordDetour(const std::string &temporaryPath, const std::string &oldPath)
{
    if (!m_pending || m_pendingOld != oldPath)
        return Error{0, "No rename of '" + oldPath + "' is recorded"};
    if (!m_journal) {
        if (m_pendingIdentity)
            m_memory.push_back(identityLine(*m_pendingIdentity));
        m_memory.push_back(temporaryPath);
        m_memory.push_back(oldPath);
    } else {
        Status status = m_journal->append(recordText(temporaryPath, oldPath, m_pendingIdentity));
        if (!status)
            return status;
    }
    ++m_pairs;
    ++m_pendingPairs;
    return Status::success();
}

void UndoLog::renameDone()
{
    m_pending = false;
}

void UndoLog::renameFailed(const std::string &oldPath)
{
    if (!m_pending || m_pendingOld != oldPath)
        return;
    // A change of case that failed on its way back from the temporary name
    // left the item there: what was recorded is what brings it back.
    if (m_pendingPairs > 1 && !m_fileSystem.exists(oldPath)) {
        m_pending = false;
        return;
    }
    takeBackItem();
}

void UndoLog::takeBackItem()
{
    if (m_journal)
        m_journal->truncate(m_pendingStart);
    else
        m_memory.resize(m_pendingStart);
    m_pairs -= m_pendingPairs;
    m_pendingPairs = 0;
    m_pending = false;
}

Status UndoLog::commit()
{
    Status status;
    m_pending = false;
    // An undo that ends meanwhile looks at the log under the same lock.
    const auto lock = m_fileSystem.lockFolder(m_folder);
    const bool replacing = m_pairs > 0;
    if (replacing) // one that cannot move is replaced, as without a history
        (void)UndoHistory::keepReplaced(m_fileSystem, m_folder);
    if (m_journal) {
        if (m_pairs == 0) {
            m_journal->discard();
        } else {
            status = m_journal->commitAs(m_path);
            if (!status) // the journal stays for the next start to recover
                return status;
        }
        m_journal.reset();
    } else if (m_pairs > 0) {
        status = write(m_memory);
        // An older log must not stand for this run: Undo would reverse the
        // wrong operation.
        if (!status && m_fileSystem.exists(m_path)) {
            const Status removed = remove();
            if (!removed)
                status = Error{status.error().code,
                               status.error().message + ". The undo log of the operation before could not be removed ("
                                   + removed.error().message + "): Undo would reverse that operation, not this one"};
        }
    }
    if (replacing && status && m_info)
        UndoHistory::describe(m_fileSystem, m_folder, m_path, *m_info);
    m_memory.clear();
    m_pairs = 0;
    return status;
}

namespace {

// Reads a journal as a stream: its lines end with CR LF, each a Windows-style
// full path or the identity line of the pair after it, up to the first zero
// byte (the unused rest). A record is an identity line (when the item's was
// known) and a pair of paths. A path may hold any other byte (a tab, an
// escape, ...): a file may be named so, and its record must not be lost.
// Memory stays bounded whatever the file holds.
class JournalScan {
public:
    static constexpr std::size_t kLongestLine = 32768;

    bool feed(std::string_view piece)
    {
        for (const char c : piece) {
            const auto byte = static_cast<unsigned char>(c);
            if (m_afterCr) {
                if (byte != '\n' || !endLine())
                    return markDamaged();
                m_afterCr = false;
            } else if (byte == 0) {
                return false; // the end of what was written
            } else if (byte == '\r') {
                m_afterCr = true;
            } else if (byte == '\n' || m_line.size() >= kLongestLine || !fitsLineStart(c)) {
                return markDamaged();
            } else {
                m_line.push_back(c);
            }
            ++m_offset;
        }
        return true;
    }

    // A file that does not begin as a journal is not one.
    bool isJournal() const { return !(m_damaged && m_lines == 0); }
    // It holds something that is no record (besides a record cut off at its end).
    bool damaged() const { return m_damaged; }
    // The length of its whole records: a record cut off by a crash is left out.
    std::size_t wholeLength() const { return m_whole; }

    struct Pair {
        std::size_t start; // where its record begins in the journal
        std::string current;
        std::string former;
        std::optional<ItemId> identity;
    };
    // Its last whole records, up to two (a rename and its detour), the last
    // one last.
    const std::vector<Pair> &lastPairs() const { return m_recent; }

private:
    // The first bytes of a line tell a path ("C:\") from an identity line.
    bool fitsLineStart(char c) const
    {
        const std::size_t at = m_line.size();
        if (at >= 3)
            return true;
        if (!m_line.empty() && m_line[0] == '#')
            return true;
        if (at == 0)
            return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || (c == '#' && m_state == Expect::Record);
        return c == (at == 1 ? ':' : '\\');
    }

    // The line read up to its CR LF (m_offset is at its LF).
    bool endLine()
    {
        if (m_line.empty()) {
            return false;
        } else if (m_line[0] == '#') {
            const auto identity = identityOfLine(m_line);
            if (!identity || m_state != Expect::Record)
                return false;
            m_identity = identity;
            m_recordStart = m_lineStart;
            m_state = Expect::Current;
        } else if (m_line.size() < 3) {
            return false;
        } else if (m_state == Expect::Former) {
            m_recent.push_back({m_recordStart, std::move(m_current), std::move(m_line), m_identity});
            if (m_recent.size() > 2)
                m_recent.erase(m_recent.begin());
            m_whole = m_offset + 1;
            m_state = Expect::Record;
            m_identity.reset();
        } else {
            if (m_state == Expect::Record)
                m_recordStart = m_lineStart;
            m_current = std::move(m_line);
            m_state = Expect::Former;
        }
        ++m_lines;
        m_line.clear();
        m_lineStart = m_offset + 1;
        return true;
    }

    bool markDamaged()
    {
        m_damaged = true;
        return false;
    }

    enum class Expect { Record, Current, Former };
    Expect m_state = Expect::Record;
    std::size_t m_offset = 0;
    std::size_t m_lines = 0;
    std::size_t m_whole = 0;
    bool m_afterCr = false;
    bool m_damaged = false;
    std::string m_line; // the line being read, up to its CR
    std::size_t m_lineStart = 0;
    std::size_t m_recordStart = 0;
    std::string m_current;
    std::optional<ItemId> m_identity;
    std::vector<Pair> m_recent;
};

// Whether the rename a pair records was carried out: the item recorded last
// may have been killed before its rename was made, or while the rename
// failed because another item has the new name. With the item's identity
// recorded, made means that item is at the new name now, whatever was moved
// or replaced since. Without it (older journals), made means the item is gone
// from its former name, or (a file system that ignores case) is the same item
// under both.
bool renameWasMade(FileSystem &fileSystem, const JournalScan::Pair &pair)
{
    if (pair.identity)
        return fileSystem.itemId(pair.current) == pair.identity;
    const auto formerItem = fileSystem.itemId(pair.former);
    return !formerItem || fileSystem.itemId(pair.current) == formerItem;
}

} // namespace

UndoLog::Recovery UndoLog::recoverAbandonedJournals()
{
    Recovery recovery;
    // An undo that ends meanwhile looks at the log under the same lock.
    const auto lock = m_fileSystem.lockFolder(m_folder);
    auto journals = m_fileSystem.abandonedJournals(m_folder);
    // The newest first: it may become the undo log; every older one is then
    // kept beside it.
    std::stable_sort(journals.begin(), journals.end(), [](const auto &a, const auto &b) {
        return a->lastWriteNanoseconds() > b->lastWriteNanoseconds();
    });
    bool logReplaced = false;
    const auto setAside = [&](AbandonedJournal &journal) {
        if (m_fileSystem.rename(journal.path(), journal.path() + ".damaged"))
            recovery.setAside.push_back(journal.path() + ".damaged");
    };
    for (auto &journal : journals) {
        if (journal->size() > kFileLimit) {
            // Its records could never be undone: kept for a closer look.
            const std::string aside = journal->path() + ".damaged";
            const bool moved = m_fileSystem.rename(journal->path(), aside).ok();
            recovery.unread.push_back({journal->path(), "is larger than " + std::to_string(kFileLimit >> 20) + " MiB",
                                       moved ? aside : std::string()});
            continue;
        }
        JournalScan scan;
        if (Status read = journal->read([&](std::string_view piece) { return scan.feed(piece); }); !read) {
            if (read.error().code == EINVAL)
                recovery.unread.push_back({journal->path(), "is not a regular file", {}});
            continue;
        }
        if (!scan.isJournal() || (scan.wholeLength() == 0 && scan.damaged())) {
            setAside(*journal);
            continue;
        }
        // Only the item recorded last can have a record of a rename never
        // made: those pairs are left out, or undo would rename another item.
        std::size_t whole = scan.wholeLength();
        std::vector<JournalScan::Pair> last = scan.lastPairs();
        const std::string item = last.empty() ? std::string() : last.back().former;
        while (!last.empty() && last.back().former == item && !renameWasMade(m_fileSystem, last.back())) {
            whole = last.back().start;
            last.pop_back();
        }
        if (whole == 0) {
            if (scan.damaged())
                setAside(*journal);
            else
                // Empty, or only a record cut off or never carried out; one
                // that cannot be removed is looked at again at the next start.
                (void)journal->remove();
            continue;
        }
        std::string target = m_path;
        // Only a journal surely written after the undo log replaces it; one
        // recovered in this same pass is never replaced.
        if (logReplaced || journal->notWrittenAfter(m_path)) {
            // Named after the journal, so that a recovery done again writes
            // the same file.
            std::string stem = journal->path().substr(m_folder.size());
            stem.resize(stem.size() - 4);
            target = m_folder + (stem == "rollback" ? std::string("rollback.0") : stem) + ".rbk";
        }
        // The log it replaces moves into the undo history.
        if (target == m_path)
            (void)UndoHistory::keepReplaced(m_fileSystem, m_folder);
        // The new log is complete on disk before the journal goes; a recovery
        // cut short in between is simply done again.
        if (!journal->saveAs(target, whole))
            continue;
        logReplaced = logReplaced || target == m_path;
        // What could not be read stays on disk for a closer look.
        if (scan.damaged())
            setAside(*journal);
        else
            (void)journal->remove(); // one left is recovered again into a log of its own: nothing is lost
        ++recovery.recovered;
        if (target != m_path)
            recovery.keptLogs.push_back(target);
    }
    return recovery;
}

std::string keptLogNotice(const std::string &path)
{
    return "A run that was cut short ended before the last operation; its renames are kept in their own undo log: "
        + path + "\nTo undo them: renomiq-cli undo --log \"" + path + "\"";
}

std::string unreadNotice(const std::string &journal, const std::string &problem, const std::string &setAsideAs)
{
    return "The journal of a run '" + journal + "' " + problem
        + (setAsideAs.empty() ? ": nothing was read from it, and it was left as it is."
                              : ": nothing was read from it, and it was set aside as '" + setAsideAs + "'.");
}

std::string identityLine(const ItemId &identity)
{
    char text[64];
    const int n = std::snprintf(text, sizeof text, "#item %llu:%llu", static_cast<unsigned long long>(identity.device),
                                static_cast<unsigned long long>(identity.inode));
    return std::string(text, static_cast<std::size_t>(n));
}

std::optional<ItemId> identityOfLine(std::string_view line)
{
    constexpr std::string_view kStart = "#item ";
    if (line.substr(0, kStart.size()) != kStart)
        return std::nullopt;
    line.remove_prefix(kStart.size());
    ItemId identity;
    const char *end = line.data() + line.size();
    const auto device = std::from_chars(line.data(), end, identity.device);
    if (device.ec != std::errc() || device.ptr == line.data() || device.ptr == end || *device.ptr != ':')
        return std::nullopt;
    const auto inode = std::from_chars(device.ptr + 1, end, identity.inode);
    if (inode.ec != std::errc() || inode.ptr == device.ptr + 1 || inode.ptr != end)
        return std::nullopt;
    return identity;
}

std::vector<UndoEntry> undoEntriesOf(const std::vector<std::string> &lines)
{
    std::vector<UndoEntry> entries;
    std::optional<ItemId> identity;
    const std::string *current = nullptr;
    for (const std::string &line : lines) {
        if (auto id = identityOfLine(line)) {
            // Between the two paths of a pair it belongs to neither.
            if (!current)
                identity = id;
        } else if (!current) {
            current = &line;
        } else {
            entries.push_back({*current, line, identity});
            current = nullptr;
            identity.reset();
        }
    }
    return entries;
}

std::vector<std::string> undoLinesOf(const std::vector<UndoEntry> &entries)
{
    std::vector<std::string> lines;
    lines.reserve(entries.size() * 3);
    for (const UndoEntry &entry : entries) {
        if (entry.identity)
            lines.push_back(identityLine(*entry.identity));
        lines.push_back(entry.current);
        lines.push_back(entry.former);
    }
    return lines;
}

bool isSoundUndoPair(const std::string &current, const std::string &former)
{
    const auto nameStart = [](const std::string &path) -> std::size_t {
        const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':'
            && path[2] == '\\';
        if (!drive)
            return std::string::npos;
        const std::size_t start = path.rfind('\\') + 1;
        const std::string_view name(path.data() + start, path.size() - start);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos)
            return std::string::npos;
        return start;
    };
    // A zero byte ends a path where the system reads it: the pair would
    // name other items than those it shows.
    if (current.find('\0') != std::string::npos || former.find('\0') != std::string::npos)
        return false;
    const std::size_t a = nameStart(current);
    const std::size_t b = nameStart(former);
    return a != std::string::npos && a == b && current.compare(0, a, former, 0, b) == 0;
}

} // namespace renomiq
