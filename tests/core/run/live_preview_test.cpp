#include "run/live_preview.h"

#include "platform/host_file_system.h"
#include "support/test_app.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace renomiq {
namespace {

using test::TestDir;
using Mark = LivePreviewRow::Mark;

struct Expected {
    std::string oldText;
    std::string newText;
    Mark mark;
};

class LivePreviewTest : public ::testing::Test {
protected:
    test::TestApp app;
    std::atomic<bool> cancel{false};

    LivePreviewJob folderJob(const std::string &relative, FolderScope scope = FolderScope::OneLayer)
    {
        LivePreviewJob job;
        job.request.kind = EditKind::Replapart;
        job.request.preview = true;
        job.targets.filesMode = false;
        job.targets.targetFolder = TestDir::win(relative) + "\\";
        job.targets.folderScope = scope;
        return job;
    }

    std::vector<Expected> rowsOf(const LivePreviewJob &job, bool *more = nullptr)
    {
        const std::vector<std::string> items = livePreviewItems(app.fileSystem, job.targets, job.files, cancel);
        const LivePreviewResult result = computeLivePreview(job, items, app.fileSystem, app.clock, cancel);
        if (more)
            *more = result.more;
        std::vector<Expected> rows;
        for (const LivePreviewRow &r : result.rows)
            rows.push_back({r.oldText, r.newText, r.mark});
        return rows;
    }
};

bool operator==(const Expected &a, const Expected &b)
{
    return a.oldText == b.oldText && a.newText == b.newText && a.mark == b.mark;
}
void PrintTo(const Expected &e, std::ostream *os)
{
    *os << e.oldText << " -> " << e.newText << " (" << static_cast<int>(e.mark) << ")";
}

TEST_F(LivePreviewTest, RowsAsAPreviewRunListsThem)
{
    app.dir.createFiles({"F/IMG_1.jpg", "F/IMG_2.jpg", "F/P_2.jpg", "F/x.txt", "F/IMG_3.png", "F/sub/IMG_9.jpg"});
    const struct {
        const char *label;
        const char *oldString;
        const char *newString;
        bool regex;
        FolderScope scope;
        std::vector<Expected> rows;
    } cases[] = {
        {"taken names get (n)", "IMG_", "P_", false, FolderScope::OneLayer,
         {{"IMG_1.jpg", "P_1.jpg", Mark::Renamed}, {"IMG_2.jpg", "P_2(1).jpg", Mark::Numbered},
          {"IMG_3.png", "P_3.png", Mark::Renamed}}},
        {"a pattern, its groups", "IMG_(\\d)", "{1}-$", true, FolderScope::OneLayer,
         {{"IMG_1.jpg", "1-1.jpg", Mark::Renamed}, {"IMG_2.jpg", "2-2.jpg", Mark::Renamed},
          {"IMG_3.png", "3-3.png", Mark::Renamed}}},
        {"two new names alike", "IMG_\\d", "same", true, FolderScope::OneLayer,
         {{"IMG_1.jpg", "same.jpg", Mark::Renamed}, {"IMG_2.jpg", "same(1).jpg", Mark::Numbered},
          {"IMG_3.png", "same.png", Mark::Renamed}}},
        {"reserved names refused", "IMG_\\d", "con", true, FolderScope::OneLayer,
         {{"IMG_1.jpg", "con.jpg", Mark::Refused}, {"IMG_2.jpg", "con.jpg", Mark::Refused},
          {"IMG_3.png", "con.png", Mark::Refused}}},
        {"empty names refused", ".+", "", true, FolderScope::OneLayer,
         {{"IMG_1.jpg", "", Mark::Refused}, {"IMG_2.jpg", "", Mark::Refused}, {"IMG_3.png", "", Mark::Refused},
          {"P_2.jpg", "", Mark::Refused}, {"x.txt", "", Mark::Refused}}},
        {"all layers show paths", "IMG_9", "Z", false, FolderScope::AllLayers,
         {{"T:\\F\\sub\\IMG_9.jpg", "T:\\F\\sub\\Z.jpg", Mark::Renamed}}},
    };
    for (const auto &c : cases) {
        LivePreviewJob job = folderJob("F", c.scope);
        job.request.oldString = c.oldString;
        job.request.newString = c.newString;
        job.request.replaceRegex = c.regex;
        EXPECT_EQ(rowsOf(job), c.rows) << c.label;
    }
    // Nothing was renamed.
    EXPECT_EQ(app.dir.list("F"), (std::vector<std::string>{"IMG_1.jpg", "IMG_2.jpg", "IMG_3.png", "P_2.jpg", "sub", "x.txt"}));
}

TEST_F(LivePreviewTest, FirstRowsOnlyAndRunawayPatternsFail)
{
    std::vector<std::string> files;
    for (int i = 0; i < 30; ++i)
        files.push_back("F/a" + std::to_string(100 + i) + ".txt");
    files.push_back("F/" + std::string(50, 'x') + ".txt");
    app.dir.createFiles(files);
    LivePreviewJob job = folderJob("F");
    job.request.oldString = "a";
    job.request.newString = "b";
    job.rowLimit = 20;
    bool more = false;
    const auto rows = rowsOf(job, &more);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[19], (Expected{"a119.txt", "b119.txt", Mark::Renamed}));
    EXPECT_TRUE(more);

    job.request.replaceRegex = true;
    job.request.oldString = "^(x+x+)+\\d";
    const LivePreviewResult failed = computeLivePreview(
        job, livePreviewItems(app.fileSystem, job.targets, job.files, cancel), app.fileSystem, app.clock, cancel);
    ASSERT_EQ(failed.rows.size(), 1u);
    EXPECT_EQ(failed.rows[0].mark, Mark::Failed);
    EXPECT_NE(failed.rows[0].note.find("match limit"), std::string::npos) << failed.rows[0].note;
    EXPECT_FALSE(failed.more);
}

TEST_F(LivePreviewTest, ACancelledComputationStops)
{
    app.dir.createFiles({"F/a1.txt", "F/a2.txt"});
    LivePreviewJob job = folderJob("F");
    job.request.oldString = "a";
    job.request.newString = "b";
    cancel = true;
    const LivePreviewResult result = computeLivePreview(job, {TestDir::win("F\\a1.txt")}, app.fileSystem, app.clock, cancel);
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.rows.empty());
}

// The worker delivers the newest job's rows; a job overtaken by a newer one
// delivers nothing or its own rows, never the newer generation's with old rows.
TEST_F(LivePreviewTest, WorkerDeliversTheNewestJob)
{
    app.dir.createFiles({"F/a1.txt", "F/a2.txt"});
    std::mutex mutex;
    std::condition_variable delivered;
    std::vector<std::pair<std::uint64_t, std::string>> seen;
    {
        LivePreviewWorker worker(app.fileSystem, app.clock, [&](std::uint64_t generation, LivePreviewResult result) {
            std::lock_guard lock(mutex);
            seen.emplace_back(generation, result.rows.empty() ? std::string() : result.rows[0].newText);
            delivered.notify_all();
        });
        for (int g = 1; g <= 5; ++g) {
            LivePreviewJob job = folderJob("F");
            job.request.oldString = "a";
            job.request.newString = "v" + std::to_string(g);
            worker.submit(static_cast<std::uint64_t>(g), job);
        }
        std::unique_lock lock(mutex);
        ASSERT_TRUE(delivered.wait_for(lock, std::chrono::seconds(10), [&] {
            return !seen.empty() && seen.back().first == 5;
        }));
    }
    for (const auto &[generation, newText] : seen)
        EXPECT_EQ(newText, "v" + std::to_string(generation) + "1.txt");
}

TEST_F(LivePreviewTest, SettingIsOnUnlessSwitchedOff)
{
    EXPECT_TRUE(readLivePreviewSetting(app.registry));
    writeLivePreviewSetting(app.registry, false);
    EXPECT_FALSE(readLivePreviewSetting(app.registry));
    EXPECT_EQ(app.registry.readValue(RegistryHive::CurrentUser, "\\Software\\Corvane\\renomiq", "LivePreview"),
              RegistryValue::fromDword(0));
    writeLivePreviewSetting(app.registry, true);
    EXPECT_TRUE(readLivePreviewSetting(app.registry));
}

} // namespace
} // namespace renomiq
