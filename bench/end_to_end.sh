#!/usr/bin/env bash
# End-to-end figures of `velarix ... auto`, each run a whole process on one core (start,
# search, the RINEX job with every product and plot asked for, logs, exit): the sample
# station-day (BJFS 2020-01-01), and a month folder of 30 days (the same day under 30
# successive dates, each with its navigation file) run with --scope month, one day after
# the other. Then the month with its days side by side: --jobs 1 and --jobs 2, on every
# core, and the scaling efficiency (the --jobs 1 time over twice the --jobs 2 time). The
# two are run in alternation, so that a slow spell of a shared machine falls on both.
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

# run_once SCOPE INPUT PINNED JOBS: one run; leaves its wall time, processor time (user +
# system) and peak resident kilobytes in $wall, $cpu and $kilobytes.
run_once() {
  local scope=$1 input=$2 pinned=$3 jobs=$4 user system on=()
  [ "$pinned" = pin ] && on=("${pin[@]}")
  "${on[@]}" /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" \
    "$velarix" --settings "$work/none.ini" --no-download --scope "$scope" --jobs "$jobs" --products cmn,std,bias,dat \
    --images tec24,prn,bias "$input" auto </dev/null >/dev/null 2>&1 ||
    { echo "end_to_end: velarix --scope $scope --jobs $jobs failed (see $(dirname "$input")/Log_file.txt)" >&2; exit 1; }
  read -r wall user system kilobytes <"$work/time.txt"
  cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { print u + s }')
}

# report LABEL WALLS CPUS PEAK_KB: one line of figures; the median wall time is left in
# $median_wall.
report() {
  median_wall=$(tr ' ' '\n' <<<"$2" | median)
  printf '%-34s wall %6.3f s  cpu %6.3f s  %5.1f MB peak   (wall: %s)\n' "$1" "$median_wall" \
    "$(tr ' ' '\n' <<<"$3" | median)" "$(awk -v k="$4" 'BEGIN { print k / 1024 }')" "$2"
}

# measure LABEL SCOPE INPUT: RUNS runs pinned to one core.
measure() {
  local walls=() cpus=() peak=0
  for _ in $(seq "$runs"); do
    run_once "$2" "$3" pin 1
    walls+=("$wall") cpus+=("$cpu")
    [ "$kilobytes" -gt "$peak" ] && peak=$kilobytes
  done
  report "$1" "${walls[*]}" "${cpus[*]}" "$peak"
}

echo "== velarix end to end, median of $runs runs, one core"
measure "one station-day (BJFS 2020-001)" day "$work/day/bjfs0010.20o"
measure "a month folder (30 station-days)" month "$work/month/bjfs0010.20o"

echo "== a month folder, days side by side, every core ($(nproc)), median of $runs runs in alternation"
month="$work/month/bjfs0010.20o"
walls1=() cpus1=() peak1=0 walls2=() cpus2=() peak2=0
for _ in $(seq "$runs"); do
  run_once month "$month" all 1
  walls1+=("$wall") cpus1+=("$cpu")
  [ "$kilobytes" -gt "$peak1" ] && peak1=$kilobytes
  run_once month "$month" all 2
  walls2+=("$wall") cpus2+=("$cpu")
  [ "$kilobytes" -gt "$peak2" ] && peak2=$kilobytes
done
report "--jobs 1 (30 station-days)" "${walls1[*]}" "${cpus1[*]}" "$peak1"
one=$median_wall
report "--jobs 2 (30 station-days)" "${walls2[*]}" "${cpus2[*]}" "$peak2"
two=$median_wall
awk -v a="$one" -v b="$two" 'BEGIN { printf "--jobs 2 / --jobs 1: %.2f of the wall time; scaling efficiency %.0f %%\n", b / a, 100 * a / (2 * b) }'
