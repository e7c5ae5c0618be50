#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build folder for a set time from a seed corpus made in that
# folder, then prints one line per target. Fails when any target found a fault; the input that
# showed it is left in FOLDER/artifacts.
# Usage: scripts/fuzz.sh FOLDER SECONDS TARGET...
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1 seconds=$2
shift 2

# Seeds of each target: the shipped samples and broken files for the trace readers, small
# hand-made files under fuzz/seeds/, and every input kept from an earlier finding.
seed_folders() {
  case $1 in
    trace_file_fuzz) echo samples tests/data/malformed fuzz/seeds/trace ;;
    profile_fuzz) echo fuzz/seeds/profile ;;
    settings_fuzz) echo fuzz/seeds/settings ;;
    data_file_fuzz) echo fuzz/seeds/data ;;
    template_fuzz) echo fuzz/seeds/template ;;
    link_reply_fuzz) echo fuzz/seeds/link ;;
    catalogue_fuzz) echo fuzz/seeds/catalogue ;;
  esac
}

failed=0
summary=()
for target in "$@"; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus" "$build/artifacts"
  for folder in $(seed_folders "$target"); do
    [ -d "$folder" ] && find "$folder" -maxdepth 1 -type f ! -name README.md -exec cp {} "$corpus/" \;
  done
  find tests/data/fuzz -maxdepth 1 -type f -name "$target-*" -exec cp {} "$corpus/" \; 2>/dev/null
  log=$build/$target.log
  echo "== $target: ${seconds} s from $(find "$corpus" -type f | wc -l) corpus files (log: $log)"
  "$build/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" "$corpus" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  if [ $rc -eq 0 ]; then result=clean; else result="FAULT (exit $rc, see $log)"; failed=1; fi
  summary+=("$(printf '%-16s %10s executions %7s exec/s  %s' "$target" "${runs:-?}" "${speed:-?}" "$result")")
done
printf '%s\n' "${summary[@]}"
exit $failed
