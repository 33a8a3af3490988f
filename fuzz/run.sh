#!/bin/sh
# Runs the fuzzers one after the other, each for SECONDS (default 600):
#     fuzz/run.sh [SECONDS] [TARGET...]
# Builds them first (clang, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build-fuzz/. Seeds: fuzz/seeds, fuzz/regressions, the tests' fixtures and
# the shared corpus next to the project (../shared/corpus, when there). What
# the fuzzers add goes to build-fuzz/fuzz-work/corpus/TARGET, findings to
# build-fuzz/fuzz-work/artifacts/TARGET: a finding, once mended, is copied
# into fuzz/regressions/TARGET so that the tests replay it.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KESTRA_FUZZ_BUILD:-$ROOT/build-fuzz}
WORK=$BUILD/fuzz-work
CORPUS=${KESTRA_CORPUS:-$ROOT/../shared/corpus}

SECONDS_EACH=600
case "${1:-}" in
    ''|*[!0-9]*) ;;
    *) SECONDS_EACH=$1; shift ;;
esac
TARGETS=${*:-"conversion dbf template text xls xls_ranges xml"}

command -v clang++ >/dev/null || { echo "clang++ is needed: apt-get install clang libclang-rt-14-dev" >&2; exit 2; }
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DKESTRA_FUZZ=ON -DKESTRA_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
for t in $TARGETS; do
    cmake --build "$BUILD" -j2 --target "fuzz_$t"
done

# A dBase seed is the table, or "KMEMO", the table's length and the table
# followed by its memo file (see fuzz/targets/DbfTarget.cpp).
le32() {
    printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"
}
pack_dbf_seeds() {
    out=$WORK/seeds/dbf
    rm -rf "$out"
    mkdir -p "$out"
    find "$@" -type f \( -iname '*.dbf' -o -iname '*.dbc' \) 2>/dev/null | while read -r table; do
        base=${table%.*}
        memo=""
        for ext in dbt DBT fpt FPT dct DCT; do
            [ -f "$base.$ext" ] && { memo=$base.$ext; break; }
        done
        name=$(echo "$table" | tr '/' '_')
        if [ -n "$memo" ]; then
            { printf 'KMEMO'; le32 "$(wc -c <"$table")"; cat "$table" "$memo"; } >"$out/$name"
        else
            cp "$table" "$out/$name"
        fi
    done
}

seeds_of() {
    dirs="$ROOT/fuzz/regressions/$1 $ROOT/fuzz/seeds/$1"
    case $1 in
        xls) dirs="$dirs $ROOT/tests/fixtures/xls $ROOT/tests/fixtures/wizard $ROOT/tests/fixtures/importscreen $CORPUS/xls" ;;
        dbf) pack_dbf_seeds "$ROOT/tests/fixtures/dbf" "$CORPUS/dbf"; dirs="$dirs $WORK/seeds/dbf" ;;
        xml) dirs="$dirs $ROOT/tests/fixtures/xml $CORPUS/xml" ;;
        text) dirs="$dirs $ROOT/tests/fixtures/text $CORPUS/xls_ref/libreoffice" ;;
    esac
    for d in $dirs; do
        [ -d "$d" ] && echo "$d"
    done
    return 0
}

# Inputs longer than this are cut: mutations of small inputs run faster,
# and what a reader does with a long one it mostly does with a short one.
max_len_of() {
    case $1 in
        xls) echo 262144 ;;
        dbf) echo 131072 ;;
        text | xml) echo 65536 ;;
        *) echo 8192 ;;
    esac
}

# Leaks inside the libraries the readers call are not the readers' own. The
# suppressions name the library's functions, which only a full unwinding of
# each allocation's stack reaches (the system's libraries keep no frame
# pointers): that costs time, so only the targets that call such a library
# pay it.
export LSAN_OPTIONS="suppressions=$ROOT/fuzz/lsan-suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
asan_options_of() {
    case $1 in
        xls) echo "fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" ;;
        *) echo "${ASAN_OPTIONS:-}" ;;
    esac
}

summary=""
for t in $TARGETS; do
    mkdir -p "$WORK/corpus/$t" "$WORK/artifacts/$t" "$WORK/logs"
    echo "== fuzz_$t for ${SECONDS_EACH}s"
    # shellcheck disable=SC2046
    ASAN_OPTIONS=$(asan_options_of "$t") "$BUILD/fuzz/fuzz_$t" -max_total_time="$SECONDS_EACH" -max_len="$(max_len_of "$t")" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$WORK/artifacts/$t/" "$WORK/corpus/$t" $(seeds_of "$t") >"$WORK/logs/$t.log" 2>&1 || true
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$WORK/logs/$t.log" | tail -n 1)
    found=$(find "$WORK/artifacts/$t" -type f | wc -l)
    line=$(printf '%-11s %12s executions  %3s findings' "$t" "${runs:-?}" "$found")
    echo "$line"
    summary="$summary$line
"
done
echo
echo "Fuzzed ${SECONDS_EACH}s each (logs in $WORK/logs, findings in $WORK/artifacts):"
printf '%s' "$summary"
