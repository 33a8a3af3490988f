#!/bin/sh
# Time and peak memory of kestra-cli on the inputs that once broke a reader
# (../shared/crashes), beside a baseline run on a small text file, with the
# limit each must stay under: 2 s (5 s for the 60 MB line) and the larger
# of 100 MB and four times the input's size. Release build wanted:
#     bench/crash-inputs.sh [BUILD_DIR]        (default build-bench)
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build-bench}" && pwd)
CLI=$BUILD/app/kestra-cli
CRASHES=${KESTRA_CRASHES:-$ROOT/../shared/crashes}
CORPUS=${KESTRA_CORPUS:-$ROOT/../shared/corpus}
[ -x "$CLI" ] || { echo "no $CLI: build the kestra-cli target first" >&2; exit 2; }
[ -d "$CRASHES" ] || { echo "no $CRASHES" >&2; exit 2; }
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# measure NAME INPUT_BYTES SECONDS_LIMIT command...: runs from the project's
# root, output to a file, and prints one line.
measure() {
    name=$1 bytes=$2 limit_s=$3
    shift 3
    (cd "$ROOT" && /usr/bin/time -f '%e %M' -o "$TMP/time" "$@" >"$TMP/out" 2>"$TMP/err") && code=0 || code=$?
    set -- $(tail -n 1 "$TMP/time")
    seconds=$1 kb=$2
    limit_mb=$((bytes * 4 / 1048576))
    [ "$limit_mb" -lt 100 ] && limit_mb=100
    printf '%-34s exit %3s  %6.2f s (x%5.1f, limit %s s)  %7.1f MB (x%5.1f, limit %s MB)  %s\n' "$name" "$code" "$seconds" \
        "$(echo "$seconds / $base_s" | bc -l)" "$limit_s" "$(echo "$kb / 1024" | bc -l)" "$(echo "$kb / $base_kb" | bc -l)" \
        "$limit_mb" "$(head -c 70 "$TMP/err" | tr '\n' ' ')"
}

# Baseline: the same program on a small file.
(cd "$ROOT" && /usr/bin/time -f '%e %M' -o "$TMP/time" "$CLI" preview tests/fixtures/text/clients.csv >/dev/null 2>&1)
set -- $(tail -n 1 "$TMP/time")
base_s=$1 base_kb=$2
[ "$(echo "$base_s < 0.01" | bc)" -eq 1 ] && base_s=0.01
printf '%-34s          %6.2f s                         %7.1f MB\n' "baseline (small text file)" "$base_s" "$(echo "$base_kb / 1024" | bc -l)"

size() { wc -c <"$1"; }
measure "xls-sheets-rowcol-oom" "$(size "$CRASHES/xls-sheets-rowcol-oom")" 2 \
    "$CLI" preview "$CRASHES/xls-sheets-rowcol-oom" --kind xls
if [ -f "$CORPUS/xls/cal_date.xls" ]; then
    measure "conv-formatdatetime-c (preview)" "$(size "$CORPUS/xls/cal_date.xls")" 2 \
        "$CLI" preview "$CORPUS/xls/cal_date.xls" --date-format c
fi
"$CLI" create-db "$TMP/db" >/dev/null
measure "conv-formatdatetime-c-template.imp" "$(size "$CRASHES/conv-formatdatetime-c-template.imp")" 2 \
    "$CLI" import --db "$TMP/db" --template "$CRASHES/conv-formatdatetime-c-template.imp" --table TIERS
measure "dbf-memo-shared-block-slow" $(($(size "$CRASHES/dbf-memo-shared-block-slow.dbf") + $(size "$CRASHES/dbf-memo-shared-block-slow.dbt"))) 2 \
    "$CLI" preview "$CRASHES/dbf-memo-shared-block-slow.dbf"
for input in xlsx-inline-text-100mb xlsx-shared-string-100mb xlsx-ref-row-overflow xlsx-ref-column-overflow; do
    measure "$input" "$(size "$CRASHES/$input.xlsx")" 2 "$CLI" preview "$CRASHES/$input.xlsx"
done
(cd "$TMP" && python3 "$CRASHES/text-semicolon-line-memory.py")
measure "text-semicolon-line-memory" "$(size "$TMP/semis.csv")" 5 \
    "$CLI" preview "$TMP/semis.csv" --delimiter ';'
