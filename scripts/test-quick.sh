#!/usr/bin/env bash
# The everyday tier: builds the native preset (ASan/UBSan) and runs the unit and
# OpenGL (OSMesa) tests. No Wine, no fuzzing; scripts/test-all.sh runs everything.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset linux >/dev/null
cmake --build --preset linux -j "${ORVEX_JOBS:-2}"
ctest --preset quick
