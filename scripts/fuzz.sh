#!/usr/bin/env bash
# Runs the libFuzzer targets built in BUILD_DIR/fuzz for FUZZ_SECONDS each (default 600), two at
# a time at most, and prints for each its runs, coverage (cov: edges, ft: features) and findings.
# Each starts from its saved corpus in fuzz/corpus/<target>/ (never written to); new inputs go to
# BUILD_DIR/fuzz-work/<target>/corpus, findings to BUILD_DIR/fuzz-work/<target>/artifacts/, the
# full log to .../log.txt. Memory limits: see "Inputs and their bounds" in the README.
#
#   scripts/fuzz.sh BUILD_DIR [target ...]     (default: every fuzz/fuzz_*.cpp)
set -uo pipefail
build=${1:?usage: scripts/fuzz.sh BUILD_DIR [target ...]}
shift
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-600}
parallel=${FUZZ_JOBS:-2}
(( parallel > 2 )) && parallel=2 # the machine is shared: two at a time at most

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

# The largest single allocation a target may make on a legitimate input: the picture decoder's
# bound (ImageLoader::kMaxDecodedBytes, 256 MB) for the image converter and for scripts (whose
# `picture FILE` may name any picture on the machine), far less for the rest.
# The resident limit leaves room for AddressSanitizer's shadow memory and the fuzzer's corpus.
malloc_limit() {
    case $1 in
        fuzz_image_converter | fuzz_script) echo 320 ;;
        *) echo 64 ;;
    esac
}
rss_limit=2048

run_one() {
    local target=$1 exe="$build/fuzz/$1" work="$build/fuzz-work/$1"
    mkdir -p "$work/corpus" "$work/artifacts"
    rm -f "$work/status"
    local args=(-max_total_time="$seconds" -print_final_stats=1 -max_len=8192 -timeout=10
                -rss_limit_mb="$rss_limit" -malloc_limit_mb="$(malloc_limit "$target")"
                -artifact_prefix="$work/artifacts/")
    [[ -f "$root/fuzz/$target.dict" ]] && args+=(-dict="$root/fuzz/$target.dict")
    local seeds=()
    [[ -d "$root/fuzz/corpus/$target" ]] && seeds+=("$root/fuzz/corpus/$target")
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen \
        "$exe" "${args[@]}" "$work/corpus" "${seeds[@]}" >"$work/log.txt" 2>&1
    echo $? >"$work/status"
}

summary() {
    local target=$1 work="$build/fuzz-work/$1"
    local last runs cov ft findings
    last=$(grep -E '^#[0-9]+' "$work/log.txt" | tail -n 1)
    runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$work/log.txt" | grep -oE '[0-9]+$')
    cov=$(grep -oE 'cov: [0-9]+' <<<"$last" | grep -oE '[0-9]+')
    ft=$(grep -oE 'ft: [0-9]+' <<<"$last" | grep -oE '[0-9]+')
    findings=$(find "$work/artifacts" -type f | wc -l)
    printf '%-24s runs %10s  cov %6s  ft %6s  crashes %s  exit %s\n' "$target" "${runs:-?}" \
        "${cov:-?}" "${ft:-?}" "$findings" "$(cat "$work/status")"
    if [[ $(cat "$work/status") != 0 || $findings != 0 ]]; then
        echo "  the end of its log ($work/log.txt):"
        tail -n 30 "$work/log.txt" | sed 's/^/    /'
        find "$work/artifacts" -type f | sed 's/^/  finding: /'
        return 1
    fi
}

status=0
running=0
for target in "${targets[@]}"; do
    if [[ ! -x "$build/fuzz/$target" ]]; then
        echo "$target: not built in $build/fuzz" >&2
        status=1
        continue
    fi
    if (( running >= parallel )); then
        wait -n
        running=$((running - 1))
    fi
    echo "== $target for ${seconds} s (log: $build/fuzz-work/$target/log.txt)"
    run_one "$target" &
    running=$((running + 1))
done
wait
echo "== results (${seconds} s each, -rss_limit_mb=$rss_limit)"
for target in "${targets[@]}"; do
    [[ -f "$build/fuzz-work/$target/status" ]] && { summary "$target" || status=1; }
done
exit $status
