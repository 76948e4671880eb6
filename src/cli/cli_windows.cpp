#include "cli/cli_windows.h"

#include "cli/terminal_text.h"
#include "state/run_state.h"

#include <nlohmann/json.hpp>

#include <unistd.h>

namespace renomiq {

std::atomic<bool> CliWindows::interrupted{false};

CliWindows::CliWindows(RunState &run, std::FILE *out, std::FILE *err)
    : m_run(run), m_out(out), m_err(err), m_progressShown(::isatty(::fileno(err)) != 0)
{
}

void CliWindows::runWithProgress(const std::function<void()> &job)
{
    m_position = 0;
    m_lastDrawn = -1;
    job();
    if (m_progressShown)
        std::fputs("\r\033[K", m_err);
}

void CliWindows::setProgressMaximum(int maximum)
{
    m_maximum = maximum > 0 ? maximum : 1;
}

void CliWindows::setProgressPosition(int position)
{
    m_position = position;
    drawProgress();
}

void CliWindows::drawProgress()
{
    if (!m_progressShown)
        return;
    const long percent = static_cast<long>(m_position) * 100 / m_maximum;
    if (percent == m_lastDrawn)
        return;
    m_lastDrawn = percent;
    std::fprintf(m_err, "\r%3ld%% (%d/%d)", percent, m_position, m_maximum);
    std::fflush(m_err);
}

void CliWindows::setProgressNames(const std::string &, const std::string &) {}

void CliWindows::showSearchPanel(bool shown)
{
    if (shown && m_progressShown)
        std::fputs("Searching, please wait...\r", m_err);
}

void CliWindows::processEvents()
{
    if (interrupted.exchange(false)) {
        m_run.stopRequest = true;
        m_run.stoppedByUser = true;
    }
}

void CliWindows::showRenameError(const std::string &oldPath, const std::string &newPath, const std::string &reason)
{
    std::fprintf(m_err, "Rename Error: Rename failed when rename: %s To: %s (%s)\n", textFor(m_err, oldPath).c_str(),
                 textFor(m_err, newPath).c_str(), textFor(m_err, reason).c_str());
}

void CliWindows::showUnreachable(const std::string &path, const std::string &reason)
{
    std::fprintf(m_err, "renomiq-cli: skipped %s: %s\n", textFor(m_err, path).c_str(), textFor(m_err, reason).c_str());
}

void CliWindows::writeRow(const std::string &oldText, const std::string *newText, ItemStatus status)
{
    static const char *const statuses[] = {"renamed", "refused", "unchanged", "failed"};
    nlohmann::json row;
    row["old"] = oldText;
    row["new"] = newText ? nlohmann::json(*newText) : nlohmann::json(nullptr);
    row["status"] = statuses[static_cast<int>(status)];
    // A name that is not UTF-8 cannot be a JSON string: its bad bytes become U+FFFD.
    const std::string line = row.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    std::fprintf(m_out, "%s\n", line.c_str());
}

void CliWindows::itemDone(ItemStatus status, const std::string &oldPath, const std::string &newPath)
{
    if (!json)
        return;
    if (preview) {
        // A preview lists its rows; what it refuses is a row too, named as its rows are.
        if (status != ItemStatus::Refused)
            return;
        const auto shown = [&](const std::string &path) {
            if (previewPaths)
                return shownPath(path);
            const std::size_t slash = path.rfind('\\');
            return slash == std::string::npos ? path : path.substr(slash + 1);
        };
        const std::string newText = shown(newPath);
        writeRow(shown(oldPath), newPath.empty() ? nullptr : &newText, status);
        return;
    }
    const std::string newText = shownPath(newPath);
    // What the walk could not reach may hold '\\' in its name, which has no
    // host path: it is named as in the "skipped" line.
    const bool unreachable = status == ItemStatus::Failed && newPath.empty();
    writeRow(unreachable ? oldPath : shownPath(oldPath), newPath.empty() ? nullptr : &newText, status);
}

void CliWindows::previewEmpty()
{
    std::fprintf(json ? m_err : m_out, "%s\n", kPreviewEmptyText);
}

void CliWindows::previewTruncated()
{
    std::fprintf(json ? m_err : m_out, "%s\n", kPreviewTruncatedText);
}

void CliWindows::addPreviewRow(const std::string &oldText, const std::string &newText)
{
    ++m_previewRows;
    if (json) {
        const std::string newShown = previewPaths ? shownPath(newText) : newText;
        writeRow(previewPaths ? shownPath(oldText) : oldText, &newShown, ItemStatus::Renamed);
        return;
    }
    std::fprintf(m_out, "%s\t%s\n", textFor(m_out, oldText).c_str(), textFor(m_out, newText).c_str());
}

void CliWindows::setStatusPanel(int panel, const std::string &text)
{
    // A stopped run's result is said by renomiq-cli itself, with what was not tried.
    if (panel == 1 && !m_run.stoppedByUser) {
        std::FILE *stream = json ? m_err : m_out;
        std::fprintf(stream, "%s\n", textFor(stream, text).c_str());
    }
}

} // namespace renomiq
