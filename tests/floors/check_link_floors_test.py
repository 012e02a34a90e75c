#!/usr/bin/env python3
"""Compiles small made-up objects, one folder per floor, runs the link check on them and
compares the uses it reports with the ones each case expects.
Usage: check_link_floors_test.py <path of check-link-floors.py> <C++ compiler>"""
import os
import subprocess
import sys
import tempfile
import unittest

CHECK = None
COMPILER = None

# name, sources (path under the objects' folder: text), uses the check must report
# (object path: demangled name); an empty list means the objects pass.
CASES = [
    ("a floor calls a function only a floor above defines",
     {"app/Shell.cpp": "void LobbyApply(); void Shell() { LobbyApply(); }\n",
      "lobby/Link.cpp": "void LobbyApply() {}\n"},
     ["app/Shell.cpp.o: LobbyApply()"]),
    ("a floor reads a variable only a floor above defines",
     {"controls/Ctl.cpp": "extern int g_roomCount; int Count() { return g_roomCount; }\n",
      "room/Room.cpp": "int g_roomCount = 2;\n"},
     ["controls/Ctl.cpp.o: g_roomCount"]),
    ("a class member defined above, two uses from two floors",
     {"dialogs/Dlg.cpp": "struct CWndRoom { void Send(int); };\n"
                         "void Go(CWndRoom* r) { r->Send(1); }\n",
      "lobby/Lobby.cpp": "struct CWndRoom { void Send(int); };\n"
                         "void Relay(CWndRoom* r) { r->Send(2); }\n",
      "room/Room.cpp": "struct CWndRoom { void Send(int); };\nvoid CWndRoom::Send(int) {}\n"},
     ["dialogs/Dlg.cpp.o: CWndRoom::Send(int)", "lobby/Lobby.cpp.o: CWndRoom::Send(int)"]),
    ("uses of the own floor, of floors below and of no floor at all pass",
     {"room/Room.cpp": "#include <string>\nvoid Lower(); void Same(); int Outside(const char*);\n"
                       "void Room() { Lower(); Same(); Outside(std::string(\"x\").c_str()); }\n",
      "room/Same.cpp": "void Same() {}\n",
      "app/Lower.cpp": "void Lower() {}\n",
      "program/Wiring.cpp": "void Room(); void Wire() { Room(); }\n"},
     []),
    ("an inline function both floors define is the lower floor's own",
     {"app/A.cpp": "inline int Twice(int v) { return v * 2; }\n"
                   "int (*UseA())(int) { return &Twice; }\n",
      "room/B.cpp": "inline int Twice(int v) { return v * 2; }\n"
                    "int (*UseB())(int) { return &Twice; }\n"},
     []),
    ("a function a floor above defines static is none of the lower floor's",
     {"app/Shell.cpp": "void Helper(); void Shell() { Helper(); }\n",
      "lobby/Link.cpp": "static void Helper() {} void (*Keep())() { return &Helper; }\n"},
     []),
]


def compile_tree(root, sources):
    """Compiles each source to <path>.o beside it, as the build names its objects."""
    for path, text in sources.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write(text)
        subprocess.run([COMPILER, "-c", "-O0", full, "-o", full + ".o"], check=True,
                       timeout=120)
        os.remove(full)


def run_check(*folders):
    result = subprocess.run([sys.executable, CHECK, *folders], capture_output=True,
                            text=True, timeout=120)
    return result.returncode, result.stdout


def reported_uses(out, root):
    """"app/Shell.cpp.o: LobbyApply()" of "<root>/app/Shell.cpp.o: uses LobbyApply(),
    defined only from lobby/ up"."""
    uses = []
    for line in out.splitlines():
        path, _, rest = line.partition(": uses ")
        name = rest.rpartition(", defined only from ")[0]
        uses.append(f"{os.path.relpath(path, root)}: {name}")
    return sorted(uses)


class LinkFloorCheck(unittest.TestCase):
    def test_cases(self):
        for name, sources, expected in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                compile_tree(root, sources)
                code, out = run_check(root)
                self.assertEqual(reported_uses(out, root), sorted(expected), out)
                self.assertEqual(code, 1 if expected else 0, out)

    def test_an_object_on_no_floor_is_reported(self):
        with tempfile.TemporaryDirectory() as root:
            compile_tree(root, {"extras/Thing.cpp": "void Thing() {}\n",
                                "app/Shell.cpp": "void Shell() {}\n"})
            code, out = run_check(root)
            self.assertEqual(code, 1, out)
            self.assertIn("extras/Thing.cpp.o: an object on no floor", out)

    def test_no_objects_or_no_folder_is_no_pass(self):
        with tempfile.TemporaryDirectory() as root:
            code, out = run_check(root)
            self.assertEqual(code, 1, out)
            self.assertIn("no object to check", out)
            code, _ = run_check(os.path.join(root, "nothing-here"))
            self.assertEqual(code, 2)


if __name__ == "__main__":
    CHECK = sys.argv.pop(1)
    COMPILER = sys.argv.pop(1)
    unittest.main(verbosity=2)
