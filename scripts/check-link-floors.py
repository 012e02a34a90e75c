#!/usr/bin/env python3
"""Fails when an object of the program uses a symbol that only a floor above defines.

The include check (check-floors.py) keeps headers from reaching up; a free function
declared low and defined high still binds a low floor to a high one through the linker.
This check reads the built objects instead: each object's floor is the first folder of
its path under the objects' folder (controls, app, dialogs, lobby, room, program, from
the bottom). Every symbol an object uses must be defined by an object of its own floor
or of one below, or by no object of the program at all (an outside library's). A use
that only floors above define is reported as object: symbol (demangled) defined in the
floor above's objects, and the script exits with 1. An object on no floor is reported
too, and so is a folder that holds no object (a build not made yet is no pass).

Usage: scripts/check-link-floors.py <objects folder> [<objects folder>...]
  e.g. build/client/CMakeFiles/mivora_ui.dir; NM names the nm to run (default nm)."""
import os
import subprocess
import sys

FLOORS = ["controls", "app", "dialogs", "lobby", "room", "program"]
OBJECT_ENDINGS = (".o", ".obj")
# nm's letters for an undefined use (w and v: weak, resolved by whoever defines it).
USES = set("Uwv")
# Letters of a definition another object can bind to: the global (upper-case) ones and
# the weak and unique ones. Lower-case t, d, b, r are local to their object.
DEFINES = set("ABCDGIRSTVWiu")


def read_symbols(nm, path):
    """(defined, used) mangled names of one object, from nm's portable format."""
    result = subprocess.run([nm, "-P", path], capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        raise RuntimeError(f"{nm} -P {path}: {result.stderr.strip()}")
    defined, used = set(), set()
    for line in result.stdout.splitlines():
        fields = line.split()
        if len(fields) < 2 or len(fields[1]) != 1:
            continue
        name, kind = fields[0], fields[1]
        if kind in USES:
            used.add(name)
        elif kind in DEFINES:
            defined.add(name)
    return defined, used


def demangle(names):
    """Readable names, in the order given (the mangled one where c++filt is missing)."""
    try:
        result = subprocess.run(["c++filt"], input="\n".join(names), capture_output=True,
                                text=True, timeout=120)
    except OSError:
        return list(names)
    lines = result.stdout.splitlines()
    return lines if result.returncode == 0 and len(lines) == len(names) else list(names)


def objects_of(folder):
    for dirpath, dirnames, filenames in os.walk(folder):
        dirnames.sort()
        for filename in sorted(filenames):
            if filename.endswith(OBJECT_ENDINGS):
                yield os.path.join(dirpath, filename)


def check(folders, nm="nm"):
    faults = []
    objects = []  # (path, floor index, defined, used)
    for folder in folders:
        found = False
        for path in objects_of(folder):
            found = True
            top = os.path.relpath(path, folder).split(os.sep)[0]
            if top not in FLOORS:
                faults.append(f"{path}: an object on no floor "
                              f"(floors from the bottom: {', '.join(FLOORS)})")
                continue
            defined, used = read_symbols(nm, path)
            objects.append((path, FLOORS.index(top), defined, used))
        if not found:
            faults.append(f"{folder}: no object to check (build the library first)")
    lowest = {}  # symbol: the lowest floor whose objects define it
    for _, floor, defined, _ in objects:
        for name in defined:
            lowest[name] = min(floor, lowest.get(name, floor))
    crossings = []  # (object, floor of the definition, mangled name)
    for path, floor, defined, used in objects:
        for name in sorted(used - defined):
            if name in lowest and lowest[name] > floor:
                crossings.append((path, lowest[name], name))
    readable = demangle([name for _, _, name in crossings])
    for (path, reached, _), name in zip(crossings, readable):
        faults.append(f"{path}: uses {name}, defined only from {FLOORS[reached]}/ up")
    return faults


def main(argv):
    if len(argv) < 2:
        print(__doc__.split("\n\n")[-1], file=sys.stderr)
        return 2
    for folder in argv[1:]:
        if not os.path.isdir(folder):
            print(f"check-link-floors: no folder {folder}", file=sys.stderr)
            return 2
    try:
        faults = check(argv[1:], os.environ.get("NM", "nm"))
    except (OSError, RuntimeError, subprocess.TimeoutExpired) as error:
        print(f"check-link-floors: {error}", file=sys.stderr)
        return 2
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-link-floors: {len(faults)} use(s) break the floors "
              f"({' < '.join(FLOORS)})", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
