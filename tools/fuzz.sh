#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (ASan + UBSan) in build-fuzz/ and runs
# each for a bounded time from its committed corpus. A crash leaves its input in
# build-fuzz/artifacts/ and makes the script fail; keep the input under
# tests/fuzz/regressions/<target>/ once the fault is fixed.
#   tools/fuzz.sh [seconds per target]      (default 45)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-${QUELM_FUZZ_SECONDS:-45}}
build=build-fuzz
targets=(url_composer desktop_entry settings_ini engines_file opensearch_document)

cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build" -j2

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Qt's own start-up allocations are not ours to chase.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tools/lsan.supp:print_suppressions=0}

failed=()
for target in "${targets[@]}"; do
    work=$build/corpus/$target
    artifacts=$build/artifacts
    mkdir -p "$work" "$artifacts"
    inputs=("tests/fuzz/corpus/$target")
    [ -d "tests/fuzz/regressions/$target" ] && inputs+=("tests/fuzz/regressions/$target")
    echo "== fuzz_$target for ${seconds}s"
    # New inputs go to the scratch corpus; the committed one is only read.
    if ! "$build/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
            "$work" "${inputs[@]}" 2>"$build/$target.log"; then
        tail -n 60 "$build/$target.log" >&2
        failed+=("$target")
    else
        grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|^#[0-9]+.*DONE' "$build/$target.log" || true
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]} (inputs in $build/artifacts/)" >&2
    exit 1
fi
echo "fuzzing: no faults in ${targets[*]}"
