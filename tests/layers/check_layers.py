#!/usr/bin/env python3
"""Checks that includes point down the layers.

src/core builds without Qt, and inside it each folder includes only its own
and lower ones: platform < engine < settings < targets < state < run < editor.
src/gui includes core and itself; src/send and src/cli include core and
themselves, without Qt; src/app may include everything.

    check_layers.py SRC        checks the tree, prints each wrong include
    check_layers.py --self-test  checks that wrong includes are found
"""
import os
import re
import sys
import tempfile

CORE_LAYERS = ["platform", "engine", "settings", "targets", "state", "run", "editor"]
GENERATED = {"platform/version.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]', re.M)
QT_HEADER = re.compile(r"^(Q[A-Z]\w*|Qt\w*/|q\w+\.h$)")
# What each top folder may include ("core", "gui", or one of the programs'
# own folders, included from src/).
ALLOWED = {
    "gui": {"core", "gui"},
    "send": {"core", "send"},
    "cli": {"core", "cli"},
    "app": {"core", "gui", "app", "send", "cli"},
}
NO_QT = {"core", "send", "cli"}


def resolve(src, name):
    """Which part of the tree an include names: ("core", layer), ("gui",
    family), (program folder, None), or None when it names no file of ours."""
    if name in GENERATED:
        return ("core", name.split("/")[0])
    if os.path.isfile(os.path.join(src, "core", name)):
        return ("core", name.split("/")[0])
    if os.path.isfile(os.path.join(src, "gui", name)):
        return ("gui", name.split("/")[0])
    top = name.split("/")[0]
    if top in ALLOWED and os.path.isfile(os.path.join(src, name)):
        return (top, None)
    return None


def check(src):
    faults = []
    for root, _dirs, files in os.walk(src):
        for file in sorted(files):
            if not file.endswith((".h", ".cpp", ".c")):
                continue
            path = os.path.join(root, file)
            rel = os.path.relpath(path, src)
            parts = rel.split(os.sep)
            top = parts[0]
            if top not in ("core",) and top not in ALLOWED:
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                text = f.read()
            for bracket, name in INCLUDE.findall(text):
                if bracket == "<":
                    if top in NO_QT and QT_HEADER.match(name):
                        faults.append(f"{rel}: includes Qt ({name})")
                    continue
                target = resolve(src, name)
                if target is None:
                    if top in NO_QT and QT_HEADER.match(name):
                        faults.append(f"{rel}: includes Qt ({name})")
                    continue
                where, layer = target
                if top == "core":
                    if where != "core":
                        faults.append(f"{rel}: core includes {where} ({name})")
                        continue
                    own = parts[1] if len(parts) > 2 else None
                    if own not in CORE_LAYERS:
                        faults.append(f"{rel}: not inside a layer folder of core")
                        continue
                    if layer not in CORE_LAYERS:
                        faults.append(f"{rel}: includes {name}, outside the layers")
                    elif CORE_LAYERS.index(layer) > CORE_LAYERS.index(own):
                        faults.append(f"{rel}: {own} includes the higher layer {layer} ({name})")
                elif where not in ALLOWED[top]:
                    faults.append(f"{rel}: {top} includes {where} ({name})")
    return faults


def write(base, rel, text):
    path = os.path.join(base, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def self_test():
    """Each row: a tree with one include, and whether it is a fault."""
    rows = [
        ("core/run/a.cpp", '#include "engine/b.h"\n', False),
        ("core/engine/a.cpp", '#include "run/b.h"\n', True),
        ("core/targets/a.cpp", '#include "state/b.h"\n', True),
        ("core/editor/a.cpp", '#include "state/b.h"\n', False),
        ("core/engine/a.cpp", "#include <QString>\n", True),
        ("core/engine/a.cpp", "#include <QtCore/QString>\n", True),
        ("core/engine/a.cpp", "#include <string>\n", False),
        ("core/engine/a.cpp", '#include "list/w.h"\n', True),
        ("gui/list/a.cpp", '#include "run/b.h"\n', False),
        ("gui/list/a.cpp", '#include "app/p.h"\n', True),
        ("cli/a.cpp", '#include "list/w.h"\n', True),
        ("cli/a.cpp", "#include <QCoreApplication>\n", True),
        ("send/a.cpp", '#include "cli/c.h"\n', True),
        ("app/a.cpp", '#include "list/w.h"\n', False),
    ]
    failed = 0
    for rel, text, fault in rows:
        with tempfile.TemporaryDirectory() as base:
            for header in ("core/engine/b.h", "core/run/b.h", "core/state/b.h",
                           "gui/list/w.h", "app/p.h", "cli/c.h"):
                write(base, header, "#pragma once\n")
            write(base, rel, text)
            found = bool(check(base))
            if found != fault:
                print(f"self-test: {rel} with {text.strip()}: expected "
                      f"{'a fault' if fault else 'no fault'}, got {'a fault' if found else 'none'}")
                failed += 1
    print(f"self-test: {len(rows) - failed} of {len(rows)} rows as expected")
    return 1 if failed else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    faults = check(sys.argv[1])
    for fault in faults:
        print(fault)
    print(f"{len(faults)} include(s) against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
