#!/usr/bin/env bash
# Fails when a C++ source of the project differs from what .clang-format makes of it.
set -uo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if clang-format --dry-run -Werror "${files[@]}"; then
  echo "formatting: ${#files[@]} files as .clang-format wants them"
else
  echo "formatting: run clang-format -i on the files above"
  exit 1
fi
