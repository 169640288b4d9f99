#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test suite: once as built, once more under
# AddressSanitizer and UndefinedBehaviorSanitizer (QUORVEX_SKIP_SANITIZE=1 leaves that run out).
# Each stage prints how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
stage() { local name=$1; shift; local t0=$SECONDS; "$@"; echo "stage $name: $((SECONDS - t0)) s"; }
jobs=$(nproc)
stage setup bash scripts/setup.sh
stage layers bash scripts/check_layers.sh
build_dir="${QUORVEX_BUILD_DIR:-build}"
stage build bash scripts/build.sh
stage tests ctest --test-dir "$build_dir" --output-on-failure -j"$jobs" --timeout 600
if [ "${QUORVEX_SKIP_SANITIZE:-0}" != 1 ]; then
  asan_dir="${build_dir}-asan"
  stage sanitized-build env QUORVEX_BUILD_DIR="$asan_dir" bash scripts/build.sh -DQUORVEX_SANITIZE=ON -DQUORVEX_BUILD_BENCH=OFF
  # The fuzz targets carry the sanitizers themselves and ran above.
  stage sanitized-tests ctest --test-dir "$asan_dir" --output-on-failure -j"$jobs" --timeout 900 -LE fuzz
fi
