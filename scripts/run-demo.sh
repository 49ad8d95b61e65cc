#!/usr/bin/env bash
# Starts the application against its in-process simulator on loopback. Without a display (a
# machine reached over SSH) the window cannot open, so the demo runs headless instead: the
# simulator, kt480ctl against it, and a picture of the window drawn on a virtual display.
# Nothing the demo starts may reach beyond loopback.
set -euo pipefail
build="${1:-build}"
export KT480_LOOPBACK_ONLY=1

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/bin/kt480nt5" --demo
fi

echo "run: no display here (DISPLAY and WAYLAND_DISPLAY are unset), so the demo runs headless."
work=$(mktemp -d)
sim_pid=
cleanup() {
    if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

"$build/bin/kt480sim" --tcp 0 --cards 25 >"$work/sim.out" 2>&1 &
sim_pid=$!
endpoint=
for _ in $(seq 50); do
    endpoint=$(sed -n 's/^tcp //p' "$work/sim.out")
    [ -n "$endpoint" ] && break
    sleep 0.1
done
if [ -z "$endpoint" ]; then
    echo "run: the simulator did not start: $(cat "$work/sim.out")" >&2
    exit 1
fi
echo "simulator: a controller with 25 cards at $endpoint"

ctl() {
    echo
    echo "\$ kt480ctl --tcp $endpoint $*"
    "$build/bin/kt480ctl" --tcp "$endpoint" "$@"
}
ctl identify
ctl clock set --now
ctl clock get
ctl cards read --from 1 --to 30

shot="$(cd "$build" && pwd)/demo-main-window.png"
echo
echo "\$ kt480nt5 --demo (on a virtual display)"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$build/bin/kt480nt5" --demo --settings "$work/demo.ini" --screenshot "$shot"
echo "screenshot of the main window: $shot"
