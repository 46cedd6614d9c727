#!/usr/bin/env bash
# The signal path before and after a change: two builds of bench_dsp run as pairs, each pair on
# one pinned processor (the next of the rotation each round, the order alternating), and per
# benchmark the median of the pair ratios (after / before) with its spread. Single runs depend on
# which virtual processor they land on, so only the pairs are compared. The last lines give the
# after-build's own ratios the goals speak of: Oversample On to Off, silence to loud.
#   bench/dsp/pairs.sh BEFORE AFTER                  7 rounds, every benchmark
#   KV_PAIRS=11 KV_FILTER='BM_Defaults' bench/dsp/pairs.sh /tmp/old/bench/bench_dsp build/bench/bench_dsp
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: bench/dsp/pairs.sh BEFORE_BENCH_DSP AFTER_BENCH_DSP" >&2; exit 2; }
BEFORE=$1
AFTER=$2
PAIRS=${KV_PAIRS:-7}
FILTER=${KV_FILTER:-.}
for b in "$BEFORE" "$AFTER"; do [ -x "$b" ] || { echo "pairs: no program $b" >&2; exit 2; }; done

mapfile -t cpus < <(taskset -cp $$ | sed 's/.*: //' | tr ',' '\n' |
  awk -F- '{ last = NF > 1 ? $2 : $1; for (c = $1; c <= last; ++c) print c }')

run() {  # <program> <cpu> : "name ns-per-frame" lines
  taskset -c "$2" "$1" --benchmark_filter="$FILTER" --benchmark_min_time=0.3 2>/dev/null |
    sed -n -E 's/^(BM_[^ ]+) .*frame=([0-9.]+)ns.*/\1 \2/p'
}

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for ((round = 0; round < PAIRS; ++round)); do
  cpu=${cpus[round % ${#cpus[@]}]}
  if ((round % 2 == 0)); then
    b=$(run "$BEFORE" "$cpu")
    a=$(run "$AFTER" "$cpu")
  else
    a=$(run "$AFTER" "$cpu")
    b=$(run "$BEFORE" "$cpu")
  fi
  join <(sort <<< "$b") <(sort <<< "$a") | awk -v r="$round" '{ print r, $1, $2, $3 }' >> "$rows"
done

echo "ns per stereo frame, ${PAIRS} pairs on processors ${cpus[*]} (median before, median after, median ratio and spread):"
awk '
  function median(list,   n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { before[$2] = before[$2] " " $3; after[$2] = after[$2] " " $4; ratio[$2] = ratio[$2] " " $4 / $3
    if (!($2 in lo) || $4 / $3 < lo[$2]) lo[$2] = $4 / $3
    if (!($2 in hi) || $4 / $3 > hi[$2]) hi[$2] = $4 / $3
    if (!($2 in seen)) { seen[$2] = 1; order[++n] = $2 } }
  END {
    for (i = 1; i <= n; ++i) {
      k = order[i]; med[k] = median(after[k])
      printf "  %-36s %9.2f %9.2f   %.3f (%.3f to %.3f)\n", k, median(before[k]), med[k], median(ratio[k]), lo[k], hi[k]
    }
    if (("BM_Defaults" in med) && ("BM_DefaultsOversampled" in med))
      printf "after: Oversample On / Off at defaults %.2f\n", med["BM_DefaultsOversampled"] / med["BM_Defaults"]
    if (("BM_Defaults" in med) && ("BM_DefaultsSilence" in med))
      printf "after: silence / loud at defaults %.2f\n", med["BM_DefaultsSilence"] / med["BM_Defaults"]
  }' "$rows"
