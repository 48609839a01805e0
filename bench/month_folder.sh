# Sourced by the end-to-end benchmarks: the sample station-day, a month folder made of it,
# and the median of a column of numbers.

# month_folder SOURCE_DIR DAY_DIR MONTH_DIR: copies the sample day (BJFS 2020-001, its
# navigation and DCB files) from SOURCE_DIR/examples into DAY_DIR, and links it into
# MONTH_DIR under 30 successive dates, each with its navigation file.
month_folder() {
  local source_dir=$1 day_dir=$2 month_dir=$3 day ddd
  mkdir -p "$day_dir" "$month_dir"
  cp "$source_dir"/examples/bjfs0010.20o "$source_dir"/examples/brdc0010.20n "$source_dir"/examples/*.DCB.Z "$day_dir/"
  for day in $(seq 1 30); do
    ddd=$(printf %03d "$day")
    ln "$day_dir/bjfs0010.20o" "$month_dir/bjfs${ddd}0.20o"
    ln "$day_dir/brdc0010.20n" "$month_dir/brdc${ddd}0.20n"
  done
  ln "$day_dir"/*.DCB.Z "$month_dir/"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
