// Times the editor's live preview on a folder of N files: the listing (once
// per folder and scope) and each update of 20 rows while a new string and a
// pattern are typed key by key. Prints, never asserts.
//
//   live_preview_bench [N]     (N defaults to 100000)
#include "platform/clock.h"
#include "platform/drive_table.h"
#include "platform/host_file_system.h"
#include "run/live_preview.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace renomiq;

namespace {

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-44s %3zu updates: median %7.2f ms, max %7.2f ms\n", what, times.size(), times[times.size() / 2],
                times.back());
}

} // namespace

int main(int argc, char **argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    char folderTemplate[] = "/tmp/renomiq-live-bench-XXXXXX";
    const std::string folder = ::mkdtemp(folderTemplate);
    for (int i = 0; i < count; ++i) {
        const std::string name = folder + "/IMG_" + std::to_string(100000 + i) + ".jpg";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    DriveTable drives;
    drives.setDrive('T', folder);
    HostFileSystem fs(drives);
    SystemClock clock;

    LivePreviewJob job;
    job.request.kind = EditKind::Replapart;
    job.request.preview = true;
    job.targets.filesMode = false;
    job.targets.targetFolder = "T:\\";
    job.targets.folderScope = FolderScope::OneLayer;
    job.rowLimit = 20;

    std::atomic<bool> never{false};
    auto start = std::chrono::steady_clock::now();
    const std::vector<std::string> items = livePreviewItems(fs, job.targets, job.files, never);
    std::printf("live preview on %d files: listing (once per folder and scope) %.1f ms, %zu items\n", count,
                msSince(start), items.size());

    const auto typing = [&](const char *what, bool regex, const std::string &oldString, const std::string &typed) {
        job.request.replaceRegex = regex;
        job.request.oldString = oldString;
        std::vector<double> times;
        for (std::size_t n = 1; n <= typed.size(); ++n) {
            job.request.newString = typed.substr(0, n);
            start = std::chrono::steady_clock::now();
            const LivePreviewResult result = computeLivePreview(job, items, fs, clock, never);
            times.push_back(msSince(start));
            if (result.rows.size() != 20)
                std::printf("  (%zu rows for '%s')\n", result.rows.size(), job.request.newString.c_str());
        }
        report(what, times);
    };
    typing("typing a new string (plain string)", false, "IMG_", "Holiday_2024_");
    typing("typing a new string (pattern with groups)", true, "IMG_(\\d+)", "{1}_Holiday_$$$");
    // A pattern that matches only the last files: the whole folder is read for 20 rows.
    typing("a pattern found only at the end of the folder", true, "1999\\d\\d", "x_");

    for (const std::string &item : items)
        ::unlink((folder + "/" + item.substr(3)).c_str());
    ::rmdir(folder.c_str());
    return 0;
}
