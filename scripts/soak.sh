#!/usr/bin/env bash
# Soak run (not part of CI): Quorvex in a real window (under Xvfb when there is no display) with
# the board simulator pressing the count key every few seconds. Prints the program's resident
# memory, threads and open descriptors at intervals and fails when any of them grew between the
# first sample taken after warm-up and the last.
#   QUORVEX_SOAK_SECONDS   how long to count (default 900)
#   QUORVEX_SOAK_EVERY     seconds between count-key presses (default 6)
#   QUORVEX_SOAK_SAMPLE    seconds between samples (default 30)
#   QUORVEX_SOAK_SLACK_KB  resident growth allowed (default 1024)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QUORVEX_BUILD_DIR:-build}"
bin="$build/bin"
[ -x "$bin/Quorvex" ] || bash scripts/build.sh
seconds=${QUORVEX_SOAK_SECONDS:-900}
every=${QUORVEX_SOAK_EVERY:-6}
sample=${QUORVEX_SOAK_SAMPLE:-30}
slack=${QUORVEX_SOAK_SLACK_KB:-1024}
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

start_sim() {  # start_sim <program> <env var> [flags]
  local prog="$1" var="$2" out="$work/$(basename "$1").out" dev=""
  shift 2
  "$prog" "$@" >"$out" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do
    dev=$(grep -m1 -o '/dev/pts/[0-9]*' "$out" 2>/dev/null || true)
    [ -n "$dev" ] && break
    sleep 0.1
  done
  [ -n "$dev" ] || { echo "soak: $(basename "$prog") did not start"; exit 1; }
  export "$var=$dev"
}
# Message boxes (the soak reminder, say) are answered by pressing Return in the window.
if ! command -v xdotool >/dev/null || ! command -v Xvfb >/dev/null; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq xdotool xvfb >/dev/null
fi
start_sim "$bin/boardsim" QUORVEX_COM4 --quiet --key-every "$every" --count-delay 300
start_sim "$bin/printersim" QUORVEX_COM3

if [ -z "${DISPLAY:-}" ]; then
  Xvfb :78 -screen 0 800x600x24 >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=:78
  sleep 1
fi
"$bin/Quorvex" --seconds $((seconds + 60)) >"$work/quorvex.out" 2>&1 &
qpid=$!
pids+=($qpid)

status() {  # rss_kb threads fds
  local rss thr fds
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$qpid/status")
  thr=$(awk '/^Threads:/ {print $2}' "/proc/$qpid/status")
  fds=$(ls "/proc/$qpid/fd" | wc -l)
  echo "$rss $thr $fds"
}
printf '%8s %10s %8s %6s\n' seconds rss_kb threads fds
warm=$((sample < 60 ? 60 : sample))
for _ in $(seq "$warm"); do sleep 1; (( ${SECONDS} % 3 )) || xdotool search --name Quorvex key Return >/dev/null 2>&1 || true; done
read -r rss0 thr0 fds0 < <(status)
printf '%8d %10d %8d %6d\n' "$warm" "$rss0" "$thr0" "$fds0"
t=$warm
rss=$rss0 thr=$thr0 fds=$fds0
answer() { xdotool search --name Quorvex key Return >/dev/null 2>&1 || true; }
while (( t < seconds )); do
  for _ in $(seq "$sample"); do sleep 1; (( ${SECONDS} % 3 )) || answer; done
  t=$((t + sample))
  kill -0 "$qpid" 2>/dev/null || { echo "soak: Quorvex ended early"; tail -20 "$work/quorvex.out"; exit 1; }
  read -r rss thr fds < <(status)
  printf '%8d %10d %8d %6d\n' "$t" "$rss" "$thr" "$fds"
done
echo "soak: $(sqlite3 "$bin/Vantorium.mdb" "select count(*) from Person where TestDate = date('now','localtime')" 2>/dev/null || echo '?') results stored today"
echo "soak: resident $rss0 -> $rss kB, threads $thr0 -> $thr, descriptors $fds0 -> $fds"
fail=0
(( rss - rss0 <= slack )) || { echo "soak: resident memory grew by $((rss - rss0)) kB"; fail=1; }
(( thr <= thr0 )) || { echo "soak: threads grew"; fail=1; }
(( fds <= fds0 )) || { echo "soak: descriptors grew"; fail=1; }
exit $fail
