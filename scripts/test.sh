#!/usr/bin/env bash
# From nothing to every test run: installs what is missing, builds into build/
# with warnings as errors, and runs the whole suite offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLIS_WERROR=ON "${launcher[@]}"
cmake --build build -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"
