#!/usr/bin/env bash
# Sets the machine up, builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
build_dir="${QUORVEX_BUILD_DIR:-build}"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 600
