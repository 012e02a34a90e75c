#!/usr/bin/env bash
# Fails when a tracked C or C++ file of the project's own code differs from .clang-format.
# Usage: scripts/check-format.sh [file...]   (default: every tracked source file)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if ! command -v clang-format >/dev/null; then
  echo "clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 2
fi
if [ $# -gt 0 ]; then
  files=("$@")
else
  # Everything in the tree is the project's own: third-party code comes from Debian's
  # packages, and generated files are written under the build folders only.
  mapfile -t files < <(git ls-files '*.c' '*.cc' '*.cpp' '*.h' '*.hpp')
fi
[ ${#files[@]} -gt 0 ] || exit 0
if ! clang-format --dry-run -Werror "${files[@]}"; then
  echo "check-format.sh: the files above differ from .clang-format (clang-format -i FILE mends them)" >&2
  exit 1
fi
