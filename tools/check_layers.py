#!/usr/bin/env python3
"""Keeps the source tree layered: a folder includes only folders below it.

    python3 tools/check_layers.py [SOURCE_DIR]

Reads every #include "..." of every C++ file and fails, naming the file and line, when a folder
includes one above it or one beside it, when two folders include each other, or when a toolkit
header turns up where the core must not see it.
"""
import pathlib
import re
import sys

# The layers from the ground up; folders that share a row stand side by side and must not include
# each other.
LAYERS = [
    ["resources"],             # data compiled into the program: the string table
    ["base"],                  # ports, product identity, program folder, paths, text, INI files
    ["data"],                  # rolling stock and the utility routines
    ["services"],              # settings, string table, log, message guide, window places
    ["sound"],                 # the MIDI player and the synthesiser behind it
    ["model"],                 # the game
    ["scene", "records"],      # what the yard picture shows; the player's records
    ["qt", "cli", "tools"],    # front ends and build tools
    ["tests"],
    ["bench", "fuzz"],
]

# Where the window toolkit and the synthesiser may be included; the core library sees neither.
TOOLKIT_ALLOWED = {
    "Qt": ["qt/", "tools/carart", "tests/test_window", "tests/test_windows", "tests/qt_",
           "tests/window_fixture", "tests/test_play", "tests/test_monkey", "tests/test_desktop",
           "tests/test_progress_window", "tests/test_access",
           "bench/window_driver"],
    "fluidsynth": ["sound/fluidmci."],
}

SOURCE_SUFFIXES = {".cpp", ".h", ".hpp", ".cc", ".inc"}
QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANGLED = re.compile(r"^\s*#\s*include\s+<([^>]+)>")


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent).resolve()
    level = {folder: i for i, row in enumerate(LAYERS) for folder in row}
    problems = []
    edges = {}  # (from folder, to folder) -> first "file:line" that makes it

    def folder_of(path: pathlib.Path) -> str:
        return path.relative_to(root).parts[0]

    for path in sorted(root.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        rel = path.relative_to(root)
        if rel.parts[0].startswith("build") or rel.parts[0].startswith(".") or len(rel.parts) < 2:
            continue
        here = rel.parts[0]
        if here not in level:
            problems.append(f"{rel}: folder '{here}' has no place in the layer list")
            continue
        text = path.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(text, 1):
            where = f"{rel}:{number}"
            angled = ANGLED.match(line)
            if angled:
                header = angled.group(1)
                kind = "Qt" if re.match(r"Q[A-Za-z]+$|Qt[A-Za-z]*/", header) else \
                       "fluidsynth" if header.startswith("fluidsynth") else None
                if kind and not any(str(rel).startswith(p) for p in TOOLKIT_ALLOWED[kind]):
                    problems.append(f"{where}: <{header}> is included outside the {kind} front end")
                continue
            quoted = QUOTED.match(line)
            if not quoted:
                continue
            target = quoted.group(1)
            first = target.split("/")[0]
            if "/" in target and first in level:
                there = first
            elif (path.parent / target).exists():
                there = folder_of((path.parent / target).resolve())
            else:
                found = [p for p in root.glob(f"*/{target}") if p.parts[len(root.parts)] in level]
                if not found:
                    continue  # a generated or system header
                there = folder_of(found[0])
            if there == here:
                continue
            edges.setdefault((here, there), where)
            if level[there] > level[here]:
                problems.append(f"{where}: '{here}' includes \"{target}\" from '{there}', a layer above it")
            elif level[there] == level[here]:
                problems.append(f"{where}: '{here}' includes \"{target}\" from '{there}', which stands beside it")

    for (a, b), where in sorted(edges.items()):
        if a < b and (b, a) in edges:
            problems.append(f"{where} and {edges[(b, a)]}: '{a}' and '{b}' include each other")

    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} layering problem(s)")
        return 1
    print(f"layers: {len(edges)} folder-to-folder include edges, all pointing down")
    return 0


if __name__ == "__main__":
    sys.exit(main())
