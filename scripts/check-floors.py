#!/usr/bin/env python3
"""Fails when a file of the program includes a header of a floor above its own.

The program's folders are floors, read from the bottom: controls, app, dialogs, lobby,
room, and the executable's own folder, program. A file may include its own floor and
the floors below it, never one above. Each include is resolved the way the compiler
would find it: against the including file's folder first, then against the program's
root folder (the one include path), and a name found in neither against every floor's
folder (should one ever be added to the include path). An include that lands in a
floor above is reported as file:line with the include, and the script exits with 1.
A folder or source file that is on no floor is reported too, so it is given its place.

Usage: scripts/check-floors.py [program root, default client/ of this repository]"""
import os
import re
import sys

FLOORS = ["controls", "app", "dialogs", "lobby", "room", "program"]
SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def floor_of(root, path):
    """The floor index of a path inside root, None when it is outside the floors."""
    rel = os.path.relpath(path, root)
    if rel.startswith(".."):
        return None
    top = rel.split(os.sep)[0]
    return FLOORS.index(top) if top in FLOORS else None


def resolve(root, including, name, quoted):
    """The files of root the include may reach, in the compiler's order of search."""
    first = []
    if quoted:
        first.append(os.path.dirname(including))
    first.append(root)
    for base in first:
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(candidate):
            return [candidate]
    # Not found where the build looks today: any floor folder put on the include path
    # would find it there.
    found = []
    for floor in FLOORS:
        candidate = os.path.normpath(os.path.join(root, floor, name))
        if os.path.isfile(candidate):
            found.append(candidate)
    return found


def check(root):
    root = os.path.abspath(root)
    faults = []
    for entry in sorted(os.listdir(root)):
        if os.path.isdir(os.path.join(root, entry)) and entry not in FLOORS:
            faults.append(f"{os.path.join(root, entry)}: a folder on no floor "
                          f"(floors from the bottom: {', '.join(FLOORS)})")
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames.sort()
        own = floor_of(root, dirpath)
        if own is None:
            if dirpath == root:
                faults.extend(f"{os.path.join(root, name)}: a file on no floor"
                              for name in sorted(filenames) if name.endswith(SOURCE_ENDINGS))
            continue
        for filename in sorted(filenames):
            if not filename.endswith(SOURCE_ENDINGS):
                continue
            path = os.path.join(dirpath, filename)
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    quoted = match.group(1) == '"'
                    name = match.group(2)
                    for target in resolve(root, path, name, quoted):
                        reached = floor_of(root, target)
                        if reached is not None and reached > own:
                            faults.append(
                                f"{path}:{number}: {line.strip()} reaches up from "
                                f"{FLOORS[own]}/ to {os.path.relpath(target, root)}")
    return faults


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    root = argv[1] if len(argv) > 1 else os.path.join(here, "..", "client")
    if not os.path.isdir(root):
        print(f"check-floors: no folder {root}", file=sys.stderr)
        return 2
    faults = check(root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-floors: {len(faults)} include(s) break the floors "
              f"({' < '.join(FLOORS)})", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
