// Fuzz target for the undo logs that "renomiq-cli undo --log FILE" reverses,
// which anyone may write: the whole undo runs in this process over a drive of
// a few files, and whatever the log holds, no file is lost or overwritten and
// nothing outside the drives changes.
#include "cli/cli_app.h"
#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

using renomiq::fuzz::scratch;

// The contents of the regular files under a folder, sorted: renames keep them.
void contentsUnder(const std::string &folder, std::vector<std::string> &found)
{
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent *d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            contentsUnder(path, found);
        } else {
            std::ifstream in(path, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            found.push_back(text.str());
        }
    }
    ::closedir(dir);
}

std::vector<std::string> contents()
{
    std::vector<std::string> found;
    contentsUnder(scratch() + "/t", found);
    contentsUnder(scratch() + "/outside", found);
    std::sort(found.begin(), found.end());
    return found;
}

void writeText(const std::string &path, const std::string &text)
{
    renomiq::fuzz::writeHost(path, reinterpret_cast<const std::uint8_t *>(text.data()), text.size());
}

void makeTree()
{
    for (const char *folder : {"/t", "/t/sub", "/t/sub/deep", "/outside", "/home", "/home/config", "/home/data"})
        ::mkdir((scratch() + folder).c_str(), 0755);
    for (const char *file : {"/t/a.txt", "/t/b.txt", "/t/A.TXT", "/t/sub/c.txt", "/t/sub/deep/d", "/outside/keep.txt"})
        writeText(scratch() + file, file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool ready = [] {
        ::setenv("RENOMIQ_DRIVES", ("T=" + scratch() + "/t;H=" + scratch() + "/home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (scratch() + "/home/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (scratch() + "/home/data").c_str(), 1);
        return std::freopen("/dev/null", "w", stdout) != nullptr;
    }();
    (void)ready; // without /dev/null the undo's report goes to the terminal
    renomiq::fuzz::removeTree(scratch() + "/t");
    renomiq::fuzz::removeTree(scratch() + "/outside");
    renomiq::fuzz::removeTree(scratch() + "/home");
    makeTree();
    const std::vector<std::string> before = contents();
    const std::string log = scratch() + "/home/undo.rbk";
    renomiq::fuzz::writeHost(log, data, size);

    renomiq::runCli({"undo", "--log", log, "--yes"});
    if (contents() != before)
        std::abort(); // a file lost, overwritten or changed
    return 0;
}
