#!/usr/bin/env bash
# orvello-arc extract beside unzip and unar in one run: best wall time of several runs each and
# the ratios, peak memory, and instructions per output byte (cachegrind), on
#   - a 64 MB ROM-like member deflated by Info-ZIP zip -6,
#   - a collection of 2000 small ROMs (4 to 64 KB each, zip -6),
#   - the shrunk, reduced and imploded fixture archives (extracted 100 times in a row; they
#     are small, so process start-up weighs in; unzip and unar cannot read reduce).
# Usage: bench/extract_bench.sh [BUILD_DIR]   (a build with -DORVELLO_BENCH=ON, Release)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build-bench}
runs=${RUNS:-5}
tool="$PWD/$build/orvello-arc"
data="$PWD/$build/extract-data"
fixtures=$PWD/tests/fixtures/archives/zip
mkdir -p "$data"
if [ ! -f "$data/big.zip" ] || [ ! -f "$data/small.zip" ]; then
    "$build/make_payloads" "$data/payload"
    (cd "$data/payload/big" && rm -f ../../big.zip && zip -q -6 ../../big.zip BIG.ROM)
    (cd "$data/payload/small" && rm -f ../../small.zip && zip -q -6 ../../small.zip ./*.BIN)
fi
out="$data/out"

ours() { "$tool" extract "$1" "$out"; }
unzip_() { unzip -qq -o "$1" -d "$out"; }
unar_() { unar -q -f -o "$out" "$1"; }
repeat() {  # repeat N FUNCTION ARCHIVE: the extraction N times in a row
    local n=$1 f=$2 a=$3
    for _ in $(seq "$n"); do "$f" "$a"; done
}


echo "== wall time, best of $runs (ms)"
printf "%-28s %8s %8s %8s %12s %12s\n" case ours unzip unar ours/unzip ours/unar
for c in big small; do
    a="$data/$c.zip"
    o=$(best_ms ours "$a"); u=$(best_ms unzip_ "$a"); r=$(best_ms unar_ "$a")
    printf "%-28s %8s %8s %8s %12s %12s\n" "$c.zip" "$o" "$u" "$r" "$(ratio "$o" "$u")" "$(ratio "$o" "$r")"
done
for f in SHRINK.ZIP REDUCE3.ZIP IMP8K3T.ZIP IMP4K2T.ZIP; do
    a="$fixtures/$f"
    o=$(best_ms repeat 100 ours "$a"); u=$(best_ms repeat 100 unzip_ "$a"); r=$(best_ms repeat 100 unar_ "$a")
    printf "%-28s %8s %8s %8s %12s %12s\n" "$f x100" "$o" "$u" "$r" "$(ratio "$o" "$u")" "$(ratio "$o" "$r")"
done

echo
echo "== peak memory extracting big.zip (maximum resident set, KB)"
peak() {  # peak NAME COMMAND...
    local name=$1
    shift
    rm -rf "$out" && mkdir -p "$out"
    /usr/bin/time -f "%M" -o "$data/peak" "$@" >/dev/null 2>&1 || true
    printf "%-8s %10s\n" "$name" "$(tail -1 "$data/peak")"
}
peak ours "$tool" extract "$data/big.zip" "$out"
peak unzip unzip -qq -o "$data/big.zip" -d "$out"
peak unar unar -q -f -o "$out" "$data/big.zip"

echo
echo "== instructions per output byte (valgrind --tool=cachegrind)"
ir() {  # ir ARCHIVE BYTES COMMAND...
    local a=$1 bytes=$2
    shift 2
    rm -rf "$out" && mkdir -p "$out"
    local refs
    refs=$(valgrind --tool=cachegrind --cache-sim=no --cachegrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        awk '/I *refs:/ { gsub(",", "", $4); print $4 }')
    awk -v r="$refs" -v b="$bytes" 'BEGIN { printf "%.2f", r / b }'
}
printf "%-28s %10s %10s %12s\n" case ours unzip ours/unzip
for c in big small; do
    a="$data/$c.zip"
    bytes=$(du -sb "$data/payload/$c" | cut -f1)
    o=$(ir "$a" "$bytes" "$tool" extract "$a" "$out"); u=$(ir "$a" "$bytes" unzip -qq -o "$a" -d "$out")
    printf "%-28s %10s %10s %12s\n" "$c.zip" "$o" "$u" "$(ratio "$o" "$u")"
done
# The fixtures are small, so start-up counts: the second pair of columns takes off what each
# program spends without decoding (orvello-arc type, unzip -l on the same archive).
refs() {  # refs COMMAND...: total instructions
    valgrind --tool=cachegrind --cache-sim=no --cachegrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        awk '/I *refs:/ { gsub(",", "", $4); print $4 }'
}
printf "\n%-28s %10s %10s %12s %10s %10s %12s\n" case ours unzip ours/unzip ours-base unzip-base ours/unzip
for f in SHRINK.ZIP IMP8K3T.ZIP IMP4K2T.ZIP; do
    a="$fixtures/$f"
    rm -rf "$out" && mkdir -p "$out" && unzip -qq -o "$a" -d "$out"
    bytes=$(du -sb "$out" | cut -f1)
    rm -rf "$out" && mkdir -p "$out"
    o=$(refs "$tool" extract "$a" "$out")
    rm -rf "$out" && mkdir -p "$out"
    u=$(refs unzip -qq -o "$a" -d "$out")
    ob=$(refs "$tool" type "$a")
    ub=$(refs unzip -l "$a")
    read -r op up odp udp < <(awk -v o="$o" -v u="$u" -v ob="$ob" -v ub="$ub" -v b="$bytes" \
        'BEGIN { printf "%.2f %.2f %.2f %.2f\n", o / b, u / b, (o - ob) / b, (u - ub) / b }')
    printf "%-28s %10s %10s %12s %10s %10s %12s\n" "$f" "$op" "$up" "$(ratio "$op" "$up")" "$odp" "$udp" \
        "$(ratio "$odp" "$udp")"
done
rm -rf "$out"
