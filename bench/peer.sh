#!/usr/bin/env bash
# CPU cost of the Kestrovane VST bundle against peer compressors from Debian's packages, measured
# in pairs. Each round runs ours and the peer back to back on one CPU (taskset), the next CPU of the
# rotation each round, in alternating order (ours first on even rounds), both on the built-in
# signal with the same block size, and takes the ratio ours / peer. Per peer it prints every round,
# then the median ratio with its spread (min and max) and the medians of both figures. It judges
# nothing: the figures are for reading.
#
#   bench/peer.sh                               the three peers, 5 rounds each, 512-frame blocks
#   KV_PEER_RUNS=9 KV_PEER_BLOCK=128 bench/peer.sh
#   KV_PEER=darc KV_PEER_ARGS="-p threshold=-20" bench/peer.sh
#   KV_PEER_OURS_ARGS="-p Oversample=On" bench/peer.sh
#   KV_PEER=self KV_PEER_OURS_ARGS="-p Oversample=On" bench/peer.sh      ours against ours
#
#   KV_PEER          comma-separated peers (default lsp,zam,darc), or self; an entry may also be
#                    the path of a VST module or the URI of an LV2 plug-in
#                      lsp   LSP stereo compressor, VST (lsp-plugins-vst), through kv-vsthost
#                      zam   ZamCompX2, its VST build (zam-plugins), through kv-vsthost
#                      darc  x42 darc stereo, LV2 (x42-plugins), through kv-lv2host
#                      self  ours again, with KV_PEER_ARGS instead of KV_PEER_OURS_ARGS
#   KV_PEER_RUNS     rounds per peer (default 5)
#   KV_PEER_BLOCK    frames per process call (default 512)
#   KV_PEER_REPEAT   passes over the 8-second signal per run (default 8)
#   KV_PEER_OURS_ARGS, KV_PEER_ARGS   extra host options for ours and for the peer (shell quoting
#                    is honoured: "-p 'Topology=Feedback'")
#   KV_PEER_BUILD    the build folder (default build; scripts/setup.sh makes it when missing)
# Missing peer packages are installed here; nothing else of the tree needs them.
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${KV_PEER_RUNS:-5}
BLOCK=${KV_PEER_BLOCK:-512}
REPEAT=${KV_PEER_REPEAT:-8}
PEERS=${KV_PEER:-lsp,zam,darc}
BUILD=${KV_PEER_BUILD:-build}
eval "OURS_ARGS=(${KV_PEER_OURS_ARGS:-})"
eval "PEER_ARGS=(${KV_PEER_ARGS:-})"

OURS=$BUILD/bundles/KestrovaneVST.vst/Contents/x86_64-linux/KestrovaneVST.so
VSTHOST=$BUILD/tools/kv-vsthost/kv-vsthost
LV2HOST=$BUILD/tools/kv-lv2host/kv-lv2host

# peer name -> "host|plug-in|package"
peer_spec() {
  case "$1" in
    lsp) echo "vst|/usr/lib/vst/lsp-plugins/compressor-stereo.so|lsp-plugins-vst" ;;
    zam) echo "vst|/usr/lib/vst/ZamCompX2-vst.so|zam-plugins" ;;
    darc) echo "lv2|http://gareus.org/oss/lv2/darc#stereo|x42-plugins" ;;
    self) echo "vst|$OURS|" ;;
    *.so) echo "vst|$1|" ;;
    *:*) echo "lv2|$1|" ;;
    *) echo "peer: unknown peer $1 (lsp, zam, darc, self, a VST module or an LV2 URI)" >&2; exit 2 ;;
  esac
}

# Whether a peer's plug-in is on the machine: a module file, or a URI that kv-lv2host lists.
installed() {  # <host> <plug-in>
  if [ "$1" = vst ]; then [ -f "$2" ]; else "$LV2HOST" --list | grep -F -- "$2  " >/dev/null; fi
}

IFS=, read -r -a peer_names <<< "$PEERS"
for name in "${peer_names[@]}"; do peer_spec "$name" >/dev/null; done
if [ ! -x "$VSTHOST" ] || [ ! -f "$OURS" ] || [ ! -x "$LV2HOST" ]; then
  scripts/setup.sh --deps
  # Configuring again finds lilv when it has just been installed.
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD" -j "$(nproc)"
fi
[ -x "$LV2HOST" ] || { echo "peer: $LV2HOST is missing (is liblilv-dev installed?)" >&2; exit 2; }

missing=()
for name in "${peer_names[@]}"; do
  IFS='|' read -r host plug package <<< "$(peer_spec "$name")"
  if [ -n "$package" ] && ! installed "$host" "$plug"; then missing+=("$package"); fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "peer: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The CPUs this process may run on, one per line ("0-3,6" -> 0 1 2 3 6).
mapfile -t cpus < <(taskset -cp $$ | sed 's/.*: //' | tr ',' '\n' |
  awk -F- '{ last = NF > 1 ? $2 : $1; for (c = $1; c <= last; ++c) print c }')
next_cpu=0

cpu_of() {  # <cpu> <host> <plug-in> [options...] : CPU milliseconds per second of audio
  local cpu=$1 host=$2 plug=$3 tool out ms
  shift 3
  if [ "$host" = vst ]; then tool=$VSTHOST; else tool=$LV2HOST; fi
  out=$(taskset -c "$cpu" "$tool" "$plug" -q -b "$BLOCK" --repeat "$REPEAT" "$@" 2>&1) || {
    echo "peer: $tool $plug $* failed:" >&2
    echo "$out" >&2
    exit 1
  }
  ms=$(sed -n -E 's/^CPU: ([0-9.]+) ms per second.*/\1/p' <<< "$out")
  [ -n "$ms" ] || { echo "peer: no CPU line from $tool $plug:" >&2; echo "$out" >&2; exit 1; }
  echo "$ms"
}

median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.4f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

ours_label="Kestrovane${KV_PEER_OURS_ARGS:+ ($KV_PEER_OURS_ARGS)}"
echo "CPU per second of audio (ms), ${BLOCK}-frame blocks, built-in signal x${REPEAT}, ${RUNS} rounds per peer;"
echo "ours: $ours_label; CPUs in rotation: ${cpus[*]}"
summary=()
for name in "${peer_names[@]}"; do
  IFS='|' read -r host plug package <<< "$(peer_spec "$name")"
  label="$name ($plug${KV_PEER_ARGS:+, $KV_PEER_ARGS})"
  echo
  echo "$label:"
  ours_runs=()
  peer_runs=()
  ratios=()
  for ((round = 0; round < RUNS; ++round)); do
    cpu=${cpus[next_cpu % ${#cpus[@]}]}
    next_cpu=$((next_cpu + 1))
    if ((round % 2 == 0)); then
      o=$(cpu_of "$cpu" vst "$OURS" "${OURS_ARGS[@]}")
      p=$(cpu_of "$cpu" "$host" "$plug" "${PEER_ARGS[@]}")
      first=ours
    else
      p=$(cpu_of "$cpu" "$host" "$plug" "${PEER_ARGS[@]}")
      o=$(cpu_of "$cpu" vst "$OURS" "${OURS_ARGS[@]}")
      first=peer
    fi
    ours_runs+=("$o")
    peer_runs+=("$p")
    ratios+=("$(ratio "$o" "$p")")
    printf '  round %d  cpu %-3s ours %9s  peer %9s  ratio %s  (%s first)\n' \
      $((round + 1)) "$cpu" "$o" "$p" "${ratios[-1]}" "$first"
  done
  ours_med=$(printf '%s\n' "${ours_runs[@]}" | median)
  peer_med=$(printf '%s\n' "${peer_runs[@]}" | median)
  ratio_med=$(printf '%s\n' "${ratios[@]}" | median)
  ratio_min=$(printf '%s\n' "${ratios[@]}" | sort -g | head -n 1)
  ratio_max=$(printf '%s\n' "${ratios[@]}" | sort -g | tail -n 1)
  printf '  median ratio %.3f (min %s, max %s); median ours %s ms, peer %s ms\n' \
    "$ratio_med" "$ratio_min" "$ratio_max" "$ours_med" "$peer_med"
  summary+=("$(printf '  %-10s %9s %9s   %.3f  %s  %s' "$name" "$ours_med" "$peer_med" "$ratio_med" "$ratio_min" "$ratio_max")")
done

echo
echo "Medians (ms per second of audio) and the ratio ours / peer with its spread:"
echo "  peer            ours      peer   ratio  min    max"
printf '%s\n' "${summary[@]}"
