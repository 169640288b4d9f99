#!/usr/bin/env bash
# How often an idle Quorvex wakes up, in a real window (under Xvfb when there is no display):
# starts the program with the board and printer simulators, lets the start-up finish, then
# counts for a while every thread's context switches and the CPU time the process takes.
# Prints one line per thread that woke, and the whole process's wake-ups per second (goal: at
# most 2) and CPU. Idle, the test screen's timers wait for their next real deadline (the minute
# of its clock, the stand-by) and the LIS link sleeps until its state changes; the one regular
# wake-up left is the LIS link trying its server again every second while it cannot connect
# (the default Setting.ini names one on 127.0.0.1 that nothing answers here).
#   QUORVEX_IDLE_SECONDS  how long to count (default 20)
#   QUORVEX_IDLE_SETTLE   seconds to wait for the start-up to finish first (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QUORVEX_BUILD_DIR:-build}"
[ -x "$build/bin/Quorvex" ] || bash scripts/build.sh
span=${QUORVEX_IDLE_SECONDS:-20}
settle=${QUORVEX_IDLE_SETTLE:-15}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
cp -r "$build/bin" "$work/bin"
rm -f "$work/bin/Vantorium.mdb"
if [ -z "${DISPLAY:-}" ]; then
  Xvfb :78 -screen 0 800x600x24 >/dev/null 2>&1 &
  export DISPLAY=:78
  sleep 1
fi
"$work/bin/boardsim" --quiet >"$work/boardsim.out" 2>&1 &
"$work/bin/printersim" >"$work/printersim.out" 2>&1 &
sleep 0.5
QUORVEX_COM4=$(grep -m1 -o '/dev/pts/[0-9]*' "$work/boardsim.out") \
QUORVEX_COM3=$(grep -m1 -o '/dev/pts/[0-9]*' "$work/printersim.out") \
  "$work/bin/Quorvex" --seconds $((settle + span + 30)) >"$work/quorvex.out" 2>&1 &
qpid=$!
sleep "$settle"

snapshot() {  # one line per thread: tid name switches
  for t in /proc/"$qpid"/task/*; do
    local name v n
    name=$(tr ' ' '_' <"$t/comm" 2>/dev/null) || continue
    v=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null) || continue
    n=$(awk '/^nonvoluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null) || continue
    echo "$(basename "$t") $name $((v + n))"
  done
}
cpu() { awk '{print $14 + $15}' "/proc/$qpid/stat"; }
hz=$(getconf CLK_TCK)
before=$(snapshot); cpu0=$(cpu)
sleep "$span"
after=$(snapshot); cpu1=$(cpu)
echo "idle wake-ups of Quorvex over ${span} s (after ${settle} s of start-up):"
join <(echo "$before" | sort) <(echo "$after" | sort) | awk -v span="$span" '
  { d = $5 - $3; total += d; if (d > 0) printf "  thread %s (%s): %.1f wake-ups/s\n", $1, $2, d / span }
  END { printf "whole process: %.1f wake-ups/s (goal <= 2): %s\n", total / span, (total / span <= 2) ? "reached" : "NOT reached" }'
awk -v a="$cpu0" -v b="$cpu1" -v hz="$hz" -v span="$span" \
  'BEGIN { printf "CPU: %.2f %% of a core\n", 100 * (b - a) / hz / span }'
