#!/usr/bin/env bash
# fuzz_long.sh SECONDS [BUILD_DIR] [TARGET...]: runs each picture-file fuzz target (decode,
# icon, roundtrip by default) one after another for SECONDS at low priority over a copy of
# its seed corpus, and prints the executions and any findings of each.
# BUILD_DIR is a clang build configured with -DMORVANE_FUZZ=ON -DMORVANE_SANITIZE=ON.
# The per-input time limit is generous (60 s) because low priority on a busy machine can
# stall a run for many seconds.
set -euo pipefail
seconds=${1:?seconds}
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$here/build-fuzz}" && pwd)
shift $(( $# >= 2 ? 2 : $# ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(decode icon roundtrip)
for name in "${targets[@]}"; do
    bin=$build/fuzz/morvane_fuzz_$name
    [ -x "$bin" ] || { echo "$name: $bin not built" >&2; exit 1; }
    work=$(mktemp -d)
    log=$work/log
    status=0
    mkdir -p "$work/run/corpus"
    cp -r "$here/fuzz/corpus/$name/." "$work/run/corpus/"
    (cd "$work/run" && ASAN_OPTIONS=detect_leaks=1 nice -n 19 "$bin" -max_total_time="$seconds" -timeout=60 \
        -rss_limit_mb=2048 -print_final_stats=1 corpus >"$log" 2>&1) || status=$?
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | awk '{print $2}' || true)
    echo "$name: ${runs:-?} executions in ${seconds}s, exit status $status"
    grep -E 'ERROR: |runtime error|SUMMARY' "$log" | head -5 || true
    ls "$work/run"/crash-* "$work/run"/leak-* "$work/run"/timeout-* "$work/run"/oom-* 2>/dev/null || true
done
