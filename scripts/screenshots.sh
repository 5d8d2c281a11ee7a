#!/usr/bin/env bash
# Takes a PNG of every tab page of the real window under Xvfb into screenshots/.
set -euo pipefail
build=${1:-build/run}
out=${2:-screenshots}
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1600x1024x24" "$build/tests/vantrel-screenshots" "$out"
