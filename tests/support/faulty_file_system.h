#pragma once

#include "platform/host_file_system.h"

#include <atomic>
#include <cerrno>
#include <functional>
#include <set>
#include <string>

namespace renomiq::test {

// The real file system, with renames of chosen items refused as the OS refuses
// them for a read-only folder, and folders that cannot be listed as the OS
// refuses an unreadable one (the tests run as root, where permissions do not
// stop these); existence tests are counted.
class FaultyFileSystem : public HostFileSystem {
public:
    using HostFileSystem::HostFileSystem;
    std::set<std::string> refuseRenameOf; // Windows-style source paths; "*" refuses all
    std::set<std::string> refuseWriteOf; // Windows-style paths
    std::set<std::string> refuseListOf;  // Windows-style folder paths with their trailing '\'
    std::set<std::string> refuseRemoveOf; // Windows-style paths
    bool refuseJournals = false;        // no journal of a run can be made
    std::atomic<int> existenceTests{0}; // look-ups of whether something is at a path
    // Runs before each entry a name walk hands over: a slow disk.
    std::function<void()> beforeEntry;
    // Runs before each rename of an item, with its Windows-style source path:
    // a test acts at a chosen point of a run, whatever the machine's speed.
    std::function<void(const std::string &from)> beforeRename;
    // Runs before each rename back of an undo: what another instance does
    // meanwhile.
    std::function<void()> beforeRenameBack;

    Status enumerate(const std::string &folder, const std::function<bool(const DirEntry &)> &visit,
                     EntryOrder order = EntryOrder::Sorted) override
    {
        if (refuseListOf.count(folder))
            return errnoError(EACCES, "Cannot list", folder);
        return HostFileSystem::enumerate(folder, visit, order);
    }
    Status enumerateNames(const std::string &folder, const std::function<bool(const NameEntry &)> &visit,
                          const Unreachable &unreachable = {}, EntryOrder order = EntryOrder::Sorted) override
    {
        if (refuseListOf.count(folder))
            return errnoError(EACCES, "Cannot list", folder);
        if (!beforeEntry)
            return HostFileSystem::enumerateNames(folder, visit, unreachable, order);
        return HostFileSystem::enumerateNames(
            folder,
            [&](const NameEntry &entry) {
                beforeEntry();
                return visit(entry);
            },
            unreachable, order);
    }
    bool exists(const std::string &path) override
    {
        ++existenceTests;
        return HostFileSystem::exists(path);
    }
    bool fileExists(const std::string &path) override
    {
        ++existenceTests;
        return HostFileSystem::fileExists(path);
    }
    bool folderExists(const std::string &path) override
    {
        ++existenceTests;
        return HostFileSystem::folderExists(path);
    }

    Status rename(const std::string &from, const std::string &to) override
    {
        if (beforeRename)
            beforeRename(from);
        if (refuseRenameOf.count("*") || refuseRenameOf.count(from))
            return errnoError(EACCES, "Cannot rename", from);
        return HostFileSystem::rename(from, to);
    }
    using HostFileSystem::renameBack;
    Status renameBack(const std::string &from, const std::string &to, const BackGuard &guard) override
    {
        if (beforeRenameBack)
            beforeRenameBack();
        if (refuseRenameOf.count("*") || refuseRenameOf.count(from))
            return errnoError(EACCES, "Cannot rename", from);
        return HostFileSystem::renameBack(from, to, guard);
    }
    Status removeFile(const std::string &path) override
    {
        if (refuseRemoveOf.count(path))
            return errnoError(EACCES, "Cannot delete", path);
        return HostFileSystem::removeFile(path);
    }
    Result<std::unique_ptr<Journal>> createJournal(const std::string &folder) override
    {
        if (refuseJournals)
            return errnoError(ENOSPC, "Cannot create a journal in", folder);
        return HostFileSystem::createJournal(folder);
    }
    Status writeFileAtomic(const std::string &path, const std::string &content) override
    {
        if (refuseWriteOf.count(path))
            return errnoError(ENOSPC, "Cannot write", path);
        return HostFileSystem::writeFileAtomic(path, content);
    }
};

} // namespace renomiq::test
