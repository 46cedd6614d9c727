#!/usr/bin/env bash
# Installs the Debian packages the tree needs (only those missing), then configures and builds the
# Release build in build/. Quick when everything is already there.
#   scripts/setup.sh          packages and the Release build
#   scripts/setup.sh --deps   packages only
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev fonts-dejavu-core
  libsndfile1-dev libpixman-1-dev
  libcairo2-dev libfontconfig-dev fonts-liberation2
  libxcb1-dev libxcb-shm0-dev libxcb-xtest0-dev xvfb
  liblilv-dev lv2-examples
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ! command -v python3 >/dev/null 2>&1; then missing+=(python3); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = "--deps" ]; then exit 0; fi

if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$(nproc)"
