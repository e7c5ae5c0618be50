#!/usr/bin/env bash
# Idle cost of the viewer: starts vqviewer on Qt's offscreen platform with the sample trace,
# lets it settle, then reports the CPU time (user + system, from /proc/PID/stat) it spends in
# IDLE_SECONDS (default 10) of doing nothing. Target: under 50 ms, the clock's redraw included.
# Usage: bench/idle_cpu.sh [VIEWER] ; exit 1 when the viewer dies or the target is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
viewer=${1:-$root/build/vqviewer}
seconds=${IDLE_SECONDS:-10}
target_ms=50
[ -x "$viewer" ] || { echo "idle_cpu: no viewer at $viewer" >&2; exit 1; }

# A home and lock folder of its own: another running viewer must not end this one.
home=$(mktemp -d)
pid=
cleanup() {
  local status=$?
  if [ -n "$pid" ]; then
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
  fi
  rm -rf "$home"
  exit "$status"
}
trap cleanup EXIT

# utime + stime of the process, in milliseconds (clock ticks of 10 ms).
cpu_ms() {
  local stat fields
  stat=$(cat "/proc/$1/stat") || return 1
  read -r -a fields <<< "${stat##*) }"  # after the command name, which may hold blanks
  echo $(((fields[11] + fields[12]) * 1000 / $(getconf CLK_TCK)))
}

# The same to the microsecond, from the scheduler's run time of each thread.
cpu_us() {
  local total=0 run rest
  for task in /proc/"$1"/task/*/schedstat; do
    read -r run rest < "$task" 2> /dev/null || continue
    total=$((total + run / 1000))
  done
  echo "$total"
}

VQ_HOME=$home XDG_RUNTIME_DIR=$home \
  QT_QPA_PLATFORM="offscreen:configfile=$root/tests/shell/offscreen_screen.json" \
  "$viewer" "$root/samples/dfb_laser.wv8" > "$home/out.txt" 2>&1 &
pid=$!
sleep 2  # start-up and the first frames
start_ms=$(cpu_ms "$pid") || { echo "idle_cpu: the viewer ended at start:" >&2; cat "$home/out.txt" >&2; exit 1; }
start_us=$(cpu_us "$pid")
sleep "$seconds"
end_ms=$(cpu_ms "$pid") || { echo "idle_cpu: the viewer ended while idle" >&2; exit 1; }
end_us=$(cpu_us "$pid")
spent=$((end_ms - start_ms))
precise=$(awk -v us=$((end_us - start_us)) 'BEGIN { printf "%.1f", us / 1000 }')
echo "idle_cpu: start-up ${start_ms} ms; idle ${spent} ms CPU (utime+stime; run time" \
  "${precise} ms) in ${seconds} s (target < ${target_ms} ms)"
[ "$spent" -lt "$target_ms" ]
