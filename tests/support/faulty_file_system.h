#pragma once

#include "platform/host_file_system.h"

#include <cerrno>
#include <functional>
#include <set>
#include <string>

namespace renomiq::test {

// The real file system, with renames of chosen items refused as the OS refuses
// them for a read-only folder (the tests run as root, where a read-only folder
// still takes renames).
class FaultyFileSystem : public HostFileSystem {
public:
    using HostFileSystem::HostFileSystem;
    std::set<std::string> refuseRenameOf; // Windows-style source paths; "*" refuses all
    std::set<std::string> refuseWriteOf; // Windows-style paths
    // Runs before each entry a name walk hands over: a slow disk.
    std::function<void()> beforeEntry;

    Status enumerateNames(const std::string &folder,
                          const std::function<bool(const std::string &, bool)> &visit) override
    {
        if (!beforeEntry)
            return HostFileSystem::enumerateNames(folder, visit);
        return HostFileSystem::enumerateNames(folder, [&](const std::string &name, bool isDirectory) {
            beforeEntry();
            return visit(name, isDirectory);
        });
    }

    Status rename(const std::string &from, const std::string &to) override
    {
        if (refuseRenameOf.count("*") || refuseRenameOf.count(from))
            return errnoError(EACCES, "Cannot rename", from);
        return HostFileSystem::rename(from, to);
    }
    Status writeFileAtomic(const std::string &path, const std::string &content) override
    {
        if (refuseWriteOf.count(path))
            return errnoError(ENOSPC, "Cannot write", path);
        return HostFileSystem::writeFileAtomic(path, content);
    }
};

} // namespace renomiq::test
