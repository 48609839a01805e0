#!/usr/bin/env bash
# Heap peak of one station-day against its plain observation file, under valgrind's massif
# (every byte the program asks of malloc and new, at the moment their sum is largest; the
# allocator's own bookkeeping included): `velarix-tools tec ... --calibrated` and the whole
# `velarix ... --images none` run in a scratch copy of the day's folder, on the sample day
# (BJFS 2020-001, RINEX 2, 30 s) and on the larger days of the shared data (BELE 2024-010,
# RINEX 2, 15 s, 17 observables; ESBC 2020-177, RINEX 3 with four systems), whose files are
# expanded by the program as in any run. Days whose files are absent are skipped.
#
#   bench/day_memory.sh BUILD_DIR [SHARED_DATA_DIR]
set -euo pipefail

build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
data=${2:-$source_dir/../shared/data}
work="$build/bench-day-memory"
command -v valgrind >/dev/null || { echo "day_memory: valgrind (Debian package 'valgrind') not found, nothing measured"; exit 0; }
[ -x "$build/apps/velarix" ] || { echo "day_memory: $build/apps/velarix not built" >&2; exit 2; }
rm -rf "$work"
mkdir -p "$work"

# peak MASSIF_FILE: the largest heap sum of the run, in bytes.
peak() {
  awk -F= '/^mem_heap_B=/ { heap = $2 } /^mem_heap_extra_B=/ { if (heap + $2 > best) best = heap + $2 } END { print best }' "$1"
}

# report LABEL MASSIF_FILE PLAIN_BYTES
report() {
  local bytes
  bytes=$(peak "$2")
  awk -v l="$1" -v b="$bytes" -v p="$3" 'BEGIN { printf "%-44s %6.2f MB heap peak, plain file %6.2f MB: %.2f x\n", l, b / 1e6, p / 1e6, b / p }'
}

# day LABEL SOURCE_DIR OBSERVATION PLAIN_BYTES FILES...: the program on a copy of the day's files.
day() {
  local label=$1 source=$2 observation=$3 plain=$4
  shift 4
  local dir="$work/${label%% *}"
  for file in "$@"; do [ -f "$source/$file" ] || { echo "$label: $source/$file absent, skipped"; return; }; done
  mkdir -p "$dir"
  for file in "$@"; do cp "$source/$file" "$dir/"; done
  (cd "$dir" && valgrind --tool=massif --massif-out-file="$dir.massif" "$build/apps/velarix" --settings none.ini \
    --no-download --scope day --products cmn,std,bias,dat --images none "$observation" auto </dev/null >/dev/null 2>&1) ||
    { echo "day_memory: $label: velarix failed (see $dir/Log_file.txt)" >&2; exit 1; }
  report "velarix, $label" "$dir.massif" "$plain"
}

echo "== heap peak of a day (valgrind --tool=massif)"
examples="$source_dir/examples"
bjfs=$(stat -c %s "$examples/bjfs0010.20o")
mkdir -p "$work/tool"
cp "$examples/bjfs0010.20o" "$examples/brdc0010.20n" "$examples/"*.DCB.Z "$work/tool/"
(cd "$work/tool" && valgrind --tool=massif --massif-out-file="$work/tool.massif" "$build/apps/velarix-tools" tec \
  bjfs0010.20o brdc0010.20n P1P22001_ALL.DCB.Z P1C12001.DCB.Z --calibrated >/dev/null 2>&1)
report "velarix-tools tec --calibrated, BJFS 2020-001" "$work/tool.massif" "$bjfs"
day "BJFS 2020-001 (RINEX 2)" "$examples" bjfs0010.20o "$bjfs" bjfs0010.20o brdc0010.20n P1P22001_ALL.DCB.Z P1C12001.DCB.Z
# Plain sizes of the larger days' observation files (their gzip and Compact RINEX forms are
# expanded by the run itself).
day "BELE 2024-010 (RINEX 2)" "$data/set6_bele_dgar_2024_010" bele0100.24d.gz 49530336 \
  bele0100.24d.gz brdc0100.24n.gz CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz
day "ESBC 2020-177 (RINEX 3)" "$data/set7_esbc_2020_177" ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz 34592401 \
  ESBC00DNK_R_20201770000_01D_30S_MO.crx.gz ESBC00DNK_R_20201770000_01D_MN.rnx.gz P1C12006.DCB P1P22006.DCB
day "DGAR 2024-010 (RINEX 2)" "$data/set6_bele_dgar_2024_010" dgar0100.24o.gz 10481645 \
  dgar0100.24o.gz brdc0100.24n.gz CAS0OPSRAP_20240100000_01D_01D_DCB.BIA.gz
