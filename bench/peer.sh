#!/usr/bin/env bash
# CPU cost of the Kestrovane VST bundle against a peer compressor from Debian's packages, both at
# their defaults, both run by kv-vsthost on the built-in signal with the same block size, several
# times alternately. Prints each run's CPU time per second of audio, the medians and the minima
# with their ratios. Other work on the machine only ever adds time, so the goal is judged on the
# minima; the medians show the spread.
#   bench/peer.sh                 5 runs of each, 512-frame blocks
#   KV_PEER_RUNS=9 KV_PEER_BLOCK=128 bench/peer.sh
# The peer (lsp-plugins-vst) is installed here when missing; nothing else of the tree needs it.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${KV_PEER_RUNS:-5}
BLOCK=${KV_PEER_BLOCK:-512}
REPEAT=${KV_PEER_REPEAT:-8}
PEER=${KV_PEER:-/usr/lib/vst/lsp-plugins/compressor-stereo.so}
OURS=build/bundles/KestrovaneVST.vst/Contents/x86_64-linux/KestrovaneVST.so
HOST=build/tools/kv-vsthost/kv-vsthost

if [ ! -f "$PEER" ]; then
  echo "peer: installing lsp-plugins-vst for $PEER"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends lsp-plugins-vst
fi
if [ ! -x "$HOST" ] || [ ! -f "$OURS" ]; then scripts/setup.sh; fi

cpu_of() {  # <plug-in> : CPU milliseconds per second of audio
  "$HOST" "$1" -q -b "$BLOCK" --repeat "$REPEAT" | sed -n -E 's/^CPU: ([0-9.]+) ms per second.*/\1/p'
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minimum() { sort -g | head -n 1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "CPU per second of audio, ${BLOCK}-frame blocks, built-in signal x${REPEAT}, ${RUNS} runs each (ms):"
ours_runs=()
peer_runs=()
for i in $(seq 1 "$RUNS"); do
  ours_runs+=("$(cpu_of "$OURS")")
  peer_runs+=("$(cpu_of "$PEER")")
  printf '  run %d: Kestrovane %s, peer %s\n' "$i" "${ours_runs[-1]}" "${peer_runs[-1]}"
done
ours_med=$(printf '%s\n' "${ours_runs[@]}" | median)
peer_med=$(printf '%s\n' "${peer_runs[@]}" | median)
ours_min=$(printf '%s\n' "${ours_runs[@]}" | minimum)
peer_min=$(printf '%s\n' "${peer_runs[@]}" | minimum)
printf 'median:  Kestrovane %s ms, peer (%s) %s ms, ratio %s\n' "$ours_med" "$(basename "$PEER")" "$peer_med" "$(ratio "$ours_med" "$peer_med")"
printf 'minimum: Kestrovane %s ms, peer (%s) %s ms, ratio %s\n' "$ours_min" "$(basename "$PEER")" "$peer_min" "$(ratio "$ours_min" "$peer_min")"
awk -v a="$ours_min" -v b="$peer_min" 'BEGIN { if (a <= b) print "goal met: no more than the peer"; else print "goal missed: above the peer" }'
