#!/bin/sh
# Pictures of the main window in its three languages, connected to the demo simulator.
# Uses the program already built in BUILD_DIR (default build/); writes docs/main-*.png.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
PROGRAM="$BUILD_DIR/bin/kt480nt5"
if [ ! -x "$PROGRAM" ]; then
    echo "screenshots: $PROGRAM is missing; build first (make build)" >&2
    exit 1
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p docs
for pair in 0:en 1:zh-tw 2:zh-cn; do
    index=${pair%%:*}
    name=${pair#*:}
    printf '[General]\nLanguageIndex=%s\n' "$index" > "$WORK/$name.ini"
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$PROGRAM" --demo --settings "$WORK/$name.ini" --screenshot "docs/main-$name.png"
    echo "docs/main-$name.png"
done
