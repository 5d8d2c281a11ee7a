#!/usr/bin/env bash
# Starts the virtual board on a pseudo-terminal and Vantrel connected to it on port 1; both stop
# together.
set -euo pipefail
build=${1:-build/run}
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display: run 'make run' from a desktop session (or under xvfb-run)." >&2
    exit 1
fi
if [[ ! -x "$build/vantrel-board" ]]; then
    exec "$build/vantrel"
fi
link=$(mktemp -u "${XDG_RUNTIME_DIR:-/tmp}/vantrel-board.XXXXXX")
"$build/vantrel-board" --link "$link" &
board=$!
trap 'kill $board 2>/dev/null || true; wait $board 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do [[ -e "$link" ]] && break; sleep 0.05; done
VANTREL_COM1="$link" "$build/vantrel" --port 1 --connect
