#!/usr/bin/env bash
# Measures tallis-control against the floor of this machine: installs what is
# missing, builds a Release tree in build-bench, runs tallis-bench, prints the
# table and writes the figures to build/bench.json. Arguments go to
# tallis-bench, for example:
#
#   ./scripts/bench.sh --quick              shorter runs
#   ./scripts/bench.sh --only click,reply   some families only
#   ./scripts/bench.sh --only network       the click through ser2net only
#
# Figures are steadier on a quiet machine: stop builds and tests first.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
# Build progress to stderr: stdout is the table.
cmake --build build-bench -j "$(nproc)" --target tallis-bench >&2

# The in-process windows run offscreen; the real program gets its own Xvfb.
QT_QPA_PLATFORM=offscreen build-bench/bench/tallis-bench --json build/bench.json "$@"
