#pragma once

#include "platform/result.h"

#include <string>
#include <sys/types.h>

namespace renomiq {

// Reads a whole host file.
Result<std::string> readHostFile(const std::string &hostPath);

// Writes a host file through a temporary file in the same folder, flushed to
// disk, then renamed over the old one: a crash or a full disk never leaves a
// torn file, and a failed write leaves the old file intact.
Status writeHostFileAtomic(const std::string &hostPath, const std::string &content,
                           mode_t mode = 0644);

// An exclusive advisory lock on a lock file (created when missing), held until
// the object goes. Serialises read-modify-write cycles between processes.
class HostFileLock {
public:
    explicit HostFileLock(const std::string &lockFile);
    ~HostFileLock();
    HostFileLock(const HostFileLock &) = delete;
    HostFileLock &operator=(const HostFileLock &) = delete;

private:
    int m_fd;
};

// Creates the folder and its missing parents.
Status makeHostFolders(const std::string &hostPath);

} // namespace renomiq
