#!/usr/bin/env bash
# Fails when a test, build or script file names a path outside the checkout,
# such as a folder beside it that a fresh clone does not have.
set -u
root=$1
cd "$root" || exit 2
hits=$(grep -rnE '\.\./shared|/work/|corpora/' \
    --include='*.cpp' --include='*.h' --include='*.py' --include='*.sh' --include='*.cmake' \
    --include='CMakeLists.txt' --include='CMakePresets.json' \
    tests fuzz bench scripts cmake .ci CMakeLists.txt CMakePresets.json 2>/dev/null \
    | grep -v '^tests/tree_stays_inside.sh:')
if [ -n "$hits" ]; then
    echo "paths outside the checkout:"
    echo "$hits"
    exit 1
fi
echo "1 passed, 0 failed"
