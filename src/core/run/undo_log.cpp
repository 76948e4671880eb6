#include "run/undo_log.h"

#include "platform/file_system.h"
#include "platform/text_lines.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <deque>
#include <thread>
#include <unordered_map>
#include <unordered_set>

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
    m_folders.clear();
    m_pairs = 0;
    m_pending = false;
    auto journal = m_fileSystem.createJournal(m_folder);
    if (!journal)
        return journal.error();
    m_journal = std::move(journal).value();
    return Status::success();
}

namespace {

// "#item <device>:<inode>" into `out`; the end of what was written.
char *writeIdentityLine(char *out, const ItemId &identity)
{
    constexpr std::string_view kStart = "#item ";
    out = std::copy(kStart.begin(), kStart.end(), out);
    out = std::to_chars(out, out + 20, identity.device).ptr;
    *out++ = ':';
    return std::to_chars(out, out + 20, identity.inode).ptr;
}

// A record as the journal holds it, into `text` (its buffer kept from one
// record to the next): the identity line, when known, then the pair.
void writeRecord(std::string &text, const std::string &current, const std::string &former,
                 const std::optional<ItemId> &identity)
{
    text.clear();
    if (identity) {
        char line[64];
        char *end = writeIdentityLine(line, *identity);
        *end++ = '\r';
        *end++ = '\n';
        text.append(line, end);
    }
    text += current;
    text += "\r\n";
    text += former;
    text += "\r\n";
}

std::string recordText(const std::string &current, const std::string &former, const std::optional<ItemId> &identity)
{
    std::string text;
    writeRecord(text, current, former, identity);
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
        writeRecord(m_record, newPath, oldPath, identity);
        Status status = m_journal->append(m_record);
        if (!status) {
            m_pending = false;
            return status;
        }
    }
    ++m_pairs;
    ++m_pendingPairs;
    return Status::success();
}

std::string UndoLog::folderKeyOf(const std::string &folder)
{
    return !folder.empty() && folder.back() == '\\' ? folder : folder + '\\';
}

Status UndoLog::recordFolder(const std::string &folder, const std::vector<ItemId> &chain)
{
    const std::string key = folderKeyOf(folder);
    if (m_folders.count(key) || chain.empty())
        return Status::success();
    const std::string line = folderLine({key, chain.front(), {chain.begin() + 1, chain.end()}});
    if (!m_journal) {
        m_memory.push_back(line);
    } else if (m_slots) {
        const std::lock_guard lock(m_slots->lock);
        if (Status status = m_journal->appendLooked(line + "\r\n"); !status)
            return status;
    } else if (Status status = m_journal->append(line + "\r\n"); !status) {
        return status;
    }
    // Behind the record of an item whose outcome is still open it would go
    // with that record: recorded again for the next item then.
    if (!m_pending)
        m_folders.insert(key);
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

void UndoLog::SpinLock::lock()
{
    for (int tries = 0; m_taken.test_and_set(std::memory_order_acquire); ++tries) {
        if (tries % 64 == 63)
            std::this_thread::yield(); // the holder may wait for a core
    }
}

void UndoLog::beginSlots(std::size_t slots)
{
    m_slots = std::make_unique<Slots>();
    m_slots->slots.resize(slots);
}

Status UndoLog::appendRecord(Slot &slot, const std::string &current, const std::string &former,
                             const std::string &text)
{
    // m_slots->lock is held.
    if (!m_journal) {
        const std::size_t start = m_memory.size();
        if (slot.identity)
            m_memory.push_back(identityLine(*slot.identity));
        m_memory.push_back(current);
        m_memory.push_back(former);
        slot.ranges.emplace_back(start, m_memory.size() - start);
    } else {
        const std::size_t start = m_journal->size();
        Status status = m_journal->appendLooked(text);
        if (!status)
            return status;
        slot.ranges.emplace_back(start, text.size());
    }
    ++m_pairs;
    return Status::success();
}

Status UndoLog::recordRename(std::size_t slot, const std::string &newPath, const std::string &oldPath,
                             const std::optional<ItemId> &identity)
{
    // Made and looked at before the lock: the threads hold it for the copy alone.
    const std::string text = m_journal ? recordText(newPath, oldPath, identity) : std::string();
    if (m_journal) {
        if (Status there = m_journal->stillThere(); !there)
            return there;
    }
    std::unique_lock lock(m_slots->lock);
    Slot &mine = m_slots->slots[slot];
    // A new attempt for the item still open replaces what was recorded for it.
    if (mine.inFlight && mine.oldPath == oldPath)
        takeBackSlot(mine);
    mine.inFlight = false;
    // Never further than kInFlightBytes from the oldest item in flight: the
    // thread waits for it, which ends its rename without waiting for anyone.
    const auto farBehind = [&] {
        if (!m_journal)
            return false; // no recovery reads it
        const std::size_t end = m_journal->size();
        for (const Slot &other : m_slots->slots) {
            if (other.inFlight && end - other.firstByte >= kInFlightBytes)
                return true;
        }
        return false;
    };
    while (farBehind()) {
        lock.unlock();
        std::this_thread::yield();
        lock.lock();
    }
    mine.firstByte = m_journal ? m_journal->size() : 0;
    mine.ranges.clear();
    mine.identity = identity;
    Status status = appendRecord(mine, newPath, oldPath, text);
    if (status) {
        mine.inFlight = true;
        mine.oldPath = oldPath;
    }
    return status;
}

Status UndoLog::recordDetourOfSlot(const std::string &temporaryPath, const std::string &oldPath)
{
    if (m_journal) {
        if (Status there = m_journal->stillThere(); !there)
            return there;
    }
    const std::lock_guard lock(m_slots->lock);
    for (Slot &slot : m_slots->slots) {
        if (slot.inFlight && slot.oldPath == oldPath)
            return appendRecord(slot, temporaryPath, oldPath,
                                m_journal ? recordText(temporaryPath, oldPath, slot.identity) : std::string());
    }
    return Error{0, "No rename of '" + oldPath + "' is recorded"};
}

void UndoLog::renameDone(std::size_t slot)
{
    const std::lock_guard lock(m_slots->lock);
    m_slots->slots[slot].inFlight = false;
}

void UndoLog::renameFailed(std::size_t slot, const std::string &oldPath)
{
    std::size_t pairs = 0;
    {
        const std::lock_guard lock(m_slots->lock);
        const Slot &mine = m_slots->slots[slot];
        if (!mine.inFlight || mine.oldPath != oldPath)
            return;
        pairs = mine.ranges.size();
    }
    // A change of case that failed on its way back from the temporary name
    // left the item there: what was recorded is what brings it back.
    const bool stranded = pairs > 1 && !m_fileSystem.exists(oldPath);
    const std::lock_guard lock(m_slots->lock);
    Slot &mine = m_slots->slots[slot];
    if (stranded)
        mine.inFlight = false;
    else
        takeBackSlot(mine);
}

void UndoLog::takeBackSlot(Slot &slot)
{
    // m_slots->lock is held. Its pairs at the journal's end go; those that
    // others' pairs follow become void.
    for (auto range = slot.ranges.rbegin(); range != slot.ranges.rend(); ++range) {
        const auto [start, length] = *range;
        if (!m_journal) {
            for (std::size_t line = start; line < start + length; ++line)
                m_memory[line].clear();
        } else if (start + length == m_journal->size()) {
            m_journal->truncate(start);
        } else {
            m_journal->overwrite(start, voidPairText(length));
        }
        --m_pairs;
    }
    slot.ranges.clear();
    slot.inFlight = false;
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
        // Pairs taken back in a run in several threads are empty here.
        m_memory.erase(std::remove(m_memory.begin(), m_memory.end(), std::string()), m_memory.end());
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
    // Every record that may be of a rename never made begins within these
    // last bytes: the items in flight of a run in several threads, with their
    // detours (and one record of the longest lines more).
    static constexpr std::size_t kRecentBytes = UndoLog::kInFlightBytes + 3 * kLongestLine;

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
    // Where its first pair begins (the lines of folders before it): a
    // journal cut back to there holds nothing to undo.
    std::size_t firstPairStart() const { return m_firstPair; }

    struct Pair {
        std::size_t start; // where its record begins in the journal
        std::size_t length; // of the whole record, its identity line too
        std::string current;
        std::string former;
        std::optional<ItemId> identity;
    };
    // Its last whole records, those that begin within kRecentBytes of the
    // end of the last one, the last one last.
    std::vector<Pair> lastPairs() const { return {m_recent.begin(), m_recent.end()}; }

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
        } else if (m_line[0] == '#' && m_state == Expect::Record && folderOfLine(m_line)) {
            // A folder of the run: a record of its own, before the pairs in it.
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
            m_firstPair = std::min(m_firstPair, m_recordStart);
            m_recent.push_back({m_recordStart, m_offset + 1 - m_recordStart, std::move(m_current), std::move(m_line),
                                m_identity});
            while (m_recent.front().start + kRecentBytes < m_recordStart)
                m_recent.pop_front();
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
    std::size_t m_firstPair = std::string::npos;
    bool m_afterCr = false;
    bool m_damaged = false;
    std::string m_line; // the line being read, up to its CR
    std::size_t m_lineStart = 0;
    std::size_t m_recordStart = 0;
    std::string m_current;
    std::optional<ItemId> m_identity;
    std::deque<Pair> m_recent;
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

std::string folderOfPath(const std::string &path)
{
    return path.substr(0, path.rfind('\\') + 1);
}

// Which of a journal's last pairs record renames never made. An item in
// flight when its run died is the last one recorded in its folder: a later
// pair of another item in the same folder, or of a folder above it, was
// recorded only after its outcome (one thread works a folder, and a folder
// is renamed after everything inside it). Its pairs are looked at from the
// last back, up to the first one made.
std::vector<bool> renamesNotMade(FileSystem &fileSystem, const std::vector<JournalScan::Pair> &pairs)
{
    std::vector<bool> notMade(pairs.size(), false);
    // Met so far, from the last back: the items by former path, how many of
    // them lie in each folder, and the items of which a made pair was met.
    std::unordered_set<std::string> later;
    std::unordered_map<std::string, std::size_t> laterIn;
    std::unordered_set<std::string> decided;
    for (std::size_t k = pairs.size(); k-- > 0;) {
        const JournalScan::Pair &pair = pairs[k];
        if (isVoidUndoPair(pair.current, pair.former))
            continue;
        const std::string folder = folderOfPath(pair.former);
        const bool itself = later.count(pair.former) > 0;
        const auto in = laterIn.find(folder);
        // Another item of its folder, or a folder above it, follows it.
        bool settled = in != laterIn.end() && in->second > (itself ? 1u : 0u);
        for (std::size_t at = folder.find('\\'); !settled && at != std::string::npos; at = folder.find('\\', at + 1))
            settled = later.count(folder.substr(0, at)) > 0;
        if (!itself) {
            later.insert(pair.former);
            ++laterIn[folder];
        }
        if (settled || decided.count(pair.former))
            continue;
        if (renameWasMade(fileSystem, pair))
            decided.insert(pair.former);
        else
            notMade[k] = true;
    }
    return notMade;
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
        // Only the item recorded last in a folder can have a record of a
        // rename never made: those pairs are left out, or undo would rename
        // another item.
        std::size_t whole = scan.wholeLength();
        std::vector<JournalScan::Pair> last = scan.lastPairs();
        const std::vector<bool> notMade = renamesNotMade(m_fileSystem, last);
        while (!last.empty() && notMade[last.size() - 1]) {
            whole = last.back().start;
            last.pop_back();
        }
        if (whole <= scan.firstPairStart())
            whole = 0; // only lines of folders are left
        std::vector<std::pair<std::size_t, std::string>> voided;
        for (std::size_t k = 0; k < last.size(); ++k) {
            if (notMade[k])
                voided.emplace_back(last[k].start, voidPairText(last[k].length));
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
        if (!journal->saveAs(target, whole, voided))
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

bool isVoidUndoPair(const std::string &current, const std::string &former)
{
    const auto isVoidLine = [](const std::string &line) {
        return line.size() >= 3 && ((line[0] | 0x20) >= 'a' && (line[0] | 0x20) <= 'z') && line[1] == ':'
            && line.find_first_not_of('\\', 2) == std::string::npos;
    };
    return isVoidLine(current) && isVoidLine(former);
}

std::string voidPairText(std::size_t length)
{
    const std::size_t first = (length - 4) / 2;
    const std::size_t second = length - 4 - first;
    return "X:" + std::string(first - 2, '\\') + "\r\nX:" + std::string(second - 2, '\\') + "\r\n";
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
    return std::string(text, writeIdentityLine(text, identity));
}

namespace {

// "DEVICE:INODE" at `at`: where it ends, or null.
const char *readIdentity(const char *at, const char *end, ItemId &identity)
{
    const auto device = std::from_chars(at, end, identity.device);
    if (device.ec != std::errc() || device.ptr == at || device.ptr == end || *device.ptr != ':')
        return nullptr;
    const auto inode = std::from_chars(device.ptr + 1, end, identity.inode);
    if (inode.ec != std::errc() || inode.ptr == device.ptr + 1)
        return nullptr;
    return inode.ptr;
}

} // namespace

std::optional<ItemId> identityOfLine(std::string_view line)
{
    constexpr std::string_view kStart = "#item ";
    if (line.substr(0, kStart.size()) != kStart)
        return std::nullopt;
    line.remove_prefix(kStart.size());
    ItemId identity;
    const char *end = line.data() + line.size();
    if (readIdentity(line.data(), end, identity) != end)
        return std::nullopt;
    return identity;
}

std::string folderLine(const UndoFolder &folder)
{
    char text[64];
    const int n = std::snprintf(text, sizeof text, "#folder %llu:%llu ",
                                static_cast<unsigned long long>(folder.identity.device),
                                static_cast<unsigned long long>(folder.identity.inode));
    std::string line = std::string(text, static_cast<std::size_t>(n)) + folder.path;
    if (folder.above.empty())
        return line;
    line += '\\';
    for (std::size_t i = 0; i < folder.above.size(); ++i) {
        const int k = std::snprintf(text, sizeof text, "%s%llu:%llu", i == 0 ? "" : " ",
                                    static_cast<unsigned long long>(folder.above[i].device),
                                    static_cast<unsigned long long>(folder.above[i].inode));
        line.append(text, static_cast<std::size_t>(k));
    }
    line += '\\';
    return line;
}

namespace {

// "DEVICE:INODE DEVICE:INODE ...", at least one.
std::optional<std::vector<ItemId>> identitiesOf(std::string_view text)
{
    std::vector<ItemId> found;
    const char *at = text.data();
    const char *end = text.data() + text.size();
    while (true) {
        ItemId id;
        const char *after = readIdentity(at, end, id);
        if (!after)
            return std::nullopt;
        found.push_back(id);
        if (after == end)
            return found;
        if (*after != ' ')
            return std::nullopt;
        at = after + 1;
    }
}

} // namespace

std::optional<UndoFolder> folderOfLine(std::string_view line)
{
    constexpr std::string_view kStart = "#folder ";
    if (line.substr(0, kStart.size()) != kStart)
        return std::nullopt;
    line.remove_prefix(kStart.size());
    UndoFolder folder;
    const char *end = line.data() + line.size();
    const char *after = readIdentity(line.data(), end, folder.identity);
    if (!after || after == end || *after != ' ')
        return std::nullopt;
    folder.path.assign(after + 1, end);
    // A full Windows-style folder path, ending in '\'.
    const std::string &path = folder.path;
    if (path.size() < 3 || !(((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && path[2] == '\\')
        || path.back() != '\\' || path.find('\0') != std::string::npos)
        return std::nullopt;
    // The folders above it after an empty name; a path that does not hold
    // them as written is read as a path.
    const std::size_t split = path.find("\\\\", 2);
    if (split != std::string::npos && split + 3 < path.size()) {
        if (auto above = identitiesOf(std::string_view(path).substr(split + 2, path.size() - split - 3))) {
            folder.above = std::move(*above);
            folder.path.resize(split + 1);
        }
    }
    return folder;
}

std::vector<UndoFolder> undoFoldersOf(const std::vector<std::string> &lines)
{
    std::vector<UndoFolder> folders;
    for (const std::string &line : lines) {
        if (auto folder = folderOfLine(line))
            folders.push_back(std::move(*folder));
    }
    return folders;
}

UndoFolderIndex::UndoFolderIndex(const std::vector<UndoFolder> &folders)
{
    m_byPath.reserve(folders.size());
    for (const UndoFolder &folder : folders)
        m_byPath.emplace(folder.path, &folder);
}

const UndoFolder *UndoFolderIndex::folderOf(const std::string &path) const
{
    if (m_byPath.empty() || path.size() < 2)
        return nullptr;
    // Each folder above the item, the deepest first, with its trailing '\'.
    for (std::size_t at = path.rfind('\\', path.size() - 2); at != std::string::npos;
         at = at == 0 ? std::string::npos : path.rfind('\\', at - 1)) {
        const auto found = m_byPath.find(std::string_view(path.data(), at + 1));
        if (found != m_byPath.end())
            return found->second;
    }
    return nullptr;
}

std::vector<UndoEntry> undoEntriesOf(const std::vector<std::string> &lines)
{
    std::vector<UndoEntry> entries;
    std::optional<ItemId> identity;
    const std::string *current = nullptr;
    for (const std::string &line : lines) {
        if (!current && folderOfLine(line)) {
            continue;
        } else if (auto id = identityOfLine(line)) {
            // Between the two paths of a pair it belongs to neither.
            if (!current)
                identity = id;
        } else if (!current) {
            current = &line;
        } else {
            // A pair its run took back is no entry.
            if (!isVoidUndoPair(*current, line))
                entries.push_back({*current, line, identity});
            current = nullptr;
            identity.reset();
        }
    }
    return entries;
}

std::vector<std::string> undoLinesOf(const std::vector<UndoEntry> &entries, const std::vector<UndoFolder> &folders)
{
    std::vector<std::string> lines;
    lines.reserve(folders.size() + entries.size() * 3);
    for (const UndoFolder &folder : folders)
        lines.push_back(folderLine(folder));
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
