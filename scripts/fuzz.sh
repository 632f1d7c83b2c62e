#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a
# bounded time on its seed corpus in tests/fuzz/corpus/<target>/.
#   scripts/fuzz.sh [seconds per target] [target...]
# New inputs found go to build-fuzz/corpus/<target>/ (the seeds stay untouched);
# a crash leaves its input in build-fuzz/artifacts/ and fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_codec fuzz_numbers fuzz_receive fuzz_paramrows fuzz_propertybag fuzz_assembler fuzz_paramsetfile)
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build-fuzz -DKV_FUZZ=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$jobs" --target "${targets[@]}"

mkdir -p build-fuzz/artifacts
status=0
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  echo "== $t for ${seconds}s"
  if ! QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
       UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
       "build-fuzz/tests/fuzz/$t" -max_total_time="$seconds" -max_len=4096 -print_final_stats=0 \
       -artifact_prefix="build-fuzz/artifacts/$t-" "build-fuzz/corpus/$t" "tests/fuzz/corpus/$t" \
       > "build-fuzz/$t.log" 2>&1; then
    echo "$t FAILED; see build-fuzz/$t.log and build-fuzz/artifacts/"
    tail -40 "build-fuzz/$t.log"
    status=1
  else
    grep -E '^#[0-9]+.*DONE' "build-fuzz/$t.log" | tail -1 || tail -2 "build-fuzz/$t.log"
  fi
done
exit $status
