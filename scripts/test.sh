#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test suite.
#
# By default the program, the simulators and the benchmarks are built as shipped (optimised), and
# the test suites are built and run once under AddressSanitizer and UndefinedBehaviorSanitizer
# (with the fuzz targets, which carry the sanitizers themselves), then the program and the
# simulators run under ThreadSanitizer (scripts/tsan.sh). Building the suites twice does
# not fit a small CI machine's time, and the sanitized run finds everything the plain one would.
# QUORVEX_SKIP_SANITIZE=1 builds and runs the suites without the sanitizers instead (quicker, for
# a developer's loop). Each stage prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each stage prints its wall time and the processor time it used (on a shared machine the latter,
# divided by the cores CI has, tells what the stage will take there).
stage() {
  local name=$1; shift
  local TIMEFORMAT="stage $name: %0R s (cpu: %0U s user, %0S s sys)"
  time "$@"
}
jobs=$(nproc)
build_dir="${QUORVEX_BUILD_DIR:-build}"
# Line tables are enough for the stack traces a failing test prints, and cost a third less to build.
lean=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG")
stage setup bash scripts/setup.sh
stage layers bash scripts/check_layers.sh
if [ "${QUORVEX_SKIP_SANITIZE:-0}" = 1 ]; then
  stage build bash scripts/build.sh -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_SANITIZE=OFF
  stage tests ctest --test-dir "$build_dir" --output-on-failure -j"$jobs" --timeout 600
else
  stage build bash scripts/build.sh -DQUORVEX_BUILD_TESTS=OFF -DQUORVEX_SANITIZE=OFF "${lean[@]}"
  asan_dir="${build_dir}-asan"
  # -O1 is the sanitizers' usual level: much quicker to build, still quick to run. Each test suite
  # runs in one process: a sanitized program's start and exit cost most of a second. Clang (which
  # setup installs for the fuzz targets) compiles the sanitized code in less than half the time.
  stage sanitized-build env QUORVEX_BUILD_DIR="$asan_dir" bash scripts/build.sh -DQUORVEX_SANITIZE=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DQUORVEX_BUILD_TESTS=ON -DQUORVEX_BUILD_BENCH=OFF -DQUORVEX_TESTS_BY_SUITE=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
  # About half of the suites' time is spent waiting (pseudo-terminals, timers, files synced to
  # disk), so twice as many suites as cores run at once keep the cores busy.
  stage sanitized-tests ctest --test-dir "$asan_dir" --output-on-failure -j"$((jobs * 2))" --timeout 900
  # The program and the three simulators under ThreadSanitizer, through counts and each way of
  # ending (QUORVEX_SKIP_TSAN=1 leaves it out of a developer's run).
  if [ "${QUORVEX_SKIP_TSAN:-0}" != 1 ]; then
    stage tsan bash scripts/tsan.sh
  fi
fi
echo "stage total: ${SECONDS} s"
