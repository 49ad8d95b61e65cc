#!/usr/bin/env bash
# Runs every test suite offscreen and loopback-only. With KT480_ISOLATE=1 (CI) the suites run
# in a network namespace of their own where only loopback is up, so any attempt to reach
# another address fails loudly instead of leaving the machine.
#   run-tests.sh [BUILD [JOBS [CTEST_OPTION...]]]
set -euo pipefail
build="${1:-build}"
jobs="${2:-2}"
shift $(($# < 2 ? $# : 2))
export KT480_LOOPBACK_ONLY=1 QT_QPA_PLATFORM=offscreen
run=(ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300 "$@")

if [ "${KT480_ISOLATE:-0}" = 1 ]; then
    if unshare -n true 2>/dev/null && command -v ip >/dev/null; then
        echo "tests: in a network namespace with loopback only"
        exec unshare -n bash -c 'ip link set lo up && exec "$@"' isolated "${run[@]}"
    fi
    echo "tests: notice: no network namespace here (unshare -n refused); running loopback-only"
fi
exec "${run[@]}"
