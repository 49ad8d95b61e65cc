#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need. Idempotent: packages
# already present are skipped, and apt is not touched at all when nothing is missing.
# `bootstrap.sh fuzz` adds what the fuzz build needs (clang and its libFuzzer runtime);
# `bootstrap.sh package` adds lintian, which checks the Debian package; `bootstrap.sh test` adds
# the PostgreSQL server the event archive's tests start a throwaway cluster of (without it those
# cases are skipped). The normal build needs none of them.
set -euo pipefail

packages=(
    cmake g++ make pkg-config ccache iproute2
    qt6-base-dev qt6-serialport-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    libgl-dev
    xvfb xauth
    fonts-noto-cjk fonts-dejavu-core
    poppler-utils strace
    scdoc dpkg-dev file zsh bash-completion desktop-file-utils
)
case "${1:-}" in
fuzz) packages+=(clang libclang-rt-14-dev) ;;
package) packages+=(lintian) ;;
test) packages+=(postgresql) ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# apt and dpkg say several lines for every package unpacked and set up: kept in a log, shown
# whole only when the installation fails.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { "${sudo_cmd[@]}" apt-get update -qq &&
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; } \
    >"$log" 2>&1; then
    cat "$log" >&2
    echo "bootstrap: the installation failed" >&2
    exit 1
fi
echo "Installed: ${missing[*]}"
