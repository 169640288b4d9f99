#!/usr/bin/env bash
# ThreadSanitizer run (part of scripts/test.sh, and so of CI).
# Builds Quorvex and the three simulators with -fsanitize=thread into build-tsan/ (or
# $QUORVEX_TSAN_BUILD_DIR), then runs the program against the board, printer and LIS simulators
# through a few counts, once for each way of ending it:
#   seconds  the --seconds option ends it
#   sigterm  SIGTERM while the test screen counts
#   exit     the test screen left by its Exit (Alt+X) in a window under Xvfb, then the program
#            ended by --seconds from the main menu (needs Xvfb and xdotool; skipped without them)
# Fails when ThreadSanitizer reported anything, or the program did not end on its own.
#   QUORVEX_TSAN_COUNT_SECONDS  how long to count before ending (default 40)
#   QUORVEX_TSAN_ENDINGS        which endings to run (default "seconds sigterm exit")
set -euo pipefail
cd "$(dirname "$0")/.."
build="${QUORVEX_TSAN_BUILD_DIR:-build-tsan}"
count=${QUORVEX_TSAN_COUNT_SECONDS:-40}
endings=${QUORVEX_TSAN_ENDINGS:-seconds sigterm exit}

flags="-fsanitize=thread -g1 -O1"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEX_BUILD_TESTS=OFF \
  -DQUORVEX_BUILD_BENCH=OFF -DQUORVEX_SANITIZE=OFF -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread >/dev/null
# The build runs its own generators (the skin bitmaps); their reports are not the program's.
TSAN_OPTIONS="report_bugs=0 exitcode=0" cmake --build "$build" -j"${JOBS:-$(nproc)}" --target Quorvex boardsim printersim lissim
bin="$build/bin"

work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT
# The font and drawing libraries are not built with ThreadSanitizer: their own locking is
# invisible to it, so what their intercepted calls (strdup, strcmp, memcpy) touch is not ours.
cat >"$work/suppressions" <<'EOS'
called_from_lib:libfontconfig.so.1
called_from_lib:libcairo.so.2
called_from_lib:libglib-2.0.so.0
called_from_lib:libgobject-2.0.so.0
called_from_lib:libpango-1.0.so.0
called_from_lib:libpangoft2-1.0.so.0
called_from_lib:libpangocairo-1.0.so.0
called_from_lib:libfreetype.so.6
called_from_lib:libharfbuzz.so.0
EOS
export TSAN_OPTIONS="halt_on_error=0 second_deadlock_stack=1 log_path=$work/tsan suppressions=$work/suppressions"

start_sim() {  # start_sim <program> <env var> [flags]: runs a simulator, exports the device it prints
  local prog="$1" var="$2" out="$work/$(basename "$1").$3.out" dev=""
  shift 3
  "$prog" "$@" >"$out" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    dev=$(grep -m1 -o '/dev/pts/[0-9]*' "$out" 2>/dev/null || true)
    [ -n "$dev" ] && break
    sleep 0.1
  done
  [ -n "$dev" ] || { echo "tsan: $(basename "$prog") did not start"; exit 1; }
  export "$var=$dev"
}

# Waits up to $2 seconds for process $1 to end; false when it is still running.
wait_end() {
  for _ in $(seq $(($2 * 10))); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

fail=0
for ending in $endings; do
  display_args=(--offscreen)
  if [ "$ending" = exit ]; then
    if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
      echo "tsan: exit: skipped (Xvfb and xdotool are needed)"
      continue
    fi
    Xvfb :79 -screen 0 800x600x24 >/dev/null 2>&1 &
    xvfb=$!
    pids+=($xvfb)
    export DISPLAY=:79
    sleep 1
    display_args=(--sdl)
  fi
  start_sim "$bin/boardsim" QUORVEX_COM4 "$ending" --quiet --key-every 8 --count-delay 300
  start_sim "$bin/printersim" QUORVEX_COM3 "$ending"
  start_sim "$bin/lissim" QUORVEX_COM1 "$ending" --serial --log "$work/lissim.log" --configure "$bin"
  extra=()
  [ "$ending" = seconds ] && extra=(--seconds "$count")
  [ "$ending" = exit ] && extra=(--seconds $((count + 30)))
  "$bin/Quorvex" "${display_args[@]}" "${extra[@]}" >"$work/quorvex.$ending.out" 2>&1 &
  qpid=$!
  pids+=($qpid)
  case "$ending" in
    seconds)
      wait_end "$qpid" $((count + 60)) || { echo "tsan: seconds: the program did not end"; fail=1; } ;;
    sigterm)
      sleep "$count"
      kill -TERM "$qpid"
      wait_end "$qpid" 60 || { echo "tsan: sigterm: the program did not end"; fail=1; } ;;
    exit)
      # Boxes (the soak reminder, say) are answered with Return while it counts.
      for _ in $(seq "$count"); do sleep 1; xdotool search --name Quorvex key Return >/dev/null 2>&1 || true; done
      xdotool search --name Quorvex key alt+x >/dev/null 2>&1 || true
      # From the main menu the program ends by --seconds.
      wait_end "$qpid" 90 || { echo "tsan: exit: the program did not end"; fail=1; }
      kill "$xvfb" 2>/dev/null || true
      unset DISPLAY ;;
    *) echo "tsan: unknown ending $ending"; fail=1 ;;
  esac
  kill "$qpid" 2>/dev/null || true
  for p in "${pids[@]}"; do [ "$p" = "$qpid" ] || kill "$p" 2>/dev/null || true; done
  pids=()
  echo "tsan: $ending: $(sqlite3 "$bin/Vantorium.mdb" "select count(*) from Person where TestDate = date('now','localtime')" 2>/dev/null || echo '?') results stored today"
done

reports=$(cat "$work"/tsan.* 2>/dev/null | grep -c '^WARNING: ThreadSanitizer' || true)
if [ "$reports" != 0 ]; then
  echo "tsan: $reports reports:"
  cat "$work"/tsan.*
  fail=1
else
  echo "tsan: no reports"
fi
exit $fail
