#!/usr/bin/env python3
"""The project's folders are its architecture: each folder may use only itself
and the folders below it. Reads every #include of a project header under the
source tree ("core/state.h" and <core/state.h> alike) and every
target_link_libraries of its CMakeLists.txt files, and fails on one that goes
sideways or up, on any two units (a header and its source) that include each
other, directly or round a circle, and on a program that reaches into the
instrument's internals instead of its session.

usage: check_includes.py SOURCE_DIR
"""
import os
import re
import sys

# What each folder may use besides itself, from the bottom up.
ALLOWED = {
    # The instrument.
    "core": set(),
    "gfx": {"core"},
    "screens": {"gfx", "core"},
    # What the hosts share.
    "host": {"screens", "gfx", "core"},
    "flight": {"host", "screens", "gfx", "core"},
    "scenario": {"flight", "host", "screens", "gfx", "core"},
    "picture": {"host", "gfx", "core"},
    "link": {"flight", "host", "screens", "gfx", "core"},
    # One host's session of the instrument, and what a host with files lends it.
    "session": {"scenario", "link", "flight", "host", "screens", "gfx", "core"},
    "files": {"session", "scenario", "picture", "link", "flight", "host", "screens", "gfx", "core"},
    # A played flight's review, built from the session as it plays.
    "review": {"session", "scenario", "picture", "link", "flight", "host", "screens", "gfx", "core"},
    # The programs (window/ with all its rooms).
    "replay": {"review", "files", "session", "scenario", "picture", "link", "flight", "host", "screens", "gfx", "core"},
    "web": {"review", "session", "scenario", "flight", "host", "screens", "gfx", "core"},
    "window": {"review", "files", "session", "link", "scenario", "picture", "flight", "host", "screens", "gfx", "core"},
    # The module reads the instrument through its sessions: of the instrument
    # only core/ (the size of a sentence).
    "python": {"files", "session", "scenario", "picture", "link", "flight", "host", "core"},
    # The generators of the fonts and icons draw with the instrument's own code.
    "tools": {"host", "gfx", "core"},
    # The benchmarks and the soak measure everything, the window too.
    "bench": {"window", "replay", "files", "session", "scenario", "picture", "link", "flight", "host",
              "screens", "gfx", "core"},
}

# The one folder of sources that is no layer: the tests reach every other.
UNLAYERED = {"tests"}

# The one known look upward: the encoder sends the test altitude only while
# the encoder-test screen is current.
EXCEPTIONS = {("core/encoder.cpp", "screens/screens.h")}

# Programs include the session layer, not the instrument's internals: none of
# these under a program's folder. The field table (scenario/fields.h) is how a
# program shows a field of the state record by name, and is no internal.
PROGRAMS = ("replay", "web", "window", "python")
INTERNALS = ("core/", "gfx/", "screens/", "host/pass.h")

# The program files that still include the instrument's internals. Porting a
# file to the session takes it out; the set only shrinks (a file that no
# longer breaks the rule and is still named here fails the check too).
STILL_TO_PORT = {
    "python/sentence_ring.h",
    "replay/replay_flight.cpp",
    "window/app/help_texts.cpp",
    "window/connections/encoder_port.h",
    "window/lcd/lcd_pictures.cpp",
    "window/lcd/lcd_surface.cpp",
    "window/lcd/lcd_views.cpp",
    "window/lcd/lcd_window.cpp",
    "window/panel/instrument_panel.cpp",
}

# Units that include each other and are still to be taken apart; like the
# set above, this only shrinks (it is empty: keep it so).
KNOWN_CIRCLES = set()

QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
ANGLED = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.MULTILINE)
SOURCES = (".h", ".hpp", ".cpp", ".cc")
SKIPPED_DIRS = {".git", "build", "node_modules"}

# The CMake commands that make a target of a folder or link one to another.
CMAKE_COMMAND = re.compile(r"\b(add_library|add_executable|pybind11_add_module|target_sources|"
                           r"target_link_libraries)\s*\(([^()]*(?:\([^()]*\)[^()]*)*)\)", re.IGNORECASE)
LINK_KEYWORDS = {"PUBLIC", "PRIVATE", "INTERFACE", "LINK_PUBLIC", "LINK_PRIVATE", "LINK_INTERFACE_LIBRARIES",
                 "debug", "optimized", "general"}


def folder_of(path):
    return path.split("/", 1)[0]


def sources(top):
    for folder in ALLOWED:
        for root, dirs, files in os.walk(os.path.join(top, folder)):
            dirs[:] = sorted(d for d in dirs if d not in SKIPPED_DIRS)
            for name in files:
                if name.endswith(SOURCES):
                    path = os.path.join(root, name)
                    yield os.path.relpath(path, top).replace(os.sep, "/")


def includes(path, text):
    """The project headers a file includes, as paths from the top: a quoted
    name without a folder is a file beside it; an angled one counts where it
    names a project folder."""
    for target in QUOTED.findall(text):
        yield target if "/" in target else os.path.dirname(path) + "/" + target
    for target in ANGLED.findall(text):
        if "/" in target and folder_of(target) in ALLOWED:
            yield target


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


def may_use(folder):
    return ALLOWED.get(folder, set()) | {folder}


def is_internal(target):
    return any(target == i or (i.endswith("/") and target.startswith(i)) for i in INTERNALS)


def unplaced_folders(top):
    """Folders of sources that the table does not place."""
    for name in sorted(os.listdir(top)):
        if name in ALLOWED or name in UNLAYERED or name in SKIPPED_DIRS or name.startswith("build"):
            continue
        for _, _, files in os.walk(os.path.join(top, name)):
            if any(f.endswith(SOURCES) for f in files):
                yield name
                break


def check_includes(top, still_to_port, known_circles):
    problems = [f"{name}/: a folder of sources with no place in ALLOWED" for name in unplaced_folders(top)]
    graph = {}
    breaking = set()
    for path in sorted(sources(top)):
        folder = folder_of(path)
        with open(os.path.join(top, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for target in includes(path, text):
            if folder_of(target) not in ALLOWED and folder_of(target) not in UNLAYERED:
                problems.append(f"{path}: includes {target}: {folder_of(target)}/ has no place in ALLOWED")
            elif folder_of(target) not in may_use(folder) and (path, target) not in EXCEPTIONS:
                problems.append(f"{path}: includes {target}: {folder}/ may include only "
                                f"{', '.join(sorted(may_use(folder)))}")
            if folder in PROGRAMS and is_internal(target):
                breaking.add(path)
                if path not in still_to_port:
                    problems.append(f"{path}: includes {target}: a program includes the session layer, "
                                    f"not {', '.join(INTERNALS)}")
            if unit(target) != unit(path):
                graph.setdefault(unit(path), set()).add(unit(target))
    for path in sorted(still_to_port - breaking):
        problems.append(f"{path}: no longer includes the instrument's internals (or is gone): "
                        "take it out of STILL_TO_PORT")
    reported = set()
    for start in sorted(graph):
        circle = cycle_from(graph, start)
        if circle and frozenset(circle) not in reported:
            reported.add(frozenset(circle))
            if frozenset(circle) not in known_circles:
                problems.append("units include each other: " + " -> ".join(circle))
    for circle in sorted(known_circles - reported, key=sorted):
        problems.append(f"units {', '.join(sorted(circle))} no longer include each other: "
                        "take them out of KNOWN_CIRCLES")
    return problems, len(breaking & still_to_port)


def cmake_files(top):
    for root, dirs, files in os.walk(top):
        dirs[:] = sorted(d for d in dirs if d not in SKIPPED_DIRS and not d.startswith("build"))
        if "CMakeLists.txt" in files:
            yield os.path.relpath(os.path.join(root, "CMakeLists.txt"), top).replace(os.sep, "/")


def without_comments(text):
    lines = []
    for line in text.splitlines():
        quoted = False
        for i, c in enumerate(line):
            if c == '"':
                quoted = not quoted
            elif c == "#" and not quoted:
                line = line[:i]
                break
        lines.append(line)
    return "\n".join(lines)


def check_links(top):
    """Each library or program target belongs to the folders whose
    CMakeLists.txt make it or add sources to it (ktr7: core, gfx, screens);
    a target may link a library of which some folder is one it may use."""
    owners, links = {}, []
    for path in cmake_files(top):
        folder = folder_of(path) if "/" in path else None
        with open(os.path.join(top, path), encoding="utf-8", errors="replace") as f:
            text = without_comments(f.read())
        for command, args in CMAKE_COMMAND.findall(text):
            words = args.split()
            if not words or "$" in words[0]:
                continue
            command = command.lower()
            if command == "target_link_libraries":
                links.append((path, words[0], words[1:]))
            elif folder in ALLOWED and "ALIAS" not in words and "IMPORTED" not in words:
                owners.setdefault(words[0], set()).add(folder)
    problems = []
    checked = 0
    for path, target, libraries in links:
        for library in libraries:
            if target not in owners or library not in owners or library in LINK_KEYWORDS:
                continue
            checked += 1
            for folder in sorted(owners[target]):
                if not owners[library] & may_use(folder):
                    problems.append(f"{path}: {target} ({folder}/) links {library} "
                                    f"({', '.join(sorted(owners[library]))}/): {folder}/ may use only "
                                    f"{', '.join(sorted(may_use(folder)))}")
    return problems, checked


def check(top, still_to_port=STILL_TO_PORT, known_circles=KNOWN_CIRCLES):
    """Every problem of the tree, how many program files are still to port and
    how many library links were checked."""
    include_problems, to_port = check_includes(top, still_to_port, known_circles)
    link_problems, links = check_links(top)
    return include_problems + link_problems, to_port, links


def checker_sees_planted_faults():
    """The checker itself, on a small tree with one fault of each kind and
    includes and links that are allowed: a check that cannot fail proves
    nothing."""
    import tempfile
    planted = {
        "core/state.cpp": '#include "host/pass.h"\n',            # upward
        "picture/png.cpp": '#include "scenario/fields.h"\n',      # sideways
        "window/a.h": '#include "window/b.h"\n',                  # a circle
        "window/b.cpp": '#include "a.h"\n',
        "window/c.h": '#include "window/d.h"\n',                  # a known circle
        "window/d.cpp": '#include "c.h"\n',
        "gfx/text.cpp": "#include <host/palette.h>\n#include <QtCore/QObject>\n",  # angled, upward
        "web/page.cpp": '#include "core/state.h"\n',              # a program into the instrument
        "window/app/run.cpp": '#include "host/pass.h"\n',         # the same, still to port
        "python/done.cpp": '#include "session/session.h"\n',      # ported, still named
        "window/panel/bar.cpp": '#include <session/session.h>\n#include "scenario/fields.h"\n'
                                '#include "host/time_base.h"\n',
        "screens/menu.cpp": '#include "gfx/lcd.h"\n#include <core/state.h>\n',
        "core/encoder.cpp": '#include "screens/screens.h"\n',
        "stray/page.cpp": '#include "core/state.h"\n',             # a folder the table does not place
        "tests/unit/test_page.cpp": '#include "web/page.cpp"\n',
        "CMakeLists.txt": "add_library(ktr7 STATIC)\n",
        "core/CMakeLists.txt": "target_sources(ktr7 PRIVATE state.cpp)  # the instrument\n",
        "screens/CMakeLists.txt": "target_sources(ktr7 PRIVATE menu.cpp)\n",
        "host/CMakeLists.txt": "add_library(ktr7_host STATIC pass.cpp)\ntarget_link_libraries(ktr7_host PUBLIC ktr7)\n",
        "picture/CMakeLists.txt": "add_library(ktr7_picture png.cpp)\n"
                                "target_link_libraries(ktr7_picture PUBLIC ktr7_host ktr7 PNG::PNG)\n",
        "scenario/CMakeLists.txt": "add_library(ktr7_scenario STATIC fields.cpp)\n"
                                   "target_link_libraries(ktr7_scenario\n    PUBLIC ktr7_host)\n",
        "flight/CMakeLists.txt": "add_library(ktr7_flight STATIC flight.cpp)\n"
                                 "target_link_libraries(ktr7_flight PUBLIC ktr7_scenario ktr7_host)\n",  # upward
        "window/CMakeLists.txt": "add_library(ktr7_window STATIC a.h b.cpp)\n"
                                 "target_link_libraries(ktr7_window PUBLIC ktr7_scenario $<TARGET_NAME:x>)\n",
    }
    still_to_port = {"window/app/run.cpp", "python/done.cpp"}
    known_circles = {frozenset({"window/c", "window/d"}), frozenset({"python/x", "python/y"})}
    with tempfile.TemporaryDirectory() as top:
        for path, text in planted.items():
            os.makedirs(os.path.join(top, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(top, path), "w", encoding="utf-8") as f:
                f.write(text)
        found, to_port, links = check(top, still_to_port, known_circles)
    wanted = ["core/state.cpp: includes host/pass.h", "picture/png.cpp: includes scenario/fields.h",
              "units include each other: window/a -> window/b -> window/a",
              "gfx/text.cpp: includes host/palette.h", "web/page.cpp: includes core/state.h: a program",
              "python/done.cpp: no longer includes", "units python/x, python/y no longer include each other",
              "flight/CMakeLists.txt: ktr7_flight (flight/) links ktr7_scenario", "stray/: a folder of sources"]
    return (len(found) == len(wanted) and all(any(p.startswith(w) for p in found) for w in wanted)
            and to_port == 1 and links == 7)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    if not checker_sees_planted_faults():
        print("the checker misses a planted fault or flags an allowed include or link")
        return 1
    problems, to_port, links = check(sys.argv[1])
    if links == 0:
        problems.append("no target_link_libraries read: the link graph was not checked")
    for p in problems:
        print(p)
    print(f"{links} library links checked; {to_port} program files still to port to the session")
    print(f"{'0 passed' if problems else '1 passed'}, {len(problems)} failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
