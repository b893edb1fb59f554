#!/bin/bash
# brellow-cli writing the long loan (900,000,000,000.00 at 0.01 % over 400,000 weekly
# payments from 01/01/2026) in every format, beside the plain tools moving the same bytes:
#
#   bench/writers/run.sh [-n ROUNDS] [-f "FORMATS"] BRELLOW_CLI...
#
# to a file: `brellow-cli --output FILE` (the atomic save, fsync included) against
#            `dd bs=1M conv=fsync` of the first program's bytes;
# to a pipe: `brellow-cli | wc -c` against `cat FILE | wc -c`.
# Each round runs the references and then every program given (say the program before
# and after a change) once per format, so that a busy machine slows all of them alike.
# Prints the medians, ranges and each median's ratio to its reference, with the load
# average before and after. Every program must write the reference's bytes.
set -euo pipefail
rounds=15
formats="text csv html json"
while getopts "n:f:" option; do
    case $option in
        n) rounds=$OPTARG ;;
        f) formats=$OPTARG ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { echo "usage: $0 [-n ROUNDS] [-f FORMATS] BRELLOW_CLI..." >&2; exit 2; }

loan=(--amount 900000000000 --rate 0.01 --periods 400000 --payment-period Weekly
      --first-payment 01/01/2026)
work=$(mktemp -d "${TMPDIR:-/tmp}/brellow-writers.XXXXXX")
trap 'rm -rf "$work"' EXIT
names=("$@")
programs=()
for program in "$@"; do programs+=("$(realpath "$program")"); done

# Milliseconds the command takes, appended to the file named first.
timed() {
    local into=$1 start end
    shift
    start=$EPOCHREALTIME
    "$@"
    end=$EPOCHREALTIME
    echo "$(((${end/./} - ${start/./}) / 1000)).$(((${end/./} - ${start/./}) % 1000 / 100))" \
        >>"$into"
}
to_file() { rm -f "$work/out"; "$@" --output "$work/out"; }
to_pipe() { "$@" | wc -c >/dev/null; }
dd_file() { rm -f "$work/out"; dd if="$1" of="$work/out" bs=1M conv=fsync status=none; }
cat_pipe() { cat "$1" | wc -c >/dev/null; }

for format in $formats; do
    "${programs[0]}" "${loan[@]}" --format "$format" >"$work/$format.ref"
    for i in "${!programs[@]}"; do
        "${programs[$i]}" "${loan[@]}" --format "$format" --output "$work/out"
        cmp -s "$work/$format.ref" "$work/out" ||
            { echo "${programs[$i]} writes other $format bytes" >&2; exit 1; }
    done
done

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for round in $(seq "$rounds"); do
    for format in $formats; do
        timed "$work/$format.file.ref" dd_file "$work/$format.ref"
        timed "$work/$format.pipe.ref" cat_pipe "$work/$format.ref"
        for i in "${!programs[@]}"; do
            timed "$work/$format.file.$i" to_file "${programs[$i]}" "${loan[@]}" --format "$format"
            timed "$work/$format.pipe.$i" to_pipe "${programs[$i]}" "${loan[@]}" --format "$format"
        done
    done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

median() { sort -n "$1" | awk '{ t[NR] = $1 } END {
    printf "%s %s %s\n", NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2, t[1], t[NR] }'; }
echo "$rounds rounds; load average $load_before before, $load_after after; $(nproc) cores"
printf "%-5s %-5s %10s %19s %7s  %s\n" format to median range ratio command
for format in $formats; do
    for to in file pipe; do
        read -r ref low high < <(median "$work/$format.$to.ref")
        reference=$([ $to = file ] && echo "dd bs=1M conv=fsync" || echo "cat FILE | wc -c")
        printf "%-5s %-5s %8.1f ms %8.1f to %6.1f %7s  %s (%s bytes)\n" "$format" $to "$ref" \
            "$low" "$high" 1.00 "$reference" "$(stat -c %s "$work/$format.ref")"
        for i in "${!programs[@]}"; do
            read -r m low high < <(median "$work/$format.$to.$i")
            printf "%-5s %-5s %8.1f ms %8.1f to %6.1f %7.2f  %s\n" "$format" $to "$m" "$low" \
                "$high" "$(echo "$m / $ref" | bc -l)" "${names[$i]}"
        done
    done
done
