#!/usr/bin/env bash
# The Dask runner against the serial program on a month folder (30 station-days: the
# sample day under 30 successive dates, each with its navigation file): wall time of the
# whole process, median of RUNS runs each. The runner uses a local cluster of 2 worker
# processes; the serial run is `velarix --scope month` (one process, one day after
# another). Scaling efficiency = serial wall / (2 x Dask wall).
#
#   bench/dask_batch.sh BUILD_DIR [RUNS]
set -euo pipefail

build=$(cd "$1" && pwd)
runs=${2:-5}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
velarix="$build/apps/velarix"
runner="$build/python/velarix-dask"
work="$build/bench-dask"
[ -x "$velarix" ] && [ -x "$runner" ] || { echo "dask_batch: $velarix or $runner not built" >&2; exit 2; }

source "$source_dir/bench/month_folder.sh"
rm -rf "$work"
month_folder "$source_dir" "$work" "$work/month"
products=(--products cmn,std,bias,dat --images tec24,prn,bias)

# wall COMMAND...: the wall time of one run, in seconds.
wall() {
  local start end
  start=$(date +%s.%N)
  "$@" </dev/null >"$work/out.txt" 2>&1 || { echo "dask_batch: failed: $* (see $work/out.txt)" >&2; exit 1; }
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

serial=() dask=()
for _ in $(seq "$runs"); do
  serial+=("$(wall "$velarix" --settings "$work/none.ini" --no-download --jobs 1 --scope month "${products[@]}" "$work/month/bjfs0010.20o" auto)")
  dask+=("$(wall "$runner" --workers 2 --no-log-files "${products[@]}" "$work/month")")
done
s=$(printf '%s\n' "${serial[@]}" | median)
d=$(printf '%s\n' "${dask[@]}" | median)
echo "== Dask runner, a month folder (30 station-days), median of $runs runs"
printf '%-40s wall %6.2f s   (%s)\n' "velarix --scope month (serial)" "$s" "${serial[*]}"
printf '%-40s wall %6.2f s   (%s)\n' "velarix-dask, local cluster, 2 workers" "$d" "${dask[*]}"
awk -v s="$s" -v d="$d" 'BEGIN { printf "speed-up %.2f, scaling efficiency on 2 workers %.0f %%\n", s / d, 100 * s / (2 * d) }'
