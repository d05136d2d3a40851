#!/usr/bin/env python3
"""The project's folders are its architecture: each folder may include only
itself and the folders below it. Reads every #include "..." under the source
tree and fails on one that goes sideways or up, and on any two units (a
header and its source) that include each other, directly or round a circle.

usage: check_includes.py SOURCE_DIR
"""
import os
import re
import sys

# What each folder may include besides itself, from the bottom up.
ALLOWED = {
    "core": set(),
    "gfx": {"core"},
    "screens": {"gfx", "core"},
    "host": {"screens", "gfx", "core"},
    "flight": {"host", "screens", "gfx", "core"},
    "scenario": {"flight", "host", "screens", "gfx", "core"},
    "picture": {"host", "gfx", "core"},
    "replay": {"scenario", "picture", "link", "flight", "host", "screens", "gfx", "core"},
    "link": {"flight", "host", "screens", "gfx", "core"},
    "web": {"scenario", "flight", "host", "screens", "gfx", "core"},
    "window": {"link", "scenario", "picture", "flight", "host", "screens", "gfx", "core"},
    # The module reads the instrument through its sessions: of the instrument
    # only core/ (the size of a sentence).
    "python": {"files", "session", "scenario", "picture", "link", "flight", "host", "core"},
}

# The one known look upward: the encoder sends the test altitude only while
# the encoder-test screen is current.
EXCEPTIONS = {("core/encoder.cpp", "screens/screens.h")}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCES = (".h", ".hpp", ".cpp", ".cc")


def sources(top):
    for folder in ALLOWED:
        for root, _, files in os.walk(os.path.join(top, folder)):
            for name in files:
                if name.endswith(SOURCES):
                    path = os.path.join(root, name)
                    yield os.path.relpath(path, top).replace(os.sep, "/")


def unit(path):
    return os.path.splitext(path)[0]


def cycle_from(graph, start):
    """A circle of units through start, or None."""
    stack = [(start, [start])]
    seen = set()
    while stack:
        node, trail = stack.pop()
        for nxt in sorted(graph.get(node, ())):
            if nxt == start:
                return trail + [start]
            if nxt not in seen:
                seen.add(nxt)
                stack.append((nxt, trail + [nxt]))
    return None


def check(top):
    problems = []
    graph = {}
    for path in sorted(sources(top)):
        folder = path.split("/", 1)[0]
        with open(os.path.join(top, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for target in INCLUDE.findall(text):
            head = target.split("/", 1)[0]
            if "/" not in target:
                head = folder  # a file beside it
                target = os.path.dirname(path) + "/" + target
            if head != folder and head not in ALLOWED.get(folder, set()):
                if (path, target) not in EXCEPTIONS:
                    problems.append(f"{path}: includes {target}: {folder}/ may include only "
                                    f"{', '.join(sorted(ALLOWED[folder] | {folder}))}")
            if unit(target) != unit(path):
                graph.setdefault(unit(path), set()).add(unit(target))
    reported = set()
    for start in sorted(graph):
        circle = cycle_from(graph, start)
        if circle and frozenset(circle) not in reported:
            reported.add(frozenset(circle))
            problems.append("units include each other: " + " -> ".join(circle))
    return problems


def checker_sees_planted_faults():
    """The checker itself, on a small tree with one fault of each kind and
    includes that are allowed: a check that cannot fail proves nothing."""
    import tempfile
    planted = {
        "core/state.cpp": '#include "host/pass.h"\n',        # upward
        "picture/png.cpp": '#include "scenario/fields.h"\n',  # sideways
        "window/a.h": '#include "window/b.h"\n',              # a circle
        "window/b.cpp": '#include "a.h"\n',
        "screens/menu.cpp": '#include "gfx/lcd.h"\n#include "core/state.h"\n',
        "core/encoder.cpp": '#include "screens/screens.h"\n',
    }
    with tempfile.TemporaryDirectory() as top:
        for path, text in planted.items():
            os.makedirs(os.path.join(top, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(top, path), "w", encoding="utf-8") as f:
                f.write(text)
        found = check(top)
    wanted = ["core/state.cpp: includes host/pass.h", "picture/png.cpp: includes scenario/fields.h",
              "units include each other: window/a -> window/b -> window/a"]
    return len(found) == len(wanted) and all(any(p.startswith(w) for p in found) for w in wanted)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    if not checker_sees_planted_faults():
        print("the checker misses a planted fault or flags an allowed include")
        return 1
    problems = check(sys.argv[1])
    for p in problems:
        print(p)
    print(f"{'0 passed' if problems else '1 passed'}, {len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
