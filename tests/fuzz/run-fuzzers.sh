#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer + ASan + UBSan) and runs each for a
# bounded time, starting from the committed seed corpus.
#
#   run-fuzzers.sh <build-dir> <seconds-per-target> [target ...]
#
# Targets default to all of them (tn_string ini_path drive_list settings_file).
# Seconds 0 only configures and builds. QUINDLE_FUZZ_BUILD=0 skips the build and runs
# what <build-dir> holds. CXX picks the compiler (default clang++-14, else clang++).
# Inputs found along the way go to <build-dir>/work/<target>, never into the seed
# corpus. Exits non-zero when any target crashes, leaks, hangs or breaks a property,
# printing the saved reproducer; replay it with <build-dir>/fuzz_<target> <file>.
set -u

if [ $# -lt 2 ]; then
  echo "usage: $0 <build-dir> <seconds-per-target> [target ...]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(mkdir -p "$1" && cd "$1" && pwd)
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(tn_string ini_path drive_list settings_file)

if [ "${QUINDLE_FUZZ_BUILD:-1}" != 0 ]; then
  cxx=${CXX:-}
  if [ -z "$cxx" ]; then
    cxx=$(command -v clang++-14 || command -v clang++ || true)
  fi
  if [ -z "$cxx" ]; then
    echo "run-fuzzers: no clang++ found (set CXX)" >&2
    exit 2
  fi
  generator=()
  command -v ninja >/dev/null && [ ! -f "$build/Makefile" ] && generator=(-G Ninja)
  cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER="$cxx" >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; echo "run-fuzzers: configure failed" >&2; exit 2; }
  cmake --build "$build" >"$build/build.log" 2>&1 ||
    { cat "$build/build.log" >&2; echo "run-fuzzers: build failed" >&2; exit 2; }
fi
[ "$seconds" -gt 0 ] 2>/dev/null || exit 0

# The settings-file targets touch a file many times per execution: a memory file
# system helps. A smaller quarantine keeps the fresh-page faults down.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
# A folder of this run's own, so that a target that dies leaves nothing behind.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quindle-fuzz-run.XXXXXX") || exit 2
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
for target in "${targets[@]}"; do
  binary="$build/fuzz_$target"
  seeds="$here/corpus/$target"
  work="$build/work/$target"
  artifacts="$build/artifacts/$target"
  log="$build/fuzz_$target.log"
  if [ ! -x "$binary" ] || [ ! -d "$seeds" ]; then
    echo "run-fuzzers: unknown target $target" >&2
    failed=1
    continue
  fi
  mkdir -p "$work" "$artifacts"
  rm -f "$artifacts"/*
  # The first corpus folder receives new inputs; the seeds are only read.
  timeout --kill-after=10 $((seconds + 60)) "$binary" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$seeds" >"$log" 2>&1
  status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  if [ $status -eq 0 ]; then
    echo "fuzz_$target: ok, ${execs:-?} executions in ${took:-?} s, ${coverage:-cov: ?}"
    continue
  fi
  failed=1
  [ $status -eq 124 ] || [ $status -eq 137 ] && echo "fuzz_$target: did not stop in time (status $status)"
  echo "fuzz_$target: FAILED (status $status), log $log"
  grep -E 'property broken|ERROR: |SUMMARY: |runtime error|stand-in: unexpected' "$log" | head -n 5
  for reproducer in "$artifacts"/*; do
    [ -e "$reproducer" ] && echo "  reproducer: $reproducer (replay: $binary $reproducer)"
  done
done
exit $failed
