#!/usr/bin/env bash
# End-to-end figures of `velarix ... auto`, each run a whole process on one core (start,
# search, the RINEX job with every product and plot asked for, logs, exit): the sample
# station-day (BJFS 2020-01-01), and a month folder of 30 days (the same day under 30
# successive dates, each with its navigation file) run with --scope month, one day after
# the other. Then the month with its days side by side: --jobs 1 and --jobs 2, on every
# core, and the scaling efficiency (the --jobs 1 time over twice the --jobs 2 time).
# Prints the median wall time of RUNS runs, the median processor time (user + system: what
# the run costs, less sensitive to other load on the machine) and the largest peak
# resident memory.
#
#   bench/end_to_end.sh BUILD_DIR [RUNS]
set -euo pipefail

build=$(cd "$1" && pwd)
runs=${2:-7}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
velarix="$build/apps/velarix"
work="$build/bench-end-to-end"
[ -x "$velarix" ] || { echo "end_to_end: $velarix not built" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "end_to_end: /usr/bin/time (Debian package 'time') is needed" >&2; exit 2; }
pin=()
command -v taskset >/dev/null && pin=(taskset -c 0)

source "$source_dir/bench/month_folder.sh"
rm -rf "$work"
month_folder "$source_dir" "$work/day" "$work/month"

# measure LABEL SCOPE INPUT [PIN] [JOBS]: one line of figures; the median wall time is
# left in $median_wall.
measure() {
  local label=$1 scope=$2 input=$3 pinned=${4:-pin} jobs=${5:-1} walls=() cpus=() peak=0 on=()
  [ "$pinned" = pin ] && on=("${pin[@]}")
  for _ in $(seq "$runs"); do
    "${on[@]}" /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" \
      "$velarix" --settings "$work/none.ini" --no-download --scope "$scope" --jobs "$jobs" --products cmn,std,bias,dat \
      --images tec24,prn,bias "$input" auto </dev/null >/dev/null 2>&1 ||
      { echo "end_to_end: $label: velarix failed (see $(dirname "$input")/Log_file.txt)" >&2; exit 1; }
    read -r wall user system kilobytes <"$work/time.txt"
    walls+=("$wall")
    cpus+=("$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')")
    [ "$kilobytes" -gt "$peak" ] && peak=$kilobytes
  done
  median_wall=$(printf '%s\n' "${walls[@]}" | median)
  printf '%-34s wall %6.3f s  cpu %6.3f s  %5.1f MB peak   (wall: %s)\n' "$label" \
    "$median_wall" "$(printf '%s\n' "${cpus[@]}" | median)" \
    "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')" "${walls[*]}"
}

echo "== velarix end to end, median of $runs runs, one core"
measure "one station-day (BJFS 2020-001)" day "$work/day/bjfs0010.20o"
measure "a month folder (30 station-days)" month "$work/month/bjfs0010.20o"

echo "== a month folder, days side by side, every core ($(nproc)), median of $runs runs"
measure "--jobs 1 (30 station-days)" month "$work/month/bjfs0010.20o" all 1
one=$median_wall
measure "--jobs 2 (30 station-days)" month "$work/month/bjfs0010.20o" all 2
two=$median_wall
awk -v a="$one" -v b="$two" 'BEGIN { printf "--jobs 2 / --jobs 1: %.2f of the wall time; scaling efficiency %.0f %%\n", b / a, 100 * a / (2 * b) }'
