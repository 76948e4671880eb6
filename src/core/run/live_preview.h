#pragma once

#include "engine/code_page.h"
#include "engine/edit_request.h"
#include "platform/prompter.h"
#include "targets/target_set.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace renomiq {

class Clock;
class FileSystem;
class Registry;

// One row of the live preview: an item as a preview run would list it.
struct LivePreviewRow {
    enum class Mark {
        Renamed,  // gets the new name
        Numbered, // gets it with "(n)": the name is taken
        Refused,  // the new name is refused (empty, reserved, too long)
        Failed,   // the new name could not be made (a pattern's match limit)
    };
    std::string oldText;
    std::string newText;
    Mark mark = Mark::Renamed;
    std::string note; // why a row is refused or failed
};

// What one computation needs, copied from the editor at the time of the change.
struct LivePreviewJob {
    EditRequest request; // checked; a preview's request
    TargetSet targets;
    std::vector<std::string> files; // the chosen files, when targets.filesMode
    std::size_t rowLimit = 20;
    CodePage codePage;
};

struct LivePreviewResult {
    std::vector<LivePreviewRow> rows;
    bool cancelled = false;
    bool more = false; // items beyond the rows would change too
    double milliseconds = 0; // the time the rows took, without the listing
};

// The items a run over the targets would take, in the order it takes them.
// Stops early (and gives what it has) once `stop` is set.
std::vector<std::string> livePreviewItems(FileSystem &fileSystem, const TargetSet &targets,
                                          const std::vector<std::string> &files, const std::atomic<bool> &stop);

// The first rows of a preview run over the items, with an engine of its own
// whose messages are kept as the rows' notes, never shown. Renames nothing.
// Stops when `cancel` is set.
LivePreviewResult computeLivePreview(const LivePreviewJob &job, const std::vector<std::string> &items,
                                     FileSystem &fileSystem, const Clock &clock, const std::atomic<bool> &cancel);

// Answers every box without showing it and keeps its text: OK to what has
// only OK, otherwise OK or Yes, so that a check goes on as after an OK.
class CollectingPrompter : public Prompter {
public:
    Answer show(const Message &message) override;
    std::vector<Message> messages;
};

// Computes live previews on a thread of its own, one at a time: a new job
// cancels the one under way. The listing of the targets is kept while they
// stay the same. Results go to `deliver`, called on the worker's thread.
class LivePreviewWorker {
public:
    using Deliver = std::function<void(std::uint64_t generation, LivePreviewResult result)>;
    LivePreviewWorker(FileSystem &fileSystem, const Clock &clock, Deliver deliver);
    ~LivePreviewWorker();
    LivePreviewWorker(const LivePreviewWorker &) = delete;
    LivePreviewWorker &operator=(const LivePreviewWorker &) = delete;

    void submit(std::uint64_t generation, LivePreviewJob job);
    // The listing is read again at the next job (the targets changed on disk).
    void forgetItems();

private:
    void loop();
    std::shared_ptr<const std::vector<std::string>> itemsFor(const LivePreviewJob &job);

    FileSystem &m_fileSystem;
    const Clock &m_clock;
    Deliver m_deliver;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<std::pair<std::uint64_t, LivePreviewJob>> m_pending;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_shutdown{false};
    // The listing and the targets it was made for (worker thread only, but
    // forgotten from any thread).
    std::shared_ptr<const std::vector<std::string>> m_items;
    std::string m_itemsKey;
    std::atomic<bool> m_forget{false};
    std::thread m_thread;
};

// The "LivePreview" value of the settings key: on unless switched off.
bool readLivePreviewSetting(Registry &registry);
void writeLivePreviewSetting(Registry &registry, bool on);

} // namespace renomiq
