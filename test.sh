#!/usr/bin/env bash
# Builds and runs every test: the Release build, then an AddressSanitizer + UndefinedBehaviorSanitizer
# build (Clang), then the concurrency tests under ThreadSanitizer, then each fuzz target for a
# bounded time. Ends with one line "N passed, N failed, N skipped"; exits non-zero on any failure.
# A test skips only for what no package gives (a processor feature): one that needs something
# scripts/setup.sh installs fails when it is missing.
set -uo pipefail
cd "$(dirname "$0")"

JOBS=$(nproc)
FUZZ_SECONDS=${KV_FUZZ_SECONDS:-20}
passed=0
failed=0
skipped=0

count_ctest() {  # <build dir> <log> : adds the ctest summary to the totals
  local line total fails skips
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$2" | tail -n 1)
  if [ -z "$line" ]; then
    if grep -q 'No tests were found' "$2"; then return 0; fi
    echo "test.sh: no test summary from $1"
    failed=$((failed + 1))
    return 0
  fi
  total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
  fails=$(echo "$line" | sed -E 's/.*, ([0-9]+) tests? failed.*/\1/')
  # ctest counts a skipped test (GTEST_SKIP) as passed and lists it as "  N - name (Skipped)".
  skips=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$2")
  passed=$((passed + total - fails - skips))
  failed=$((failed + fails))
  skipped=$((skipped + skips))
}

run_suite() {  # <name> <build dir> [ctest args...]
  local name=$1 dir=$2
  shift 2
  local log
  log=$(mktemp)
  echo "== $name: ctest in $dir"
  ctest --test-dir "$dir" -j "$JOBS" --output-on-failure --timeout 600 "$@" >"$log" 2>&1
  grep -E 'tests passed|\*\*\*|Not Run|Timeout' "$log" | tail -n 40
  count_ctest "$dir" "$log"
  rm -f "$log"
}

build_variant() {  # <name> <build dir> <cmake args...>
  local name=$1 dir=$2
  shift 2
  echo "== $name: building in $dir"
  if [ ! -f "$dir/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja "$@" >/dev/null || return 1
  fi
  cmake --build "$dir" -j "$JOBS" >"$dir.log" 2>&1 || { tail -n 60 "$dir.log"; return 1; }
}

# 1. Release (GCC, warnings are errors).
if scripts/setup.sh; then
  run_suite "release" build
else
  echo "test.sh: the Release build failed"
  failed=$((failed + 1))
fi

# 2. AddressSanitizer + UndefinedBehaviorSanitizer, with the fuzz targets.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
if build_variant "asan+ubsan" build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_SANITIZE=address,undefined; then
  run_suite "asan+ubsan" build-asan
else
  echo "test.sh: the sanitizer build failed"
  failed=$((failed + 1))
fi

# 3. ThreadSanitizer: the concurrency tests.
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
if build_variant "tsan" build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_SANITIZE=thread; then
  run_suite "tsan" build-tsan -L concurrency
else
  echo "test.sh: the ThreadSanitizer build failed"
  failed=$((failed + 1))
fi

# 4. Fuzz targets, each for a bounded time from a copy of its seed corpus (tests/fuzz_corpus/<name>/,
# written by tests/fuzz_corpus/make_seeds.py), or from an empty one.
if [ -d build-asan/fuzz ]; then
  for fuzzer in build-asan/fuzz/*; do
    [ -x "$fuzzer" ] || continue
    corpus=$(mktemp -d)
    seeds="tests/fuzz_corpus/$(basename "$fuzzer")"
    if [ -d "$seeds" ]; then cp -R "$seeds"/. "$corpus"/; fi
    echo "== fuzz: $(basename "$fuzzer") for ${FUZZ_SECONDS}s"
    if "$fuzzer" -max_total_time="$FUZZ_SECONDS" -rss_limit_mb=2048 -print_final_stats=0 "$corpus" >"$corpus.log" 2>&1; then
      passed=$((passed + 1))
    else
      tail -n 40 "$corpus.log"
      failed=$((failed + 1))
    fi
    rm -rf "$corpus" "$corpus.log"
  done
fi

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
