#!/usr/bin/env python3
"""Fails when a source file includes a folder that its folder's library does not link, when the
folders' libraries link each other in a circle, or when the card window's controls are reached
from outside the card window."""
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
src = root / "src"
links = {}    # library -> libraries it links
folder_of = {}  # library -> folder
for cmake in src.glob("*/CMakeLists.txt"):
    text = cmake.read_text()
    for lib in re.findall(r"add_library\((zelm_\w+)", text):
        folder_of[lib] = cmake.parent.name
        links.setdefault(lib, set())
    for lib, deps in re.findall(r"target_link_libraries\((zelm_\w+)\s+(?:PUBLIC|PRIVATE|INTERFACE)?([^)]*)\)", text):
        links.setdefault(lib, set()).update(re.findall(r"zelm_\w+", deps))
lib_of = {folder: lib for lib, folder in folder_of.items()}

def reach(lib, seen=None):
    seen = set() if seen is None else seen
    for dep in links.get(lib, ()):
        if dep not in seen:
            seen.add(dep)
            reach(dep, seen)
    return seen

problems = []
for lib in links:
    if lib in reach(lib):
        problems.append(f"{lib} links itself through a circle")

private_headers = {"cardwindow/Form1Ui.h", "cardwindow/Form1Internal.h"}
for path in sorted(src.rglob("*")):
    if path.suffix not in (".cpp", ".h"):
        continue
    folder = path.relative_to(src).parts[0]
    lib = lib_of.get(folder)
    if lib is None:
        continue
    allowed = {folder} | {folder_of[d] for d in reach(lib) if d in folder_of}
    for n, line in enumerate(path.read_text().splitlines(), 1):
        m = re.match(r'\s*#\s*include\s+"([^"/]+)/([^"]+)"', line)
        if not m or m.group(1) not in lib_of:
            continue
        where = f"{path.relative_to(root)}:{n}"
        if m.group(1) not in allowed:
            problems.append(f"{where}: includes {m.group(1)}/ but {lib} does not link {lib_of[m.group(1)]}")
        header = f"{m.group(1)}/{m.group(2)}"
        if header in private_headers and folder != "cardwindow" and header != "cardwindow/Form1Ui.h":
            problems.append(f"{where}: {header} is the card window's own")

for p in problems:
    print(p)
print(f"{len(problems)} include problem(s)" if problems else "includes match the libraries' links")
sys.exit(1 if problems else 0)
