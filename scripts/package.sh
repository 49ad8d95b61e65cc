#!/usr/bin/env bash
# Builds the Debian package in a build tree of its own: the programs without the test suites
# and benchmarks, compiled with Debian's hardening flags from dpkg-buildflags, packed by cpack
# and copied to OUT; lintian checks it where it is installed (scripts/bootstrap.sh package),
# and an error or a warning of it fails the run.
#   package.sh BUILD OUT JOBS
set -euo pipefail
build=${1:?package build folder}
out=${2:?folder for the .deb}
jobs=${3:?jobs}

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
scripts/build.sh "$build" "$jobs" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKT480_BUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)"

rm -rf "$build/deb"
if ! (cd "$build" && cpack -G DEB -B deb) >"$build/cpack.log" 2>&1; then
    cat "$build/cpack.log" >&2
    echo "package: cpack failed" >&2
    exit 1
fi
mkdir -p "$out"
deb=$(ls "$build"/deb/*.deb)
cp "$deb" "$out/"
deb="$out/$(basename "$deb")"
echo "package: $deb"

if ! command -v lintian >/dev/null; then
    echo "package: lintian is not installed (scripts/bootstrap.sh package); not checked"
    exit 0
fi
status=0
lintian --fail-on error,warning "$deb" >"$build/lintian.log" 2>&1 || status=$?
# Its notice that it runs as root (as CI does) is not about the package.
grep -v '^running with root privileges is not recommended!$' "$build/lintian.log" || true
if [ "$status" -ne 0 ]; then
    echo "package: lintian found errors or warnings in $deb" >&2
    exit 1
fi
echo "package: lintian finds no error or warning"
