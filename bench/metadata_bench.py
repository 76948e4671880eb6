#!/usr/bin/env python3
"""Times renomiq-cli naming photos by when they were taken against the same run
with a plain text.

N photos (default 10,000; small JPEGs with EXIF, each taken a second after the
one before) in one folder get their time of taking put at the head of their
names: "headText={taken;yyyy-MM-dd HH.mm.ss} " against
"headText=2024-07-14 09.30.12 ", the same edit with nothing read from the
files. The runs alternate, several times; the medians are printed in
microseconds per file, wall clock and CPU time, with their ratio (the goal is
3x at most). Results are printed, never asserted.
"""
import argparse
import datetime
import os
import shutil
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
from bench import timed  # noqa: E402

# A JPEG whose EXIF the exiv2 command wrote: its DateTimeOriginal is replaced.
TEMPLATE = os.path.join(ROOT, "tests", "fuzz", "media", "exif.jpg")
TAKEN = b"2024:07:14 09:30:12"


def make_photos(folder, count):
    with open(TEMPLATE, "rb") as f:
        template = f.read()
    at = template.index(TAKEN)
    start = datetime.datetime(2024, 7, 14, 9, 30, 12)
    os.makedirs(folder)
    for i in range(count):
        taken = (start + datetime.timedelta(seconds=i)).strftime("%Y:%m:%d %H:%M:%S").encode()
        with open(os.path.join(folder, "IMG_%06d.jpg" % (i + 1)), "wb") as f:
            f.write(template[:at] + taken + template[at + len(TAKEN):])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--workdir", default=os.path.join(ROOT, "build", "bench-metadata"))
    parser.add_argument("--cli", default=os.path.join(ROOT, "build", "src", "renomiq-cli"))
    args = parser.parse_args()

    work = args.workdir
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_DATA_HOME=os.path.join(work, "data"))
    env.pop("RENOMIQ_DRIVES", None)
    texts = {
        "plain text": "headText=2024-07-14 09.30.12 ",
        "{taken;...}": "headText={taken;yyyy-MM-dd HH.mm.ss} ",
    }
    times = {name: [] for name in texts}
    cpu = {name: [] for name in texts}
    n = args.files
    for run in range(args.runs):
        for name, text in texts.items():
            folder = os.path.join(work, "photos")
            shutil.rmtree(folder, ignore_errors=True)
            make_photos(folder, n)
            subprocess.run(["sync"], check=False)
            seconds, _, cpu_seconds = timed([args.cli, "insert", "atHead=true", text, folder], env=env)
            renamed = [f for f in os.listdir(folder) if f.startswith("2024-07-14 ")]
            if len(renamed) != n:
                sys.exit("%s: %d of %d photos renamed" % (name, len(renamed), n))
            if name != "plain text" and "2024-07-14 12.16.51 IMG_010000.jpg" not in renamed and n == 10000:
                sys.exit("the last photo's time of taking is missing")
            times[name].append(seconds)
            cpu[name].append(cpu_seconds)
    print("Naming %d photos in one folder by when they were taken, median of %d runs:" % (n, args.runs))
    for name in texts:
        print("  %-12s %8.2f us/file, CPU %8.2f us/file" % (
            name, statistics.median(times[name]) * 1e6 / n, statistics.median(cpu[name]) * 1e6 / n))
    ratio = statistics.median(times["{taken;...}"]) / statistics.median(times["plain text"])
    cpu_ratio = statistics.median(cpu["{taken;...}"]) / statistics.median(cpu["plain text"])
    print("  ratio %.2fx (CPU %.2fx); the goal is 3x at most" % (ratio, cpu_ratio))


if __name__ == "__main__":
    main()
