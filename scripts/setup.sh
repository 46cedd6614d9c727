#!/usr/bin/env bash
# Installs the Debian packages the tree needs (only those missing), then configures and builds the
# Release build in build/. Quick when everything is already there.
#   scripts/setup.sh               packages and the whole Release build
#   scripts/setup.sh TARGET...     packages and only these targets of the Release build
#   scripts/setup.sh --deps        packages only
# Installing needs root or sudo: without either, and with packages missing, it says which and stops
# before installing or building anything.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev
  libsndfile1-dev libpixman-1-dev
  libcairo2-dev libfontconfig-dev
  # DejaVu's six basic faces; the Condensed, Oblique and Math TeX Gyre faces the artwork and the
  # text tests ask for; Liberation, what "Arial", "Times New Roman" and "Courier New" resolve to.
  fonts-dejavu-core fonts-dejavu-extra fonts-liberation2
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
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup: these Debian packages are missing: ${missing[*]}" >&2
      echo "setup: installing them needs apt-get as root, and this user is not root and has no sudo." >&2
      echo "setup: run this command again as root, or install them as root first:" >&2
      echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
      exit 1
    fi
    SUDO="sudo"
  fi
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ "${1:-}" = "--deps" ]; then exit 0; fi

if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build build -j "$(nproc)" "${targets[@]}"
