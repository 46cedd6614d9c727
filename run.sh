#!/usr/bin/env bash
# Installs what is missing, builds, and shows what was built.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
echo "Built:"
find build -maxdepth 1 -name '*.a' -o -maxdepth 3 -name 'lib*.a' | sort | sed 's/^/  /'
