#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
stage() { local name=$1; shift; local t0=$SECONDS; "$@"; echo "stage $name: $((SECONDS - t0)) s"; }
stage setup bash scripts/setup.sh
stage layers bash scripts/check_layers.sh
stage build bash scripts/build.sh
build_dir="${QUORVEX_BUILD_DIR:-build}"
stage tests ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 600
