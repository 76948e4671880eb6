#!/usr/bin/env python3
"""Times renomiq-cli on trees against the peers that rename one item after another.

Two trees, 100 folders x 1,000 files and 1,000 folders x 100 files, every file
IMG_000001.jpg ... renamed to Photo_..., all layers: renomiq-cli with one
thread and with N (the cores, at most 8), a careful C loop over the tree
(floor.c --tree) and the same loop in N threads (what the machine allows;
not a peer), perl rename over `find -print0` (its -d renames the name
part only) and mmv run in each folder. In one run, in turn (the C loop renames
the tree back between two tools), medians of R runs
(wall clock, microseconds per file) and the ratios. Each tool's result is
checked, renomiq-cli's names are compared with the C loop's, and an undo of the
run in N threads must give every file its first name back. Printed, never
asserted.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def make_tree(root, folders, files):
    shutil.rmtree(root, ignore_errors=True)
    for f in range(folders):
        folder = os.path.join(root, "f%04d" % f)
        os.makedirs(folder)
        for i in range(1, files + 1):
            os.close(os.open(os.path.join(folder, "IMG_%06d.jpg" % i), os.O_CREAT | os.O_WRONLY, 0o644))


def listing(root):
    names = []
    for folder, _, files in os.walk(root):
        names.extend(os.path.relpath(os.path.join(folder, f), root) for f in files)
    return sorted(names)


def timed(command, cwd=None, env=None, stdin=None, shell=False):
    start = time.perf_counter()
    result = subprocess.run(command, cwd=cwd, env=env, input=stdin, shell=shell, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit("%s failed: %s" % (command if shell else command[0], result.stderr.decode(errors="replace")))
    return seconds


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--workdir", default=os.path.join(ROOT, "build-release", "tree-bench-work"))
    parser.add_argument("--cli", default=os.path.join(ROOT, "build-release", "src", "renomiq-cli"))
    parser.add_argument("--jobs", type=int, default=min(os.cpu_count() or 1, 8))
    args = parser.parse_args()

    work = args.workdir
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    floor = os.path.join(work, "floor")
    subprocess.check_call(["cc", "-O2", "-pthread", "-o", floor, os.path.join(HERE, "floor.c")])
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_DATA_HOME=os.path.join(work, "data"))
    env.pop("RENOMIQ_DRIVES", None)
    tree = os.path.join(work, "tree")

    def renomiq(jobs):
        return lambda: timed([args.cli, "Replapart", "oldString=IMG_", "newString=Photo_", "--scope", "1", "--jobs",
                              str(jobs), "--yes", tree], env=env)

    tools = {
        "renomiq-cli, 1 thread": renomiq(1),
        "renomiq-cli, %d threads" % args.jobs: renomiq(args.jobs),
        "C loop (floor)": lambda: timed([floor, "--tree", tree, "IMG_", "Photo_"]),
        # Not a peer: what the machine allows a program with N threads.
        "C loop, %d threads" % args.jobs: lambda: timed(
            [floor, "--tree-threads", str(args.jobs), tree, "IMG_", "Photo_"]),
    }
    if shutil.which("rename"):
        # find's own time counts too: it is part of the way the tool is used.
        tools["perl rename (find -print0)"] = lambda: timed(
            "find . -type f -name 'IMG_*' -print0 | rename -0 -d 's/^IMG_/Photo_/'", cwd=tree, shell=True)
    if shutil.which("mmv"):
        tools["mmv per folder"] = lambda: timed(
            "for d in */; do (cd \"$d\" && mmv 'IMG_*' 'Photo_#1') || exit 1; done", cwd=tree, shell=True)
    missing = [t for t in ("rename", "mmv") if not shutil.which(t)]
    if missing:
        print("not installed (Debian packages): %s" % ", ".join(missing))

    ours = "renomiq-cli, %d threads" % args.jobs
    summary = []
    for folders, files in ((100, 1000), (1000, 100)):
        n = folders * files
        times = {name: [] for name in tools}
        expected = None
        make_tree(tree, folders, files)
        for run in range(args.runs):
            for name, tool in tools.items():
                subprocess.call(["sync"])
                times[name].append(tool())
                names = listing(tree)
                renamed = sum(1 for x in names if os.path.basename(x).startswith("Photo_"))
                if renamed != n or len(names) != n:
                    sys.exit("%s: expected %d renamed files, found %d of %d" % (name, n, renamed, len(names)))
                if expected is None:
                    expected = names
                elif names != expected:
                    sys.exit("%s: other names on disk than the others'" % name)
                # Back to the first names for the next tool (faster than a new tree).
                subprocess.run([floor, "--tree", tree, "Photo_", "IMG_"], check=True, stdout=subprocess.DEVNULL)
        # The same run once more, undone: every name comes back.
        before = listing(tree)
        renomiq(args.jobs)()
        timed([args.cli, "undo", "--yes"], env=env)
        undone = "every name restored" if listing(tree) == before else "UNDO DID NOT RESTORE EVERY NAME"

        medians = {name: statistics.median(t) * 1e6 / n for name, t in times.items()}
        print("Tree of %d folders x %d files, IMG_ -> Photo_, all layers, median of %d runs (%s):"
              % (folders, files, args.runs, undone), flush=True)
        for name, us in medians.items():
            factor = us / medians[ours]
            ratio = "" if name == ours else (
                "   %s is %.2fx faster" % (ours, factor) if factor >= 1 else "   %s is %.2fx slower" % (ours, 1 / factor))
            print("  %-30s %7.2f us/file%s" % (name, us, ratio), flush=True)
        # The peers are the renamers; the C loops are references.
        peers = {k: v for k, v in medians.items() if not k.startswith("renomiq-cli") and not k.startswith("C loop")}
        fastest = min(peers, key=peers.get) if peers else None
        summary.append((folders, files, fastest, peers[fastest] / medians[ours] if fastest else 0.0,
                        medians["C loop (floor)"] / medians[ours],
                        medians["renomiq-cli, 1 thread"] / medians[ours],
                        medians["C loop (floor)"] / medians["C loop, %d threads" % args.jobs]))
    print("Summary (%d cores):" % (os.cpu_count() or 1))
    for folders, files, fastest, ratio, overLoop, speedup, loopSpeedup in summary:
        print("  %d x %d: %.2fx faster than the fastest peer (%s), %.2fx the C loop; %d threads %.2fx faster "
              "than 1 (the C loop: %.2fx)" % (folders, files, ratio, fastest, overLoop, args.jobs, speedup, loopSpeedup))
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
