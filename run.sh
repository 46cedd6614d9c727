#!/usr/bin/env bash
# Installs what is missing, builds what the demo needs (the VST bundle with its images and the
# command-line host; ./test.sh builds the rest), then runs the VST plug-in on the built-in signal
# with that host, writing out/kestrovane-demo.wav, and prints what it did.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh KestrovaneVST kv-vsthost
echo "Built:"
find build/bundles -name '*.so' | sort | sed 's/^/  /'

VST=build/bundles/KestrovaneVST.vst/Contents/x86_64-linux/KestrovaneVST.so
if [ ! -f "$VST" ]; then
  echo "run.sh: $VST was not built (the product sources are missing)" >&2
  exit 1
fi
mkdir -p out
echo
echo "kv-vsthost: KestrovaneVST on the built-in signal, factory program \"2Buss - General\":"
build/tools/kv-vsthost/kv-vsthost "$VST" --program "2Buss - General" -o out/kestrovane-demo.wav
