#!/usr/bin/env bash
# Installs every Debian package Quorvex needs to build, run and test. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libcairo2-dev libpango1.0-dev libfontconfig-dev
  libsqlite3-dev sqlite3 libcups2-dev
  fonts-liberation fonts-wqy-microhei fonts-dejavu-core
  xvfb xauth poppler-utils
  matchbox-keyboard xdotool
  clang libclang-rt-14-dev lld
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  apt_locked() {  # runs apt-get; while another package manager holds its lock, waits (up to 10 minutes)
    local err
    err=$(mktemp)
    for _ in $(seq 120); do
      if $SUDO apt-get -o DPkg::Lock::Timeout=600 "$@" 2>"$err"; then rm -f "$err"; return 0; fi
      if ! grep -qiE 'could not get lock|unable to lock|is another process using it' "$err"; then
        cat "$err" >&2; rm -f "$err"; return 1
      fi
      echo "setup: waiting for another package manager to finish"
      sleep 5
    done
    cat "$err" >&2; rm -f "$err"; return 1
  }
  apt_locked update -qq
  apt_locked install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
echo "setup: all packages present"
