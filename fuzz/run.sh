#!/usr/bin/env bash
# Runs one fuzzer for a bounded time on a scratch copy of its seed corpus.
#   fuzz/run.sh FUZZER SEEDS WORKDIR SECONDS [MAX_LEN [DICTIONARY]]
# Exits 0 when the time ran out without a finding; otherwise prints the file that
# reproduces the finding (run FUZZER FILE to see it again) and exits 1.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4 max_len=${5:-128} dict=${6:-}

corpus=$work/corpus
findings=$work/findings
rm -rf "$corpus" "$findings"
mkdir -p "$corpus" "$findings"
cp "$seeds"/* "$corpus"/

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The harness caps its work per input, so only a hang runs into the timeout.
status=0
"$fuzzer" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -print_final_stats=1 \
    ${dict:+-dict="$dict"} -artifact_prefix="$findings/" "$corpus" || status=$?

shopt -s nullglob
found=("$findings"/*)
if [ "$status" -ne 0 ] || [ ${#found[@]} -ne 0 ]; then
    echo "fuzz: the fuzzer found a fault (exit $status); reproduce with $fuzzer FILE" >&2
    for file in "${found[@]}"; do
        echo "fuzz: $file" >&2
        od -A d -t x1 "$file" >&2
    done
    exit 1
fi
echo "fuzz: no finding in $seconds s"
