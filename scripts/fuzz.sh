#!/usr/bin/env bash
# Builds the libFuzzer programs with clang, address and undefined-behaviour sanitizers, in a
# build tree of their own, and runs each target for a while from its corpus. New inputs go
# to BUILD/corpus/TARGET; an input that breaks a rule is kept as BUILD/findings/TARGET-*.
# Usage: scripts/fuzz.sh [BUILD_DIR] [SECONDS] [JOBS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-fuzz}"
seconds="${2:-60}"
jobs="${3:-2}"
shift $(($# < 3 ? $# : 3))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(reply_frame reader_frame request_frame data_packet csv_file line_settings
             event_reply card_reply)
fi

scripts/bootstrap.sh fuzz
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
flags+=" -fno-omit-frame-pointer"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKT480_FUZZ=ON -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" -j "$jobs" --target fuzzers

export KT480_LOOPBACK_ONLY=1 QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
mkdir -p "$build/findings"
summary=()
failed=0
for target in "${targets[@]}"; do
    case "$target" in
    data_packet | csv_file) max_len=16384 ;;
    *) max_len=4096 ;;
    esac
    work="$build/corpus/$target"
    mkdir -p "$work"
    log="$build/findings/$target.log"
    echo "fuzz: $target for $seconds s"
    status=0
    "$build/bin/fuzz_$target" -max_total_time="$seconds" -max_len="$max_len" \
        -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
        "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    corpus=$(find "$work" -type f | wc -l)
    if [ "$status" -eq 0 ]; then
        result="nothing found"
    else
        result="FOUND: $(ls -t "$build/findings/$target"-* 2>/dev/null | grep -v '\.log$' | head -1)"
        failed=1
        tail -40 "$log"
    fi
    summary+=("$(printf '%-14s %4s s %10s runs %6s edges %6s inputs  %s' \
        "$target" "$seconds" "${runs:-?}" "${cov:-?}" "$corpus" "$result")")
done
echo
echo "target          time       executions  coverage  corpus   result"
printf '%s\n' "${summary[@]}"
exit "$failed"
