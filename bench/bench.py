#!/usr/bin/env python3
"""Times renomiq-cli against a careful C loop, perl rename and mmv.

Each tool renames N files IMG_000001.jpg ... in one folder to Photo_...,
in turn, on the same file system, several times; the medians are printed in
microseconds per file with renomiq-cli's ratio to each. Also: the system calls
of one run per file (strace -c), a preview of
1,000 rows, an undo of N pairs against a bare rename loop over the same pairs,
and renomiq-cli's peak memory for one folder and for a tree of 1,000 folders.
Results are printed, never asserted.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


def make_files(folder, count, prefix="IMG_"):
    os.makedirs(folder, exist_ok=True)
    for i in range(1, count + 1):
        os.close(os.open(os.path.join(folder, "%s%06d.jpg" % (prefix, i)), os.O_CREAT | os.O_WRONLY, 0o644))


def timed(command, cwd=None, env=None, stdin=None):
    """Runs a command; returns (seconds, peak RSS in KiB, CPU seconds). The RSS
    is taken by /usr/bin/time, since a child forked from this large process
    starts big. CPU time (user + system) is steadier than the wall clock on a
    machine shared with other work."""
    rss_file = tempfile.NamedTemporaryFile(delete=False)
    rss_file.close()
    command = ["/usr/bin/time", "-f", "%M %U %S", "-o", rss_file.name] + command
    start = time.perf_counter()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdin=subprocess.PIPE if stdin else subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if stdin:
        process.stdin.write(stdin)
        process.stdin.close()
    _, status, _ = os.wait4(process.pid, 0)
    seconds = time.perf_counter() - start
    err = process.stderr.read().decode(errors="replace")
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("%s failed: %s" % (command[5], err))
    with open(rss_file.name) as f:
        rss, user, system = f.read().split()[-3:]
    os.unlink(rss_file.name)
    return seconds, int(rss), float(user) + float(system)


def check_renamed(folder, count, tool):
    names = os.listdir(folder)
    renamed = sum(1 for n in names if n.startswith("Photo_"))
    if renamed != count or len(names) != count:
        sys.exit("%s: expected %d renamed files in %s, found %d of %d" % (tool, count, folder, renamed, len(names)))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--files", type=int, default=100000)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--workdir", default=os.path.join(ROOT, "build", "bench-work"),
                        help="where the files are made (one file system for every tool)")
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "src", "renomiq-cli"))
    args = parser.parse_args()

    work = args.workdir
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    floor = os.path.join(work, "floor")
    subprocess.check_call(["cc", "-O2", "-o", floor, os.path.join(HERE, "floor.c")])
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_DATA_HOME=os.path.join(work, "data"))
    env.pop("RENOMIQ_DRIVES", None)
    log = os.path.join(work, "data", "Corvane", "Renomiq", "rollback.rbk")

    def names_on_stdin(folder):
        return b"".join(n.encode() + b"\0" for n in sorted(os.listdir(folder)))

    tools = {
        "renomiq-cli": lambda d: timed([args.cli, "Replapart", "oldString=IMG_", "newString=Photo_", d], env=env),
        "C loop (floor)": lambda d: timed([floor, d, "IMG_", "Photo_"]),
    }
    if shutil.which("rename"):
        tools["perl rename"] = lambda d: timed(["rename", "-0", "s/^IMG_/Photo_/"], cwd=d, stdin=names_on_stdin(d))
    if shutil.which("mmv"):
        tools["mmv"] = lambda d: timed(["mmv", "IMG_*", "Photo_#1"], cwd=d)
    missing = [t for t in ("rename", "mmv") if not shutil.which(t)]
    if missing:
        print("not installed (Debian packages): %s" % ", ".join(missing))

    n = args.files
    times = {name: [] for name in tools}
    cpu_times = {name: [] for name in tools}
    peak = 0
    for run in range(args.runs):
        for name, tool in tools.items():
            folder = os.path.join(work, "run")
            shutil.rmtree(folder, ignore_errors=True)
            make_files(folder, n)
            subprocess.call(["sync"])
            seconds, rss, cpu = tool(folder)
            check_renamed(folder, n, name)
            times[name].append(seconds)
            cpu_times[name].append(cpu)
            if name == "renomiq-cli":
                peak = max(peak, rss)

    print("Renaming %d files in one folder, IMG_ -> Photo_, median of %d runs:" % (n, args.runs))
    medians = {name: statistics.median(t) * 1e6 / n for name, t in times.items()}
    cpu_medians = {name: statistics.median(t) * 1e6 / n for name, t in cpu_times.items()}
    ours, ours_cpu = medians["renomiq-cli"], cpu_medians["renomiq-cli"]
    for name, us in medians.items():
        cpu = cpu_medians[name]
        ratio = "" if name == "renomiq-cli" else "   renomiq-cli is %.2fx of this (CPU %.2fx)" % (
            ours / us, ours_cpu / cpu)
        print("  %-16s %7.2f us/file, CPU %7.2f us/file%s" % (name, us, cpu, ratio))
    print("  renomiq-cli peak memory: %.1f MiB" % (peak / 1024))

    # An undo of n pairs against a bare rename loop over the same pairs, in the
    # same order.
    undo_times, bare_times, undo_cpu, bare_cpu = [], [], [], []
    for run in range(args.runs):
        folder = os.path.join(work, "run")
        shutil.rmtree(folder, ignore_errors=True)
        make_files(folder, n)
        timed([args.cli, "Replapart", "oldString=IMG_", "newString=Photo_", folder], env=env)
        with open(log, "rb") as f:
            pairs = f.read()
        seconds, _, cpu = timed([args.cli, "undo", "--yes"], env=env)
        undo_times.append(seconds)
        undo_cpu.append(cpu)
        # The same pairs once more, for the bare loop (host paths: drive C is /).
        timed([args.cli, "Replapart", "oldString=IMG_", "newString=Photo_", folder], env=env)
        host_pairs = os.path.join(work, "pairs.txt")
        # In the order an undo takes them: the last rename first.
        # The identity lines of the items left out: the loop takes only the paths.
        lines = [line for line in pairs.replace(b"C:\\", b"/").replace(b"\\", b"/").split(b"\r\n")[:-1]
                 if not line.startswith(b"#item ")]
        backwards = [lines[i] + b"\r\n" + lines[i + 1] + b"\r\n" for i in range(len(lines) - 2, -1, -2)]
        with open(host_pairs, "wb") as f:
            f.write(b"".join(backwards))
        seconds, _, cpu = timed([floor, "--pairs", host_pairs])
        bare_times.append(seconds)
        bare_cpu.append(cpu)
    undo = statistics.median(undo_times) * 1e6 / n
    bare = statistics.median(bare_times) * 1e6 / n
    cpu_ratio = statistics.median(undo_cpu) / statistics.median(bare_cpu)
    print("Undo of %d pairs: renomiq-cli %.2f us/pair, bare rename loop %.2f us/pair, ratio %.2fx (CPU %.2fx)"
          % (n, undo, bare, undo / bare, cpu_ratio))

    # System calls per file of one run, counted by strace.
    if shutil.which("strace"):
        count = min(n, 10000)
        folder = os.path.join(work, "run")
        shutil.rmtree(folder, ignore_errors=True)
        make_files(folder, count)
        summary = os.path.join(work, "strace.txt")
        subprocess.check_call(["strace", "-c", "-f", "-o", summary, args.cli, "Replapart", "oldString=IMG_",
                               "newString=Photo_", folder], env=env, stdout=subprocess.DEVNULL)
        calls = {}
        with open(summary) as f:
            for line in f:
                fields = line.split()
                if len(fields) >= 5 and fields[0][0].isdigit() and fields[-1] != "total":
                    calls[fields[-1]] = int(fields[3])
        total = sum(calls.values())
        print("System calls of a run over %d files (strace -c): %.2f per file; renameat2 %.2f, newfstatat %.2f"
              % (count, total / count, calls.get("renameat2", 0) / count, calls.get("newfstatat", 0) / count))
    else:
        print("not installed (Debian package): strace")

    # A preview of 1,000 rows.
    folder = os.path.join(work, "run")
    shutil.rmtree(folder, ignore_errors=True)
    make_files(folder, n)
    preview = statistics.median(
        timed([args.cli, "Replapart", "oldString=IMG_", "newString=Photo_", "previewLimit=1000", "--preview", folder],
              env=env)[0] for _ in range(args.runs))
    print("Preview of 1000 rows in a folder of %d files: %.1f ms" % (n, preview * 1e3))
    # The same preview with the sample name given, as the editor window gives it:
    # one reading of the folder instead of two.
    preview_sampled = statistics.median(
        timed([args.cli, "Replapart", "oldString=IMG_", "newString=Photo_", "previewLimit=1000",
               "sampleName=IMG_000001.jpg", "--preview", folder], env=env)[0] for _ in range(args.runs))
    print("Preview of 1000 rows in a folder of %d files, sample name given: %.1f ms" % (n, preview_sampled * 1e3))

    # Memory: a tree of 1,000 folders of 100 files in all layers, against one folder of 100.
    tree = os.path.join(work, "tree")
    shutil.rmtree(tree, ignore_errors=True)
    for i in range(1000):
        make_files(os.path.join(tree, "f%04d" % i), 100)
    _, tree_rss, _ = timed([args.cli, "Replapart", "oldString=IMG_", "newString=Photo_", "--scope", "1", tree], env=env)
    small = os.path.join(work, "small")
    make_files(small, 100)
    _, small_rss, _ = timed([args.cli, "Replapart", "oldString=IMG_", "newString=Photo_", small], env=env)
    print("Peak memory: 1000 folders x 100 files, all layers: %.1f MiB; one folder of 100 files: %.1f MiB"
          % (tree_rss / 1024, small_rss / 1024))
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
