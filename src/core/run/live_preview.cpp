#include "run/live_preview.h"

#include "engine/item_outcome.h"
#include "engine/item_path.h"
#include "engine/name_engine.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "settings/settings_store.h"
#include "targets/folder_walks.h"

#include <chrono>

namespace renomiq {

namespace {

constexpr const char *kLivePreviewValue = "LivePreview";

// The path up to and with its last '\\'.
std::string folderOf(const std::string &path)
{
    const std::size_t cut = path.rfind('\\');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The rows of a preview run, as the run driver lists them: a name taken by an
// earlier row gets the next "(n)".
class RowSink : public OutcomeSink {
public:
    RowSink(const LivePreviewJob &job, SpecialStrings &special, CollectingPrompter &prompter)
        : m_job(job), m_special(special), m_prompter(prompter)
    {
    }

    std::vector<LivePreviewRow> rows;
    bool full() const { return rows.size() >= m_job.rowLimit; }

    void report(const ItemOutcome &outcome) override
    {
        switch (outcome.kind) {
        case OutcomeKind::Previewed: addRow(outcome); break;
        case OutcomeKind::EmptyName:
        case OutcomeKind::Refused:
            rows.push_back({shown(outcome.oldPath), outcome.newPath.empty() ? std::string() : shown(outcome.newPath),
                            LivePreviewRow::Mark::Refused, lastMessage()});
            break;
        case OutcomeKind::RenameFailed:
            rows.push_back({shown(outcome.oldPath), {}, LivePreviewRow::Mark::Failed, outcome.error.message});
            break;
        case OutcomeKind::Unchanged:
        case OutcomeKind::Renamed:
            break;
        }
        m_prompter.messages.clear();
    }

private:
    bool namesOnly() const
    {
        return !m_job.targets.filesMode && m_job.targets.folderScope == FolderScope::OneLayer;
    }
    std::string shown(const std::string &path) const { return namesOnly() ? lastComponentOf(path) : path; }
    std::string lastMessage() const
    {
        return m_prompter.messages.empty() ? std::string() : m_prompter.messages.back().text;
    }

    void addRow(const ItemOutcome &outcome)
    {
        const std::string prefix = namesOnly() ? std::string() : folderOf(outcome.newPath);
        std::string candidate = shown(outcome.newPath);
        int n = outcome.suffixCount;
        for (const LivePreviewRow &row : rows) {
            if (row.newText == candidate)
                candidate = prefix + outcome.namePart + "(" + std::to_string(++n) + ")" + outcome.extensionPart;
        }
        rows.push_back({shown(outcome.oldPath), candidate,
                        n > 0 ? LivePreviewRow::Mark::Numbered : LivePreviewRow::Mark::Renamed, {}});
        m_special.setRunningNumber(m_special.runningNumber() + 1);
    }

    const LivePreviewJob &m_job;
    SpecialStrings &m_special;
    CollectingPrompter &m_prompter;
};

std::string itemsKey(const LivePreviewJob &job)
{
    if (job.targets.filesMode || job.targets.targetFolder.empty())
        return {};
    return job.targets.targetFolder + '\n' + std::to_string(static_cast<int>(job.targets.folderScope));
}

} // namespace

Answer CollectingPrompter::show(const Message &message)
{
    messages.push_back(message);
    switch (message.buttons) {
    case MessageButtons::Ok:
    case MessageButtons::OkCancel: return Answer::Ok;
    case MessageButtons::YesNo:
    case MessageButtons::YesNoCancel: return Answer::Yes;
    }
    return Answer::Ok;
}

std::vector<std::string> livePreviewItems(FileSystem &fileSystem, const TargetSet &targets,
                                          const std::vector<std::string> &files, const std::atomic<bool> &stop)
{
    if (targets.filesMode || targets.targetFolder.empty())
        return files;
    std::vector<std::string> items;
    std::vector<std::string> workList;
    bool stopRequest = stop.load();
    visitTargets(fileSystem, targets, workList, stopRequest, [&](bool) {
        items.insert(items.end(), workList.begin(), workList.end());
        stopRequest = stop.load();
    });
    return items;
}

LivePreviewResult computeLivePreview(const LivePreviewJob &job, const std::vector<std::string> &items,
                                     FileSystem &fileSystem, const Clock &clock, const std::atomic<bool> &cancel)
{
    const auto start = std::chrono::steady_clock::now();
    CollectingPrompter prompter;
    NameEngine engine(fileSystem, prompter, clock, job.codePage);
    engine.specialStrings().setRunningNumber(job.request.startNumber);
    RowSink sink(job, engine.specialStrings(), prompter);
    EditRequest request = job.request;
    request.preview = true;
    std::optional<bool> isFolder;
    if (!job.targets.filesMode && !job.targets.targetFolder.empty())
        isFolder = job.targets.folderScope == FolderScope::OnlySubfolders
            || job.targets.folderScope == FolderScope::ThisFolderOnly;

    LivePreviewResult result;
    std::size_t i = 0;
    for (; i < items.size() && !sink.full(); ++i) {
        if (cancel.load(std::memory_order_relaxed)) {
            result.cancelled = true;
            break;
        }
        engine.newNameFor(request, items[i], sink, isFolder);
    }
    if (sink.full()) {
        // Whether anything beyond the rows changes: the next item that does.
        RowSink rest(job, engine.specialStrings(), prompter);
        for (; i < items.size() && rest.rows.empty() && !cancel.load(std::memory_order_relaxed); ++i)
            engine.newNameFor(request, items[i], rest, isFolder);
        result.more = !rest.rows.empty();
    }
    result.rows = std::move(sink.rows);
    result.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return result;
}

LivePreviewWorker::LivePreviewWorker(FileSystem &fileSystem, const Clock &clock, Deliver deliver)
    : m_fileSystem(fileSystem), m_clock(clock), m_deliver(std::move(deliver))
{
    m_thread = std::thread([this] { loop(); });
}

LivePreviewWorker::~LivePreviewWorker()
{
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
        m_cancel = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void LivePreviewWorker::submit(std::uint64_t generation, LivePreviewJob job)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending.emplace(generation, std::move(job));
        m_cancel = true;
    }
    m_wake.notify_all();
}

void LivePreviewWorker::forgetItems()
{
    m_forget = true;
}

std::shared_ptr<const std::vector<std::string>> LivePreviewWorker::itemsFor(const LivePreviewJob &job)
{
    const std::string key = itemsKey(job);
    if (key.empty())
        return std::make_shared<const std::vector<std::string>>(job.files);
    if (m_forget.exchange(false) || key != m_itemsKey || !m_items) {
        // The listing is not cut short by a newer job, only by the end: typing
        // while a large folder is read waits for it once.
        auto items = std::make_shared<const std::vector<std::string>>(
            livePreviewItems(m_fileSystem, job.targets, job.files, m_shutdown));
        if (m_shutdown)
            return nullptr;
        m_items = std::move(items);
        m_itemsKey = key;
    }
    return m_items;
}

void LivePreviewWorker::loop()
{
    for (;;) {
        std::pair<std::uint64_t, LivePreviewJob> job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_shutdown || m_pending; });
            if (m_shutdown)
                return;
            job = std::move(*m_pending);
            m_pending.reset();
            m_cancel = false;
        }
        const auto items = itemsFor(job.second);
        if (!items)
            return;
        LivePreviewResult result = computeLivePreview(job.second, *items, m_fileSystem, m_clock, m_cancel);
        if (!result.cancelled)
            m_deliver(job.first, std::move(result));
    }
}

bool readLivePreviewSetting(Registry &registry)
{
    const std::optional<RegistryValue> value =
        registry.readValue(RegistryHive::CurrentUser, SettingsStore::kKey, kLivePreviewValue);
    return !value || value->type != RegistryType::Dword || value->dword != 0;
}

void writeLivePreviewSetting(Registry &registry, bool on)
{
    registry.writeDword(RegistryHive::CurrentUser, SettingsStore::kKey, kLivePreviewValue, on ? 1 : 0);
}

} // namespace renomiq
