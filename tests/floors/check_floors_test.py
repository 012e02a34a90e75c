#!/usr/bin/env python3
"""Runs the floor check on small made-up program trees, one per case, and compares
the places it reports with the ones each case expects.
Usage: check_floors_test.py <path of check-floors.py>"""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = None

# name, files (path under the program root: text), places the check must report
# (path:line, or a folder on no floor); an empty list means the tree passes.
CASES = [
    ("a prefixed include of a floor above",
     {"dialogs/WndA.cpp": '#include "room/WndRoom.h"\n', "room/WndRoom.h": ""},
     ["dialogs/WndA.cpp:1"]),
    ("a bare name found only in a floor's folder above (on an include path)",
     {"dialogs/WndA.cpp": '#include <string>\n#include "WndRoom.h"\n', "room/WndRoom.h": ""},
     ["dialogs/WndA.cpp:2"]),
    ("a path that climbs out of the folder and into one above",
     {"controls/Ctl.h": '#pragma once\n\n#include "../lobby/Tree.h"\n', "lobby/Tree.h": ""},
     ["controls/Ctl.h:3"]),
    ("an angle include and a spaced directive, both up",
     {"app/Shell.cpp": '#include <dialogs/WndB.h>\n#  include  "lobby/Lobby.h"\n',
      "dialogs/WndB.h": "", "lobby/Lobby.h": ""},
     ["app/Shell.cpp:1", "app/Shell.cpp:2"]),
    ("the lobby includes the room",
     {"lobby/Join.cpp": '#include "room/WndRoom.h"\n', "room/WndRoom.h": ""},
     ["lobby/Join.cpp:1"]),
    ("the room includes the lobby, every floor includes its own and the ones below",
     {"room/WndRoom.cpp": '#include "lobby/Seam.h"\n#include "room/WndRoom.h"\n'
                          '#include "dialogs/WndB.h"\n#include "app/Shell.h"\n',
      "room/WndRoom.h": '#include "controls/Ctl.h"\n', "lobby/Seam.h": '#include "app/Shell.h"\n',
      "dialogs/WndB.h": "", "app/Shell.h": '#include "Ctl2.h"\n', "controls/Ctl.h": "",
      "controls/Ctl2.h": ""},
     []),
    ("a bare name found beside the file first, though a floor above has one too",
     {"dialogs/WndA.cpp": '#include "Panel.h"\n', "dialogs/Panel.h": "", "room/Panel.h": ""},
     []),
    ("the executable's folder includes any floor; outside headers are not the program's",
     {"program/main.cpp": '#include "room/WndRoom.h"\n#include "kernel/CommKernel.h"\n',
      "room/WndRoom.h": "", "controls/Ctl.cpp": '#include "kernel/CommKernel.h"\n'},
     []),
    ("an include in a comment is no include",
     {"controls/Ctl.cpp": '// #include "room/WndRoom.h"\n', "room/WndRoom.h": ""},
     []),
    ("a folder and a source file on no floor",
     {"extras/Thing.cpp": "", "Loose.h": "", "CMakeLists.txt": "", "controls/Ctl.cpp": ""},
     ["extras", "Loose.h"]),
]


def place(line, root):
    """"dialogs/WndA.cpp:1" of "<root>/dialogs/WndA.cpp:1: #include ...", the folder
    alone for a folder on no floor."""
    path, _, number = line.split(": ", 1)[0].partition(":")
    relative = os.path.relpath(path, root)
    return f"{relative}:{number}" if number else relative


def run_check(root):
    result = subprocess.run([sys.executable, CHECK, root], capture_output=True, text=True,
                            timeout=60)
    return result.returncode, result.stdout


class FloorCheck(unittest.TestCase):
    def test_cases(self):
        for name, files, expected in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                for path, text in files.items():
                    full = os.path.join(root, path)
                    os.makedirs(os.path.dirname(full), exist_ok=True)
                    with open(full, "w", encoding="utf-8") as f:
                        f.write(text)
                code, out = run_check(root)
                reported = sorted(place(line, root) for line in out.splitlines())
                self.assertEqual(reported, sorted(expected), out)
                self.assertEqual(code, 1 if expected else 0, out)

    def test_a_missing_root_is_an_error_not_a_pass(self):
        with tempfile.TemporaryDirectory() as root:
            code, _ = run_check(os.path.join(root, "nothing-here"))
            self.assertEqual(code, 2)


if __name__ == "__main__":
    CHECK = sys.argv.pop(1)
    unittest.main(verbosity=2)
