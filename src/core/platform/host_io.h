#pragma once

#include "platform/result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

namespace renomiq {

// Reads a whole host file of at most `limit` bytes. A link is followed, but
// only a regular file is read: a FIFO, a device or a folder is refused at once
// (nothing blocks, nothing reads without end), and so is a file larger than
// the limit. The error codes tell these apart: EINVAL, EFBIG.
Result<std::string> readHostFile(const std::string &hostPath, std::size_t limit);

// The same read, telling which file was read (its device and inode). With
// FinalLink::Refuse a link at the path is refused too (ELOOP).
enum class FinalLink { Follow, Refuse };
struct HostFileRead {
    std::string content;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};
Result<HostFileRead> readIdentifiedHostFile(const std::string &hostPath, std::size_t limit, FinalLink link);

// Writes a host file through a temporary file in the same folder, flushed to
// disk, then renamed over the old one: a crash or a full disk never leaves a
// torn file, and a failed write leaves the old file intact. The temporary
// file has no name until it is whole where the file system allows (a killed
// process leaves nothing); a named one ("NAME.tmp-XXXXXX") left by a killed
// process goes at the next write of the same file.

Status writeHostFileAtomic(const std::string &hostPath, const std::string &content,
                           mode_t mode = 0644);

// Deletes the temporary files ("NAME.tmp-XXXXXX") that atomic writes of the
// file `fileName` in `hostFolder` left when their process died; those of a
// live process stay.
void removeStaleTemporaries(const std::string &hostFolder, const std::string &fileName);

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
