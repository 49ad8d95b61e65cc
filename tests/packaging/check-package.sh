#!/usr/bin/env bash
# The Debian package as a fresh machine gets it: built with cpack from the build tree, unpacked
# into a scratch root with dpkg -x, its files where the desktop and the shells look for them,
# its documentation as Debian policy asks, its dependencies declared, nothing that touches
# device permissions, and its programs running from the scratch root against each other on
# loopback. Where lintian is installed (scripts/bootstrap.sh package), it finds no error and no
# warning.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
source_dir=$(cd "${2:?source folder}" && pwd)
work=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package: $*" >&2
    exit 1
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB failed"
fi
deb=$(ls "$work"/out/kt480nt5_*.deb)
echo "package: $(basename "$deb")"

# Dependencies: the Qt 6 runtime found by dpkg-shlibdeps, the fonts of the report, Qt's
# translations (its buttons and dialogs in Chinese) and the event archive's SQLite driver.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 \
    libqt6printsupport6 libqt6sql6 libqt6sql6-sqlite fonts-noto-cjk qt6-translations-l10n; do
    grep -qx "$p" <<<"$depends" || fail "Depends lacks $p: $(dpkg-deb -f "$deb" Depends)"
done

# No maintainer scripts: nothing runs at install, no device is given to anyone.
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')
[ "$control" = "control md5sums " ] || fail "control files beyond control and md5sums: $control"

# A maintainer that mail reaches, not a local address.
maintainer=$(dpkg-deb -f "$deb" Maintainer)
[[ $maintainer =~ ^[^\<]+\ \<[^@\>]+@[^@\>]+\.[^@\>]+\>$ ]] || fail "Maintainer is not NAME <ADDRESS>: $maintainer"
[[ $maintainer != *@localhost* ]] || fail "Maintainer on localhost: $maintainer"

root="$work/root"
dpkg -x "$deb" "$root"
for f in usr/bin/kt480nt5 usr/bin/kt480ctl usr/bin/kt480sim \
    usr/share/applications/kt480nt5.desktop \
    usr/share/icons/hicolor/scalable/apps/kt480nt5.svg \
    usr/share/man/man1/kt480nt5.1.gz usr/share/man/man1/kt480ctl.1.gz \
    usr/share/man/man1/kt480sim.1.gz \
    usr/share/bash-completion/completions/kt480ctl \
    usr/share/zsh/vendor-completions/_kt480ctl; do
    [ -s "$root/$f" ] || fail "missing or empty: /$f"
done
outside=$(cd "$root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "files outside /usr: $outside"
[ ! -e "$root/usr/lib/udev" ] || fail "udev rules in the package"
special=$(find "$root" -perm /6000)
[ -z "$special" ] || fail "setuid or setgid files: $special"
# Manual pages compressed, as Debian keeps them.
for page in kt480nt5 kt480ctl kt480sim; do
    zcat "$root/usr/share/man/man1/$page.1.gz" >"$work/$page.1" ||
        fail "$page.1.gz is not gzip"
    grep -q "^\.TH \"$page\" \"1\"" "$work/$page.1" || fail "$page.1 is not a manual page"
    grep -qx '\.SH EXIT STATUS' "$work/$page.1" || fail "$page.1 has no EXIT STATUS"
    # The synopsis holds usage lines only, no indented text that belongs to an option.
    if sed -n '/^\.SH SYNOPSIS$/,/^\.SH /p' "$work/$page.1" | grep -q '^\.RS'; then
        fail "$page.1: SYNOPSIS holds an indented paragraph"
    fi
done
# The documentation folder: the copyright in the machine-readable format with the LICENSE's
# holder and text, the changelog of this version (a native package: changelog.gz), the README
# compressed; nothing there uncompressed but the copyright.
doc="$root/usr/share/doc/kt480nt5"
[ -f "$doc/copyright" ] || fail "no /usr/share/doc/kt480nt5/copyright"
head -n 1 "$doc/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "copyright is not in the machine-readable format: $(head -n 1 "$doc/copyright")"
holder=$(sed -n 's/^Copyright ([cC]) *//p' "$source_dir/LICENSE")
grep -qxF "Copyright: $holder" "$doc/copyright" || fail "copyright does not name '$holder'"
grep -qx 'License: Expat' "$doc/copyright" || fail "copyright does not name the Expat (MIT) licence"
sed -n '/^ Permission is hereby granted/,$p' "$doc/copyright" | sed 's/^ //; s/^\.$//' |
    diff -q - <(sed -n '/^Permission is hereby granted/,$p' "$source_dir/LICENSE") >/dev/null ||
    fail "copyright does not hold the LICENSE text"
version=$(dpkg-deb -f "$deb" Version)
zcat "$doc/changelog.gz" | head -n 1 | grep -q "^kt480nt5 ($version) " ||
    fail "changelog.gz does not start with version $version: $(zcat "$doc/changelog.gz" | head -n 1)"
[ ! -e "$doc/changelog.Debian.gz" ] || fail "changelog.Debian.gz in a native package"
zcat "$doc/README.md.gz" | cmp -s - "$source_dir/README.md" || fail "README.md.gz is not the README"
loose=$(cd "$doc" && find . -type f ! -name '*.gz' ! -name copyright)
[ -z "$loose" ] || fail "uncompressed documentation: $loose"
# The long description within 80 columns, as apt and dpkg show it.
long=$(dpkg-deb -f "$deb" Description | tail -n +2 | awk 'length > 80')
[ -z "$long" ] || fail "description lines longer than 80 columns: $long"
grep -q '^Exec=kt480nt5$' "$root/usr/share/applications/kt480nt5.desktop" ||
    fail "the desktop entry does not start kt480nt5"
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/kt480nt5.svg" || fail "icon is not SVG"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/kt480nt5.desktop" ||
        fail "desktop entry does not validate"
fi

# The programs from the scratch root: help, then the simulator and an identification.
bin="$root/usr/bin"
"$bin/kt480ctl" --help | grep -q 'fleet' || fail "kt480ctl --help"
export KT480_LOOPBACK_ONLY=1
"$bin/kt480sim" --tcp 0 >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
    grep -q '^tcp ' "$work/sim.out" && break
    sleep 0.1
done
endpoint=$(sed -n 's/^tcp //p' "$work/sim.out")
[ -n "$endpoint" ] || fail "kt480sim --tcp 0 gave no endpoint: $(cat "$work/sim.out")"
"$bin/kt480ctl" --tcp "$endpoint" identify >"$work/identify.out" ||
    fail "kt480ctl identify: $(cat "$work/identify.out")"
grep -q '^S/N: 12345678$' "$work/identify.out" || fail "identify: $(cat "$work/identify.out")"
# The manual pages describe every option and verb the programs have.
QT_QPA_PLATFORM=offscreen "$bin/kt480nt5" --help >"$work/kt480nt5.help" 2>&1 || true
"$bin/kt480sim" --help >"$work/kt480sim.help" 2>&1 || true
"$bin/kt480ctl" --help >"$work/kt480ctl.help" 2>&1
for program in kt480nt5 kt480ctl kt480sim; do
    page="$work/$program.1"
    for option in $(grep -o -- '--[a-z][a-z-]*' "$work/$program.help" | sort -u); do
        [ "$option" = --help-all ] && continue
        grep -qF -- "\\fB$option\\fR" "$page" || fail "$program.1 does not describe $option"
    done
done
# The verbs: the first word of each line under "Verbs:", up to the blank line.
verbs=$(sed -n '/^Verbs:$/,/^$/p' "$work/kt480ctl.help" | awk 'NR > 1 && NF { print $1 }')
[ -n "$verbs" ] || fail "kt480ctl --help names no verb: $(cat "$work/kt480ctl.help")"
for verb in $verbs; do
    grep -q "^[\\]fB$verb" "$work/kt480ctl.1" ||
        fail "kt480ctl.1 does not describe the verb $verb"
done
echo "package: installs into a scratch root and runs"

if command -v lintian >/dev/null; then
    # This build tree is not compiled with Debian's hardening flags; make package's build is.
    lintian --fail-on error,warning \
        --suppress-tags hardening-no-relro,hardening-no-fortify-functions,hardening-no-bindnow \
        "$deb" >"$work/lintian.out" 2>&1 || fail "lintian: $(cat "$work/lintian.out")"
    echo "package: lintian finds no error or warning"
else
    echo "package: lintian is not installed (scripts/bootstrap.sh package); not run"
fi
