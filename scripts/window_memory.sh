#!/usr/bin/env bash
# Resident memory of Quorvex in a real window (under Xvfb when there is no display): on the test
# screen with a counted result, then with the results browser open, then with the X-B QC chart
# open; once with an empty store and once with the store filled to 50,000 results. Each figure
# is printed against the goal of 50 MB. Runs on a copy of the program folder, so build/bin keeps
# its own store. The screens are reached as the operator reaches them, by pressing their buttons
# (positions of the 800x600 layout).
#   QUORVEX_MEMORY_ROWS  results in the full store (default 50000)
#   QUORVEX_MEMORY_SHOTS folder for a screenshot of the last screen of each run (optional)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QUORVEX_BUILD_DIR:-build}"
[ -x "$build/bin/Quorvex" ] || bash scripts/build.sh
rows=${QUORVEX_MEMORY_ROWS:-50000}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cp -r "$build/bin" "$work/bin"
rm -f "$work/bin/Vantorium.mdb"
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :79 -screen 0 800x600x24 >/dev/null 2>&1 &
  export DISPLAY=:79
  sleep 1
fi

goal_kb=$((50 * 1024))
report() {  # report <label> <pid>: the resident memory against the goal
  local rss
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$2/status")
  echo "window memory, $1: resident ${rss} kB = $((rss / 1024)) MB (goal <= 50 MB): $([ "$rss" -le "$goal_kb" ] && echo reached || echo NOT reached)"
}
press() {  # press <x> <y>: a tap on the screen, then time for the screen it opens
  xdotool mousemove --sync "$1" "$2" click 1 >/dev/null 2>&1 || true
  sleep "${3:-3}"
}

measure() {  # measure <label>: start, count two samples, open the browser and the QC chart
  local label=$1 dev qpid rss shot=()
  "$work/bin/boardsim" --quiet --count-delay 300 >"$work/boardsim.out" 2>&1 &
  local bpid=$!
  "$work/bin/printersim" >"$work/printersim.out" 2>&1 &
  local ppid=$!
  sleep 0.5
  if [ -n "${QUORVEX_MEMORY_SHOTS:-}" ]; then
    mkdir -p "$QUORVEX_MEMORY_SHOTS"
    shot=(--screenshot "$QUORVEX_MEMORY_SHOTS/window_memory_${label// /_}.png" --after 45)
  fi
  QUORVEX_COM4=$(grep -m1 -o '/dev/pts/[0-9]*' "$work/boardsim.out") \
  QUORVEX_COM3=$(grep -m1 -o '/dev/pts/[0-9]*' "$work/printersim.out") \
    "$work/bin/Quorvex" --seconds 60 "${shot[@]}" >"$work/quorvex.out" 2>&1 &
  qpid=$!
  sleep 12
  if ! kill -0 "$qpid" 2>/dev/null; then
    # One Quorvex runs at a time on a machine: a second one ends at once.
    echo "window memory, $label: Quorvex ended at start (is another Quorvex running?)" >&2
    kill "$bpid" "$ppid" 2>/dev/null || true
    exit 1
  fi
  for _ in 1 2; do kill -USR1 "$bpid"; sleep 6; xdotool search --name Quorvex key Return >/dev/null 2>&1 || true; done
  report "$label, test screen ($(sqlite3 "$work/bin/Vantorium.mdb" 'select count(*) from Person') results stored)" "$qpid"
  press 657 562 2   # the test screen's Exit: the main menu
  press 320 157     # RESULTS: the results browser
  report "$label, results browser" "$qpid"
  press 657 567 2   # the browser's Exit
  press 152 322 2   # QC: the QC menu
  press 90 70 1     # its X-B tab
  press 252 290     # X-B Graph: the chart
  report "$label, X-B QC chart" "$qpid"
  if [ ${#shot[@]} -gt 0 ]; then
    for _ in $(seq 30); do [ -s "${shot[1]}" ] && break; sleep 1; done
  fi
  kill "$qpid" "$bpid" "$ppid" 2>/dev/null || true
  wait "$qpid" 2>/dev/null || true
}

measure "empty store"
# Fill the store from the rows counted so far: other sample numbers, one day per 500 results.
have=$(sqlite3 "$work/bin/Vantorium.mdb" 'select count(*) from Person')
cols=$(sqlite3 "$work/bin/Vantorium.mdb" "select group_concat(name, ',') from pragma_table_info('Person') where name not in ('SampleNo','TestDate')")
sqlite3 "$work/bin/Vantorium.mdb" <<SQL
BEGIN;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $rows - $have)
INSERT INTO Person (SampleNo, TestDate, $cols)
SELECT CAST(100000 + i AS TEXT), date('now', '-' || (1 + i / 500) || ' days'), $cols FROM n, (SELECT * FROM Person LIMIT 1);
COMMIT;
SQL
measure "$(sqlite3 "$work/bin/Vantorium.mdb" 'select count(*) from Person') results"
