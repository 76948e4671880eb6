#include "cli/cli_windows.h"
#include "cli/terminal_text.h"
#include "run/run_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace renomiq {
namespace {

TEST(TerminalText, EscapesControlCharactersOnly)
{
    const struct {
        const char *name;
        const char *shown;
    } rows[] = {
        {"plain.txt", "plain.txt"},
        {"a\033[2Jb", "a\\033[2Jb"},
        {"line\rover", "line\\rover"},
        {"two\nlines", "two\\nlines"},
        {"tab\there", "tab\\there"},
        {"bell\a\x7f", "bell\\a\\177"},
        {"C:\\dir\\caf\xc3\xa9", "C:\\dir\\caf\xc3\xa9"}, // separators and UTF-8 stay
    };
    for (const auto &row : rows)
        EXPECT_EQ(terminalText(row.name), row.shown) << row.shown;
}

// What CliWindows writes for a preview row and a failed rename.
std::string written(std::FILE *out, std::FILE *err, int readFd)
{
    RunState run;
    CliWindows windows(run, out, err);
    windows.addPreviewRow("a\033]0;x\007b.txt", "c\rd.txt");
    windows.showRenameError("T:\\e\033.txt", "T:\\f\n.txt", "File name too long");
    std::fflush(out);
    std::fflush(err);
    // A terminal may hand the lines over one read at a time (on a busy
    // machine): read up to the end of the last line.
    const std::string last = "(File name too long)\n";
    std::string text;
    char buffer[4096];
    while (text.size() < last.size() || text.compare(text.size() - last.size(), last.size(), last) != 0) {
        pollfd ready{readFd, POLLIN, 0};
        if (::poll(&ready, 1, 5000) <= 0)
            break;
        const ssize_t n = ::read(readFd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

TEST(TerminalText, NamesAreEscapedOnATerminalAndExactElsewhere)
{
    int master = -1, slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    termios raw {};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    std::FILE *terminal = ::fdopen(::dup(slave), "w");
    EXPECT_EQ(written(terminal, terminal, master),
              "a\\033]0;x\\ab.txt\tc\\rd.txt\n"
              "Rename Error: Rename failed when rename: T:\\e\\033.txt To: T:\\f\\n.txt (File name too long)\n");
    std::fclose(terminal);
    ::close(slave);
    ::close(master);

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    std::FILE *pipe = ::fdopen(pipeFds[1], "w");
    EXPECT_EQ(written(pipe, pipe, pipeFds[0]),
              "a\033]0;x\007b.txt\tc\rd.txt\n"
              "Rename Error: Rename failed when rename: T:\\e\033.txt To: T:\\f\n.txt (File name too long)\n");
    std::fclose(pipe);
    ::close(pipeFds[0]);
}

} // namespace
} // namespace renomiq
