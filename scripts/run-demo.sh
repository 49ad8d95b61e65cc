#!/usr/bin/env bash
# Starts the application against its in-process simulator on loopback. Nothing the demo
# starts may reach beyond loopback.
set -euo pipefail
build="${1:-build}"
export KT480_LOOPBACK_ONLY=1
exec "$build/bin/kt480nt5" --demo
