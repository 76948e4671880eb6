#pragma once

#include "platform/file_system.h"

#include <memory>
#include <string>
#include <vector>

namespace renomiq {

// The journals of runs in progress as host files "rollback.<id>.jnl": a shared
// mapping of the file's end, space reserved before it is mapped, and an
// advisory lock held by the owning process for as long as it lives.
namespace HostJournal {

// Size of the mapped window at the journal's end; a multiple of the page size.
constexpr std::size_t kDefaultWindow = std::size_t{1} << 20;

// The most a journal holds: as much as an undo log can be. An append that
// would take it further fails, as on a full disk.
constexpr std::size_t kDefaultLimit = std::size_t{1} << 30;

// A new journal in the host folder `hostFolder` (with a trailing '/'), of at
// most `limit` bytes. `toHost` turns the Windows-style path given to commitAs
// into a host path.
Result<std::unique_ptr<Journal>> create(const std::string &hostFolder, std::size_t window, std::size_t limit,
                                        std::function<std::optional<std::string>(const std::string &)> toHost);

// The journals in `hostFolder` that no live process holds, each claimed, and
// what stands at a journal's name but is no regular file, never opened.
// `windowsFolder` is the same folder Windows-style, for the paths they report.
std::vector<std::unique_ptr<AbandonedJournal>> abandoned(
    const std::string &hostFolder, const std::string &windowsFolder,
    std::function<std::optional<std::string>(const std::string &)> toHost);

} // namespace HostJournal

} // namespace renomiq
