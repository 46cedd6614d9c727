#!/usr/bin/env bash
# The scaled blit's bilinear 2x enlargement against pixman's, as pairs of runs on one pinned
# processor: copy against SRC and copy by source alpha against OVER. Prints each pair's CPU times
# and ratio, then the median ratio. Other work on the machine disturbs single runs, so the goal
# (no more than 1.5 times pixman) is judged on the median of the pair ratios.
#   bench/pix/scaled_pairs.sh [build dir]      7 pairs on processor 2
#   KV_PAIRS=11 KV_CPU=5 bench/pix/scaled_pairs.sh /tmp/build
set -euo pipefail
BUILD=${1:-build}
PAIRS=${KV_PAIRS:-7}
CPU=${KV_CPU:-2}
BENCH="$BUILD/bench/pix_scaled_bench"
[ -x "$BENCH" ] || { echo "no $BENCH: build the pix_scaled_bench target" >&2; exit 1; }

cpu_us() {  # <benchmark name> : CPU microseconds per call
  taskset -c "$CPU" "$BENCH" --benchmark_filter="^$1\$" --benchmark_min_time=0.5 --benchmark_format=csv 2>/dev/null |
    awk -F, -v n="\"$1\"" '$1 == n { print $4 }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

compare() {  # <label> <ours> <pixman>
  local ratios=()
  echo "$1, ${PAIRS} pairs on processor ${CPU} (us per call):"
  for i in $(seq 1 "$PAIRS"); do
    local ours peer
    ours=$(cpu_us "$2")
    peer=$(cpu_us "$3")
    ratios+=("$(awk -v a="$ours" -v b="$peer" 'BEGIN { printf "%.3f", a / b }')")
    printf '  pair %d: ours %s, pixman %s, ratio %s\n' "$i" "$ours" "$peer" "${ratios[-1]}"
  done
  printf '  median ratio %s\n' "$(printf '%s\n' "${ratios[@]}" | median)"
}

compare "copy against SRC" "BM_Scaled2x/mode:256/vector:1" "BM_Pixman2x/op:1"
compare "copy by source alpha against OVER" "BM_Scaled2x/mode:65792/vector:1" "BM_Pixman2x/op:3"
