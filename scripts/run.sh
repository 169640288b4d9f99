#!/usr/bin/env bash
# Sets the machine up, builds Quorvex and starts it with the board simulator standing in for
# the analyzer and the thermal-printer simulator for the printer. Without a display it runs
# under Xvfb (watch it with a VNC viewer or take screenshots with `xwd -root`).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# A part of the tree that does not build yet must not keep the program from starting.
bash scripts/build.sh || cmake --build "${QUORVEX_BUILD_DIR:-build}" --target Quorvex boardsim printersim lissim
bin="${QUORVEX_BUILD_DIR:-build}/bin"
work="${QUORVEX_RUN_DIR:-${QUORVEX_BUILD_DIR:-build}/run}"
mkdir -p "$work"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

start_sim() {  # start_sim <program> <env var> [flags]: runs a simulator and exports the device it prints
  local prog="$1" var="$2" out="$work/$(basename "$1").out"
  shift 2
  [ -x "$prog" ] || return 0
  "$prog" "$@" >"$out" 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do
    dev=$(grep -m1 -o '/dev/pts/[0-9]*' "$out" 2>/dev/null || true)
    [ -n "$dev" ] && break
    sleep 0.1
  done
  [ -n "${dev:-}" ] && export "$var=$dev" && echo "run: $(basename "$prog") on $dev"
}
# QUORVEX_BOARDSIM_ARGS passes flags to the board simulator, e.g. "--key-every 40 --profile anaemic"
# (see `build/bin/boardsim --help`); `pkill -USR1 boardsim` presses the count key once.
# shellcheck disable=SC2086
start_sim "$bin/boardsim" QUORVEX_COM4 ${QUORVEX_BOARDSIM_ARGS:-}
start_sim "$bin/printersim" QUORVEX_COM3
# The LIS simulator: Quorvex's network link is pointed at it (Setting.ini of the program folder,
# sending after each count switched on) and it takes the serial text records on a pty (COM1).
# Every message it receives goes to $work/lissim.log; QUORVEX_LISSIM_ARGS passes more flags,
# e.g. "--ack AE --condition 101" or "--delay 3000" (see `build/bin/lissim --help`).
# shellcheck disable=SC2086
start_sim "$bin/lissim" QUORVEX_COM1 --serial --log "$work/lissim.log" --serial-log "$work/lissim-serial.log" \
  --configure "$bin" ${QUORVEX_LISSIM_ARGS:-}

if [ ! -x "$bin/Quorvex" ]; then
  echo "run: Quorvex has no screens to show yet. Built so far:"
  ls "$bin"
  exit 0
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  Xvfb :77 -screen 0 800x600x24 >/dev/null 2>&1 &
  pids+=($!)
  export DISPLAY=:77
  sleep 1
  echo "run: no display found, running under Xvfb on $DISPLAY"
fi
"$bin/Quorvex" "$@"
