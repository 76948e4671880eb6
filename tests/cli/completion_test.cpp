// The completion scripts of bash, zsh and fish, loaded and asked by the
// shells themselves: the kinds, every field with the values it accepts, the
// options of each kind.
#include "cli/cli_options.h"
#include "support/run_process.h"
#include "support/test_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace renomiq {
namespace {

using Lines = std::vector<std::string>;

const std::string kScripts = RENOMIQ_COMPLETIONS_DIR;

Lines linesOf(const std::string &text)
{
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty())
            lines.push_back(line.substr(0, line.find('\t'))); // fish adds a TAB and a description
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// What bash completes for a command line ending in the word being completed,
// run in an empty folder, so that no file is offered.
test::ProcessResult bashCompletes(const std::string &folder, const std::string &line)
{
    const std::string script = "source /usr/share/bash-completion/bash_completion || exit 3\n"
                               "source '" + kScripts + "/renomiq-cli.bash' || exit 4\n"
                               "complete -p renomiq-cli >/dev/null || exit 5\n"
                               "compopt() { :; }\n" // works only inside a completion started by readline
                               "COMP_LINE=$1; COMP_POINT=${#COMP_LINE}\n"
                               "read -ra COMP_WORDS <<<\"$1\"\n"
                               "[[ $1 == *' ' ]] && COMP_WORDS+=('')\n"
                               "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                               "_renomiq_cli renomiq-cli \"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD-1]}\"\n"
                               "printf '%s\\n' \"${COMPREPLY[@]}\"\n";
    return test::runProcess({"bash", "-c", script, "bash", line}, folder);
}

test::ProcessResult fishCompletes(const std::string &folder, const std::string &line)
{
    return test::runProcess({"fish", "--no-config", "-c",
                             "source '" + kScripts + "/renomiq-cli.fish'; and complete -C $argv[1]", line},
                            folder);
}

// zsh's completion system needs a terminal; its builtins are stood in for
// by functions that print what would be offered, and the script's own
// function runs as zsh would run it.
test::ProcessResult zshCompletes(const std::string &folder, const std::string &line)
{
    const std::string script =
        "compadd() { local suffix= arr=0 x y; local -a found; while [[ $1 == -* ]]; do\n"
        "  case $1 in --) shift; break ;; -S) suffix=$2; shift 2 ;; -a) arr=1; shift ;; *) shift ;; esac; done\n"
        "  for x; do if ((arr)); then found+=(${(P)x}); else found+=($x); fi; done\n"
        "  for y in $found; do [[ $y == $PREFIX* ]] && print -r -- $IPREFIX$y$suffix; done; return 0 }\n"
        "compset() { [[ $1 == -P ]] && IPREFIX=${PREFIX%%=*}= && PREFIX=${PREFIX#*=} }\n"
        "_files() { : }\n_message() { : }\n_arguments() { : }\n"
        "_describe() { local x; for x in ${(P)@[-1]}; do [[ $x == $PREFIX* ]] && print -r -- ${x%%:*}; done; return 0 }\n"
        "_values() { local x; for x in ${@:2}; do print -r -- ${x%%\\[*}; done }\n"
        "words=(${(z)1}); [[ $1 == *' ' ]] && words+=('')\n"
        "CURRENT=$#words; PREFIX=$words[CURRENT]\n"
        "source '" + kScripts + "/_renomiq-cli'\n";
    return test::runProcess({"zsh", "-f", "-c", script, "zsh", line}, folder);
}

Lines withEquals(const Lines &names)
{
    Lines out;
    for (const std::string &n : names)
        out.push_back(n + "=");
    std::sort(out.begin(), out.end());
    return out;
}

TEST(Completion, EachShellLoadsItsScript)
{
    const test::ProcessResult bash = test::runProcess(
        {"bash", "-c", "source /usr/share/bash-completion/bash_completion && source '" + kScripts
                           + "/renomiq-cli.bash' && complete -p renomiq-cli"});
    EXPECT_EQ(bash.exitCode, 0) << bash.output;
    EXPECT_EQ(bash.output, "complete -F _renomiq_cli renomiq-cli\n");

    // zsh finds it on its function path by its #compdef line.
    test::TestDir dir;
    const test::ProcessResult zsh = test::runProcess(
        {"zsh", "-f", "-c",
         "fpath=('" + kScripts + "' $fpath); autoload -Uz compinit && compinit -u -d '" + dir.host("zcompdump")
             + "' && print -r -- $_comps[renomiq-cli] && autoload +X _renomiq-cli"});
    EXPECT_EQ(zsh.exitCode, 0) << zsh.output;
    EXPECT_EQ(zsh.output, "_renomiq-cli\n");

    const test::ProcessResult fish = test::runProcess(
        {"fish", "--no-config", "-c", "source '" + kScripts + "/renomiq-cli.fish'; and complete -c renomiq-cli | count"});
    EXPECT_EQ(fish.exitCode, 0) << fish.output;
}

TEST(Completion, KindsFieldsValuesAndOptions)
{
    test::TestDir dir; // an empty folder: no file names among the answers
    dir.createFiles({"empty/"});
    const std::string folder = dir.host("empty");
    const Lines fields = withEquals(fieldNames());
    const Lines kinds = {"Addnewnum", "Changexten", "Changnew", "Removpart", "Replapart", "Savealls", "Savesomes",
                         "change", "export-files", "export-folder", "extension", "insert", "remove", "replace",
                         "undo", "history"};
    const struct {
        const char *line;
        Lines expected; // empty: every field, with '='
    } rows[] = {
        {"renomiq-cli ", kinds},
        {"renomiq-cli --v", {"--version"}},
        {"renomiq-cli replace ", {}},
        {"renomiq-cli replace nameCase=", {"nameCase=capitalizeEveryWord", "nameCase=lower", "nameCase=upper"}},
        {"renomiq-cli insert atHead=", {"atHead=false", "atHead=true"}},
        {"renomiq-cli export-folder content=", {"content=allLayers", "content=onlySubfolders", "content=oneLayer"}},
        {"renomiq-cli remove removeDirection=f", {"removeDirection=fromEnd", "removeDirection=fromHead"}},
        {"renomiq-cli replace --scope ", {"0", "1", "2", "3"}},
        {"renomiq-cli replace --format ", {"json", "text"}},
        {"renomiq-cli replace --l", {"--limit"}},
        {"renomiq-cli replace --no", {"--no-undo"}},
        {"renomiq-cli export-files --o", {"--output"}},
        {"renomiq-cli undo --l", {"--log"}},
        {"renomiq-cli undo --s", {"--steps"}},
        {"renomiq-cli undo --steps 1", {"1", "10", "11", "12", "13", "14", "15", "16", "17", "18", "19"}},
    };
    const struct {
        const char *shell;
        test::ProcessResult (*completes)(const std::string &, const std::string &);
    } shells[] = {{"bash", bashCompletes}, {"zsh", zshCompletes}, {"fish", fishCompletes}};
    for (const auto &shell : shells) {
        for (const auto &row : rows) {
            SCOPED_TRACE(std::string(shell.shell) + ": " + row.line);
            const test::ProcessResult result = shell.completes(folder, row.line);
            EXPECT_EQ(result.exitCode, 0) << result.output;
            Lines got = linesOf(result.output);
            if (std::string(row.line) == "renomiq-cli ") {
                // bash and zsh offer --help and --version beside the kinds.
                got.erase(std::remove_if(got.begin(), got.end(), [](const std::string &l) { return l[0] == '-'; }),
                          got.end());
            }
            Lines expected = row.expected.empty() ? fields : row.expected;
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(got, expected);
        }
    }

    // Every value that bash offers for a field is one the field accepts.
    for (const std::string &name : fieldNames()) {
        const test::ProcessResult result = bashCompletes(folder, "renomiq-cli replace " + name + "=");
        for (const std::string &offered : linesOf(result.output)) {
            EditorInputs inputs;
            std::string error;
            EXPECT_TRUE(setField(inputs, name, offered.substr(name.size() + 1), error)) << offered << ": " << error;
        }
    }
    for (const std::string &kind : kinds)
        EXPECT_TRUE(kind == "undo" || kind == "history" || kindOfCommand(kind).has_value()) << kind;
}

} // namespace
} // namespace renomiq
