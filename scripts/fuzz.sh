#!/usr/bin/env bash
# fuzz.sh BINARY NAME SECONDS [WORKDIR]: runs one libFuzzer target for SECONDS over a
# copy of its seed corpus (fuzz/corpus/NAME), so the committed seeds stay untouched.
set -euo pipefail
bin=$1; name=$2; seconds=$3
here=$(cd "$(dirname "$0")/.." && pwd)
work=${4:-$(mktemp -d)}
rm -rf "$work"; mkdir -p "$work/corpus"
if [ -d "$here/fuzz/corpus/$name" ]; then cp -r "$here/fuzz/corpus/$name/." "$work/corpus/"; fi
cd "$work"
"$bin" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 corpus
