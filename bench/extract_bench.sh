#!/usr/bin/env bash
# ZIP extraction beside the peers, in one run:
#   1. the inflate decoders alone (ours, zlib's and libdeflate's in-process decoders through
#      build/inflate_once): instructions per output byte on 16 MB of ROM-like data deflated by
#      zlib at levels 1 and 6 and text at level 6;
#   2. whole extractions (orvello-arc extract, unzip, 7zz x, bsdtar -xf) of
#        big.zip       one 64 MB ROM-like member deflated by Info-ZIP zip -6,
#        small.zip     a set of 2000 small ROMs (4 to 64 KB each, zip -6),
#        stored.zip    the 64 MB member stored (zip -0),
#        storedset.zip the 2000 small ROMs stored:
#      best wall time of RUNS runs each and the ratios, peak memory, and instructions per
#      output byte of the whole process (cachegrind);
#   3. the shrunk and imploded fixture archives beside unzip (extracted 100 times in a row;
#      they are small, so process start-up weighs in).
# Every tool's output is first compared with the payload byte for byte. With BEFORE set to the
# build folder of an earlier version, its orvello-arc and inflate_once run beside ours
# (column "before").
# Usage: RUNS=5 [BEFORE=DIR] bench/extract_bench.sh [BUILD_DIR]   (Release, -DORVELLO_BENCH=ON)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build-bench}
runs=${RUNS:-5}
tool="$PWD/$build/orvello-arc"
data="$PWD/$build/extract-data"
fixtures=$PWD/tests/fixtures/archives/zip
for t in unzip 7zz bsdtar valgrind zip; do
    command -v "$t" >/dev/null || { echo "missing $t (scripts/deps.sh installs it)" >&2; exit 1; }
done
mkdir -p "$data"
if [ ! -f "$data/big.zip" ] || [ ! -f "$data/small.zip" ] || [ ! -f "$data/stored.zip" ] ||
    [ ! -f "$data/storedset.zip" ]; then
    rm -rf "$data/payload"
    "$build/make_payloads" "$data/payload"
    (cd "$data/payload/big" && rm -f ../../big.zip ../../stored.zip &&
        zip -q -6 ../../big.zip BIG.ROM && zip -q -0 ../../stored.zip BIG.ROM)
    (cd "$data/payload/small" && rm -f ../../small.zip ../../storedset.zip &&
        zip -q -6 ../../small.zip ./*.BIN && zip -q -0 ../../storedset.zip ./*.BIN)
fi
for l in 1 6; do
    [ -f "$data/rom$l.deflate" ] || "$build/inflate_once" make rom $l "$data/rom$l.deflate"
done
[ -f "$data/text6.deflate" ] || "$build/inflate_once" make text 6 "$data/text6.deflate"
out="$data/out"

before=${BEFORE:+$(cd "$BEFORE" && pwd)}
ours() { "$tool" extract "$1" .; }
old() { if [ -n "$before" ]; then "$before/orvello-arc" extract "$1" .; fi; }
unzip_() { unzip -qq -o "$1"; }
sevenz() { 7zz x -y "$1" >/dev/null; }
bsdtar_() { bsdtar -xf "$1"; }
repeat() {  # repeat N FUNCTION ARCHIVE: the extraction N times in a row
    local n=$1 f=$2 a=$3
    for _ in $(seq "$n"); do "$f" "$a"; done
}
payload_of() { case $1 in big | stored) echo "$data/payload/big" ;; *) echo "$data/payload/small" ;; esac; }

echo "== every tool gives the payload"
for c in big small stored storedset; do
    for f in ours unzip_ sevenz bsdtar_; do
        rm -rf "$out" && mkdir -p "$out"
        (cd "$out" && "$f" "$data/$c.zip" >/dev/null)
        diff -r -q "$(payload_of $c)" "$out" >/dev/null || { echo "$f: $c.zip differs" >&2; exit 1; }
    done
done
echo ok

echo
echo "== inflate decoders alone: instructions per output byte (cachegrind, 16 MB out)"
printf "%-12s %8s %8s %8s %10s %10s %10s\n" stream before ours zlib libdeflate ours/zlib ours/libd
ipb() {  # ipb COMMAND...: instructions of one run per 16 MB of output
    local refs
    refs=$(valgrind --tool=cachegrind --cache-sim=no --cachegrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        awk '/I *refs:/ { gsub(",", "", $4); print $4 }')
    awk -v r="$refs" 'BEGIN { printf "%.2f", r / 16777216 }'
}
for s in rom1 rom6 text6; do
    b=-
    [ -n "$before" ] && b=$(ipb "$before/inflate_once" ours "$data/$s.deflate")
    o=$(ipb "$build/inflate_once" ours "$data/$s.deflate")
    z=$(ipb "$build/inflate_once" zlib "$data/$s.deflate")
    l=$(ipb "$build/inflate_once" libdeflate "$data/$s.deflate")
    printf "%-12s %8s %8s %8s %10s %10s %10s\n" "$s" "$b" "$o" "$z" "$l" "$(ratio "$o" "$z")" "$(ratio "$o" "$l")"
done

echo
echo "== wall time, best of $runs (ms)"
printf "%-16s %8s %8s %8s %8s %8s %10s %10s %10s\n" case before ours unzip 7zz bsdtar ours/unzip \
    ours/7zz ours/bsdtar
for c in big small stored storedset; do
    a="$data/$c.zip"
    p=-
    [ -n "$before" ] && p=$(best_ms old "$a")
    o=$(best_ms ours "$a"); u=$(best_ms unzip_ "$a"); s=$(best_ms sevenz "$a"); b=$(best_ms bsdtar_ "$a")
    printf "%-16s %8s %8s %8s %8s %8s %10s %10s %10s\n" "$c.zip" "$p" "$o" "$u" "$s" "$b" \
        "$(ratio "$o" "$u")" "$(ratio "$o" "$s")" "$(ratio "$o" "$b")"
done

echo
echo "== peak memory (maximum resident set, KB)"
printf "%-16s %8s %8s %8s %8s %8s\n" case before ours unzip 7zz bsdtar
for c in big stored; do
    a="$data/$c.zip"
    p=-
    [ -n "$before" ] && p=$(peak_kb "$before/orvello-arc" extract "$a" .)
    printf "%-16s %8s %8s %8s %8s %8s\n" "$c.zip" "$p" "$(peak_kb "$tool" extract "$a" .)" \
        "$(peak_kb unzip -qq -o "$a")" "$(peak_kb 7zz x -y "$a")" "$(peak_kb bsdtar -xf "$a")"
done

echo
echo "== instructions per output byte, whole process (cachegrind)"
printf "%-16s %8s %8s %8s %8s %8s %10s %10s %10s\n" case before ours unzip 7zz bsdtar ours/unzip \
    ours/7zz ours/bsdtar
for c in big small stored storedset; do
    a="$data/$c.zip"
    bytes=$(du -sb "$(payload_of $c)" | cut -f1)
    r=()
    cmds=("$tool extract $a ." "unzip -qq -o $a" "7zz x -y $a" "bsdtar -xf $a")
    [ -n "$before" ] && cmds=("$before/orvello-arc extract $a ." "${cmds[@]}")
    for cmd in "${cmds[@]}"; do
        # shellcheck disable=SC2086
        r+=("$(awk -v r="$(irefs $cmd)" -v b="$bytes" 'BEGIN { printf "%.2f", r / b }')")
    done
    [ -z "$before" ] && r=(- "${r[@]}")
    printf "%-16s %8s %8s %8s %8s %8s %10s %10s %10s\n" "$c.zip" "${r[0]}" "${r[1]}" "${r[2]}" "${r[3]}" \
        "${r[4]}" "$(ratio "${r[1]}" "${r[2]}")" "$(ratio "${r[1]}" "${r[3]}")" "$(ratio "${r[1]}" "${r[4]}")"
done

echo
echo "== fixtures x100 beside unzip, wall ms (best of $runs)"
printf "%-16s %8s %8s %10s\n" case ours unzip ours/unzip
for f in SHRINK.ZIP IMP8K3T.ZIP IMP4K2T.ZIP; do
    a="$fixtures/$f"
    o=$(best_ms repeat 100 ours "$a"); u=$(best_ms repeat 100 unzip_ "$a")
    printf "%-16s %8s %8s %10s\n" "$f" "$o" "$u" "$(ratio "$o" "$u")"
done
rm -rf "$out"
