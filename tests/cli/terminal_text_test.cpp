#include "cli/cli_app.h"
#include "cli/cli_windows.h"
#include "cli/terminal_prompter.h"
#include "cli/terminal_text.h"
#include "state/run_state.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
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
        {"csi\xc2\x9b" "2J", "csi\\302\\2332J"},                 // C1 controls, U+0080-U+009F
        {"c1\xc2\x80\xc2\x9f\xc2\xa0", "c1\\302\\200\\302\\237\xc2\xa0"}, // U+00A0 is printable
        {"raw\x9b" "2J", "raw\\2332J"},                           // not UTF-8: the byte alone
        {"lead\xc3", "lead\\303"},                              // cut short
        {"over\xc0\xaf", "over\\300\\257"},                    // overlong '/'
        {"sur\xed\xa0\x80", "sur\\355\\240\\200"},             // a surrogate
        {"big\xf4\x90\x80\x80", "big\\364\\220\\200\\200"},   // above U+10FFFF
        {"ok\xe2\x82\xac\xf0\x9f\x98\x80", "ok\xe2\x82\xac\xf0\x9f\x98\x80"}, // euro sign, emoji
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

// What `job` writes to standard error, with standard error on a terminal or
// on a pipe.
std::string standardErrorOf(bool terminal, const std::function<void()> &job)
{
    int readFd = -1, writeFd = -1;
    if (terminal) {
        EXPECT_EQ(::openpty(&readFd, &writeFd, nullptr, nullptr, nullptr), 0);
        termios raw {};
        ::tcgetattr(writeFd, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(writeFd, TCSANOW, &raw);
    } else {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        readFd = fds[0];
        writeFd = fds[1];
    }
    std::fflush(stderr);
    const int saved = ::dup(2);
    ::dup2(writeFd, 2);
    job();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(writeFd);
    // All of it: a terminal hands it over in pieces, and ends with EIO once
    // no one holds its other side.
    std::string text;
    char buffer[8192];
    for (ssize_t n; (n = ::read(readFd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(readFd);
    return text;
}

// Messages and usage errors quote names too: escaped on a terminal (line
// breaks of a message kept), exact on a pipe.
TEST(TerminalText, MessagesAndUsageErrorsAreEscapedOnATerminal)
{
    test::TestDir dir;
    const auto message = [] {
        TerminalPrompter(false, stdin, stderr).information("Can not rename 'a\033[2Jb\xc2\x9b':\nit is busy");
    };
    const auto usage = [&] {
        EXPECT_EQ(runCli({"Changnew", "newName=x", dir.host("no\rsuch\x9b")}), 2);
    };
    const std::string tryHelp = "\nTry 'renomiq-cli --help' for more information.\n";
    // A name with a line break in a message of several lines: the name's
    // break is escaped, the message's own stay.
    const auto quoting = [] {
        TerminalPrompter(false, stdin, stderr)
            .informationAbout("The new name of 'T:\\a\nb' is EMPTY,\ncan not be renamed.", {"T:\\a\nb"});
    };
    dir.createFiles({"n/IMG_\nx.jpg"});
    const auto refusal = [&] {
        EXPECT_EQ(runCli({"Replapart", "oldString=IMG_", "newString=P_", dir.host("n")}), 1);
    };
    // A name refused as too long: its line break is escaped too.
    const std::string xs(230, 'x');
    dir.createFiles({"l/IMG_\n" + xs + ".jpg"});
    const auto tooLong = [&] {
        EXPECT_EQ(runCli({"Replapart", "oldString=IMG_", "newString=" + std::string(42, 'P'), dir.host("l")}), 1);
    };
    const std::string tooLongEnd = "' can not be renamed, because the filename(plus path) is too long(>255 characters), "
                                   "you should shorten it.\n"
                                   "Information: No filename had been changed,please check input text and \nmake sure "
                                   "that the targeted files can be renamed.\n";
    const std::string refused = "' can not be renamed, because it holds a control character (such as a line break), "
                                "which Windows filenames can not hold.\n"
                                "Information: No filename had been changed,please check input text and \nmake sure "
                                "that the targeted files can be renamed.\n";
    const struct {
        std::function<void()> job;
        bool terminal;
        std::string err;
    } rows[] = {
        {message, true, "Information: Can not rename 'a\\033[2Jb\\302\\233':\nit is busy\n"},
        {message, false, "Information: Can not rename 'a\033[2Jb\xc2\x9b':\nit is busy\n"},
        {usage, true, "renomiq-cli: no such file or folder: " + dir.host("no\\rsuch\\233") + tryHelp},
        {usage, false, "renomiq-cli: no such file or folder: " + dir.host("no\rsuch\x9b") + tryHelp},
        {quoting, true, "Information: The new name of 'T:\\a\\nb' is EMPTY,\ncan not be renamed.\n"},
        {quoting, false, "Information: The new name of 'T:\\a\nb' is EMPTY,\ncan not be renamed.\n"},
        {refusal, true, "Information: The new filename: 'P_\\nx.jpg" + refused},
        {refusal, false, "Information: The new filename: 'P_\nx.jpg" + refused},
        {tooLong, true, "Information: The new filename: '" + std::string(42, 'P') + "\\n" + xs + tooLongEnd},
        {tooLong, false, "Information: The new filename: '" + std::string(42, 'P') + "\n" + xs + tooLongEnd},
    };
    for (const auto &row : rows)
        EXPECT_EQ(standardErrorOf(row.terminal, row.job), row.err) << row.err;
}

} // namespace
} // namespace renomiq
