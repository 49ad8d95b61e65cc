#!/usr/bin/env bash
# Starts the application against its in-process simulator on loopback. Until the
# application exists, runs the simulator and identifies it with the command-line client.
set -euo pipefail
build="${1:-build}"
bin="$build/bin"

if [ -x "$bin/kt480nt5" ]; then
    exec "$bin/kt480nt5" --demo
fi

out=$(mktemp)
"$bin/kt480sim" --tcp 0 >"$out" &
sim=$!
trap 'kill $sim 2>/dev/null; rm -f "$out"' EXIT
for _ in $(seq 50); do
    grep -q '^tcp ' "$out" && break
    sleep 0.1
done
endpoint=$(awk '/^tcp /{print $2; exit}' "$out")
echo "simulator listening on $endpoint"
"$bin/kt480ctl" --tcp "$endpoint" exchange 0001AS
"$bin/kt480ctl" --tcp "$endpoint" exchange 0001DB
