#!/usr/bin/env bash
# Runs every benchmark built in BUILD_DIR/bench (default build/run) without a display and
# prints their figures.
set -euo pipefail
build=${1:-build/run}
export QT_QPA_PLATFORM=offscreen
export VANTREL_BOARD="$build/vantrel-board" # bench_board floods the real board with random commands

shopt -s nullglob
benches=()
for exe in "$build"/bench/bench_*; do
    [[ -f "$exe" && -x "$exe" ]] && benches+=("$exe")
done
if [[ ${#benches[@]} -eq 0 ]]; then
    echo "No benchmarks built in $build/bench." >&2
    exit 1
fi

status=0
for exe in "${benches[@]}"; do
    echo "== $(basename "$exe")"
    "$exe" || status=1
done
exit $status
