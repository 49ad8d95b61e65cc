#!/usr/bin/env bash
# Configures and builds a build tree with a short log: CMake's per-file progress lines and
# make's "Entering directory" lines are left out, while warnings and errors show in full as they
# come. The whole log stays in BUILD/build.log.
#   build.sh BUILD JOBS [CMAKE_OPTION...]
set -euo pipefail
build=${1:?build folder}
jobs=${2:?jobs}
shift 2

mkdir -p "$build"
if ! cmake -S . -B "$build" "$@" >"$build/configure.log"; then
    cat "$build/configure.log" >&2
    echo "build: configuring $build failed" >&2
    exit 1
fi

noise='^\[ *[0-9]+%\] |^\[[0-9]+/[0-9]+\] |^g?make(\[[0-9]+\])?: (Entering|Leaving) directory |^Consolidate compiler generated dependencies of target |^Scanning dependencies of target |^-- |^ninja: no work to do'
set +e +o pipefail
cmake --build "$build" -j "$jobs" 2>&1 | tee "$build/build.log" | grep -v -E "$noise"
status=${PIPESTATUS[0]}
set -e -o pipefail
if [ "$status" -ne 0 ]; then
    echo "build: failed (the whole log: $build/build.log)" >&2
    exit "$status"
fi
echo "build: $build is up to date"
