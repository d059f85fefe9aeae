#!/usr/bin/env python3
"""Fails when a source file includes a folder that its folder's library does not link, when the
folders' libraries link each other in a circle, or when a file outside the card window (in src/,
tests/, bench/ or reportf/) includes the card window's own headers."""
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

# The card window's own headers, and who besides the card window may include them. Tests and
# benchmarks link the assembled program (zelm_app), so they stand where the app stands; they
# find the controls by objectName, never through the window's private headers.
private_headers = {
    "cardwindow/TForm1.h": {"src/cardwindow", "src/app", "tests", "bench"},
    "cardwindow/Form1Ui.h": {"src/cardwindow"},
    "cardwindow/Form1Internal.h": {"src/cardwindow"},
}
include_re = re.compile(r'\s*#\s*include\s+"([^"/]+)/([^"]+)"')


def private_header_problems(path, place):
    for n, line in enumerate(path.read_text().splitlines(), 1):
        m = include_re.match(line)
        if not m:
            continue
        header = f"{m.group(1)}/{m.group(2)}"
        if header in private_headers and place not in private_headers[header]:
            yield f"{path.relative_to(root)}:{n}: {header} is the card window's own"


for path in sorted(src.rglob("*")):
    if path.suffix not in (".cpp", ".h"):
        continue
    folder = path.relative_to(src).parts[0]
    lib = lib_of.get(folder)
    if lib is None:
        continue
    allowed = {folder} | {folder_of[d] for d in reach(lib) if d in folder_of}
    for n, line in enumerate(path.read_text().splitlines(), 1):
        m = include_re.match(line)
        if not m or m.group(1) not in lib_of:
            continue
        where = f"{path.relative_to(root)}:{n}"
        if m.group(1) not in allowed:
            problems.append(f"{where}: includes {m.group(1)}/ but {lib} does not link {lib_of[m.group(1)]}")
    problems.extend(private_header_problems(path, f"src/{folder}"))

# The tests, the benchmarks and the report program keep out of the card window's own headers.
for tree in ("tests", "bench", "reportf"):
    for path in sorted((root / tree).rglob("*")):
        if path.suffix in (".cpp", ".h") and path.is_file():
            problems.extend(private_header_problems(path, tree))

for p in problems:
    print(p)
print(f"{len(problems)} include problem(s)" if problems else "includes match the libraries' links")
sys.exit(1 if problems else 0)
