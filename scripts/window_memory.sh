#!/usr/bin/env bash
# Resident memory of Quorvex in a real window (under Xvfb when there is no display), on the test
# screen with a counted result: once with an empty store and once with the store filled to
# 50,000 results. Runs on a copy of the program folder, so build/bin keeps its own store.
#   QUORVEX_MEMORY_ROWS  results in the full store (default 50000)
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

measure() {  # measure <label>: start, count two samples, print the resident memory, stop
  local label=$1 dev qpid rss
  "$work/bin/boardsim" --quiet --count-delay 300 >"$work/boardsim.out" 2>&1 &
  local bpid=$!
  "$work/bin/printersim" >"$work/printersim.out" 2>&1 &
  local ppid=$!
  sleep 0.5
  QUORVEX_COM4=$(grep -m1 -o '/dev/pts/[0-9]*' "$work/boardsim.out") \
  QUORVEX_COM3=$(grep -m1 -o '/dev/pts/[0-9]*' "$work/printersim.out") \
    "$work/bin/Quorvex" --seconds 60 >"$work/quorvex.out" 2>&1 &
  qpid=$!
  sleep 12
  for _ in 1 2; do kill -USR1 "$bpid"; sleep 6; xdotool search --name Quorvex key Return >/dev/null 2>&1 || true; done
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$qpid/status")
  echo "window memory, $label: resident ${rss} kB ($(sqlite3 "$work/bin/Vantorium.mdb" 'select count(*) from Person') results stored)"
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
