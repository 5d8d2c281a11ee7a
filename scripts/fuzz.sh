#!/usr/bin/env bash
# Runs the libFuzzer targets built in BUILD_DIR/fuzz, one after the other in a single process
# each, for FUZZ_SECONDS each (default 600). Each starts from its saved corpus in
# fuzz/corpus/<target>/ (never written to); new inputs go to BUILD_DIR/fuzz-work/<target>/corpus,
# findings to BUILD_DIR/fuzz-work/<target>/artifacts/, the full log to .../log.txt.
#
#   scripts/fuzz.sh BUILD_DIR [target ...]     (default: every fuzz/fuzz_*.cpp)
set -euo pipefail
build=${1:?usage: scripts/fuzz.sh BUILD_DIR [target ...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-600}

targets=("$@")
if [[ ${#targets[@]} -eq 0 ]]; then
    for source in "$root"/fuzz/fuzz_*.cpp; do
        [[ -e "$source" ]] && targets+=("$(basename "$source" .cpp)")
    done
fi
if [[ ${#targets[@]} -eq 0 ]]; then
    echo "No fuzz targets in $root/fuzz." >&2
    exit 1
fi

status=0
for target in "${targets[@]}"; do
    exe="$build/fuzz/$target"
    if [[ ! -x "$exe" ]]; then
        echo "$target: not built in $build/fuzz" >&2
        status=1
        continue
    fi
    work="$build/fuzz-work/$target"
    mkdir -p "$work/corpus" "$work/artifacts"
    args=(-max_total_time="$seconds" -print_final_stats=1 -max_len=8192
          -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/artifacts/")
    [[ -f "$root/fuzz/$target.dict" ]] && args+=(-dict="$root/fuzz/$target.dict")
    seeds=()
    [[ -d "$root/fuzz/corpus/$target" ]] && seeds+=("$root/fuzz/corpus/$target")

    echo "== $target for ${seconds} s (log: $work/log.txt)"
    if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
       UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
       "$exe" "${args[@]}" "$work/corpus" "${seeds[@]}" >"$work/log.txt" 2>&1; then
        # The last status line (runs, coverage, corpus, speed) and the final statistics.
        grep -E '^#[0-9]+' "$work/log.txt" | tail -n 1
        grep -E '^(Done|stat::)' "$work/log.txt" || true
    else
        echo "$target FAILED; the end of its log:" >&2
        tail -n 60 "$work/log.txt" >&2
        ls -1 "$work/artifacts" >&2 || true
        status=1
    fi
done
exit $status
