#!/usr/bin/env bash
# From nothing to every test run: installs what is missing, builds with
# warnings as errors, runs the whole suite offscreen, checks the install and
# the Debian package (lintian), then runs the suite again under
# AddressSanitizer + UndefinedBehaviorSanitizer, then a short fuzzing run.
#
#   FUZZ_SECONDS=N   how long each fuzz target runs (default 20; 0 skips fuzzing)
#   QUICK=1          the plain build and suite only
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh

jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export QT_QPA_PLATFORM=offscreen

stage() { printf '\n=== %s ===\n' "$*"; }

# Runs CTest on a build tree and adds its counts to the closing line.
passed=0
run_ctest() {
    local log
    log=$(mktemp)
    ctest --test-dir "$1" --output-on-failure -j "$jobs" | tee "$log"
    local total
    total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log")
    passed=$((passed + ${total:-0}))
    rm -f "$log"
}
summary() { printf '\ntests: %d passed, 0 failed\n' "$passed"; }

stage "Build and test"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLIS_WERROR=ON "${launcher[@]}"
cmake --build build -j "$jobs"
run_ctest build
./scripts/validate-install.sh build

stage "Debian package and lintian"
rm -f build/tallis-control_*.deb
(cd build && cpack -G DEB)
# Errors and warnings fail the run; the package needs no overrides.
lintian --fail-on error,warning build/tallis-control_*.deb
echo "lintian: no errors, no warnings"

if [ "${QUICK:-0}" = 1 ]; then
    summary
    exit 0
fi

stage "AddressSanitizer + UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTALLIS_WERROR=ON -DTALLIS_SANITIZE=ON "${launcher[@]}"
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
    run_ctest build-asan

seconds=${FUZZ_SECONDS:-20}
if [ "$seconds" = 0 ]; then
    summary
    exit 0
fi
stage "Fuzzing, ${seconds} s a target"
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLIS_FUZZ=ON "${launcher[@]}"
cmake --build build-fuzz -j "$jobs" --target fuzzers
for target in build-fuzz/tests/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    name=${name#fuzz_}
    work=$(mktemp -d)
    echo "fuzz_$name"
    "$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 \
        -artifact_prefix="build-fuzz/crash-$name-" "$work" "tests/fuzz/corpus/$name" 2>&1 | tail -n 12
    rm -rf "$work"
done
summary
