#!/usr/bin/env python3
"""Listing benchmark: renomiq on a virtual display, measured through the
accessibility bus as a user would see it. Prints, never asserts.

    /usr/bin/python3 bench/listing.py [--files 100000] [--program build/src/renomiq]
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import renomiq_e2e as e2e  # noqa: E402


def report(line):
    print(line, flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--files", type=int, default=100000)
    parser.add_argument("--program", default=os.path.join(os.path.dirname(__file__), "..", "build", "src", "renomiq"))
    args = parser.parse_args()
    n = args.files
    with e2e.Session() as s:
        big = os.path.join(s.tmp, "tree", "big")
        small = os.path.join(s.tmp, "tree", "small")
        os.makedirs(big)
        os.makedirs(small)
        for i in range(n):
            open(os.path.join(big, "IMG_%06d.jpg" % ((i * 7919) % n)), "w").close()
        open(os.path.join(small, "one.txt"), "w").close()

        app = s.start(os.path.abspath(args.program), drives="C=/;T=" + os.path.join(s.tmp, "tree"))
        app.window("Renomiq")
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\big")
        app.focus(box)
        start = time.monotonic()
        app.key("Return")
        app.wait(lambda: app.status("List count") == "0 Folders %d Files" % n, timeout=120, what="the listing")
        listed = time.monotonic() - start
        report("Listing %d files, Enter to status text: %.0f ms" % (n, listed * 1000))

        # A second folder chosen while the first fills stops it.
        app.set_text(box, "T:\\big")
        app.focus(box)
        app.key("Return")
        app.set_text(box, "T:\\small")
        start = time.monotonic()
        app.key("Return")
        app.wait(lambda: app.status("List count") == "0 Folders 1 Files", timeout=120, what="the second listing")
        report("Another folder chosen during the fill: listed after %.0f ms" % ((time.monotonic() - start) * 1000))
        app.stop()

        # Adding the files from the hand-off file (a Savesomes start).
        home = s.user_dirs("handoff")[0]
        data = os.path.join(home, ".local", "share", "Corvane", "Renomiq")
        os.makedirs(data, exist_ok=True)
        with open(os.path.join(data, "fn000.tmp"), "w") as f:
            for name in os.listdir(big):
                f.write("T:\\big\\%s\r\n" % name)
        start = time.monotonic()
        app = s.start(os.path.abspath(args.program), args=["Savesomes"],
                      drives="C=/;T=" + os.path.join(s.tmp, "tree"), home=home)
        table = app.find("File list", role="table", timeout=60)
        app.wait(lambda: table.queryTable().nRows == n, timeout=120, what="the hand-off rows")
        report("Start with %d hand-off files until all rows show: %.0f ms" % (n, (time.monotonic() - start) * 1000))

        app.stop()


if __name__ == "__main__":
    main()
