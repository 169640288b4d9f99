#!/usr/bin/env bash
# Checks that includes only go down the floors of the tree: no folder includes a folder above it.
# Floors, bottom up (a folder may include its own floor and every floor below):
#   0 platform/ algorithm/ resources/    the layer over Linux, Zentil, the drawn resources
#   1 core/                              settings, data store, logs, layout, the look
#   2 controls/                          the skinned controls, grid and chart
#   3 analyzer/ printing/                the board link and reagents; printer drivers and reports
#   4 measurement/                       the test screen and what it opens
#   5 lis/                               the LIS link and its senders
#   6 history/ calibration/ qc/ settings/ service/
#                                        later subsystems; they open one another's screens by name
#   7 app/ tools/                        the application shell, the simulators and the gallery
# Folders on floor 6 do not include each other: they meet through the screen registry.
set -euo pipefail
cd "$(dirname "$0")/.."

floor_of() {
  case "$1" in
    platform|algorithm|resources) echo 0 ;;
    core) echo 1 ;;
    controls) echo 2 ;;
    analyzer|printing) echo 3 ;;
    measurement) echo 4 ;;
    lis) echo 5 ;;
    history|calibration|qc|settings|service) echo 6 ;;
    app|tools) echo 7 ;;
    *) echo "" ;;
  esac
}

bad=0
while IFS= read -r file; do
  from=${file%%/*}
  fromFloor=$(floor_of "$from")
  [ -n "$fromFloor" ] || continue
  while IFS= read -r inc; do
    to=${inc%%/*}
    toFloor=$(floor_of "$to")
    [ -n "$toFloor" ] || continue
    if (( toFloor > fromFloor )) || { (( toFloor == 6 && fromFloor == 6 )) && [ "$to" != "$from" ]; }; then
      echo "upward include: $file includes \"$inc\" (floor $fromFloor -> $toFloor)"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files -- '*.h' '*.hpp' '*.c' '*.cc' '*.cpp')

if (( bad )); then
  echo "check_layers: includes run up the floors" >&2
  exit 1
fi
echo "check_layers: every include goes down"
