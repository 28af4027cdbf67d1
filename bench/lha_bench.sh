#!/usr/bin/env bash
# Instructions per output byte of our LHA decoders beside lhasa and bsdtar, on the largest LHA
# fixture members, counted by valgrind (cachegrind without the cache simulation):
#   bench/lha_bench.sh BUILD_DIR        (a Release build with -DORVELLO_BENCH=ON)
# Each tool's start-up and header walk is taken off: ours is `lha_once ARCHIVE 1` less
# `lha_once ARCHIVE 0` (read and parse only); the peers' extraction to stdout less their
# listing of the same archive. bsdtar reads only -lh5- to -lh7-. lhasa is installed here when
# missing (a benchmark peer only).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
# The jLHA members are the repository's own fixtures; the LHarc and Amiga LHA archives are
# copied from other projects' test data and stay in the shared fixture folder, when present.
repo=$PWD/tests/fixtures/archives/lha
shared=${ORVELLO_SHARED_FIXTURES:-$(cd .. && pwd)/shared/fixtures}/archives/lha
command -v lha >/dev/null || apt-get install -y -q --no-install-recommends lhasa >/dev/null

irefs() {
    valgrind --tool=cachegrind --cache-sim=no --cachegrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*I *refs: *//p' | tr -d ,
}
per_byte() { awk -v a="$1" -v b="$2" -v n="$3" 'BEGIN { printf "%.2f", (a - b) / n }'; }

printf '| archive (method, bytes) | ours | lhasa | bsdtar | ours/lhasa | ours/bsdtar |\n'
printf '|---|---:|---:|---:|---:|---:|\n'
for spec in "lhaamiga122_lh4_long.lzh:-lh4-" "lharc113_long.lzh:-lh1-" "L0_LH5.LZH:-lh5-" \
            "LH67MIX.LZH:-lh6-/-lh7-/-lh5-"; do
    a=${spec%%:*} method=${spec#*:} f=$repo/$a
    [ -f "$f" ] || f=$shared/$a
    if [ ! -f "$f" ]; then
        printf '| %s (%s) | skipped: copied archive, not in %s |\n' "$a" "$method" "$shared"
        continue
    fi
    bytes=$("$build/lha_once" "$f" 1)
    total=$(lha -pq "$f" | wc -c)
    ours=$(per_byte "$(irefs "$build/lha_once" "$f" 1)" "$(irefs "$build/lha_once" "$f" 0)" "$bytes")
    lhasa=$(per_byte "$(irefs lha -pq "$f")" "$(irefs lha -l "$f")" "$total")
    if bsdtar -xOf "$f" >/dev/null 2>&1; then
        bsd=$(per_byte "$(irefs bsdtar -xOf "$f")" "$(irefs bsdtar -tf "$f")" "$total")
        r2=$(awk -v a="$ours" -v b="$bsd" 'BEGIN { printf "%.2f", a / b }')
    else
        bsd="(unsupported)" r2="-"
    fi
    r1=$(awk -v a="$ours" -v b="$lhasa" 'BEGIN { printf "%.2f", a / b }')
    printf '| %s (%s, %s) | %s | %s | %s | %s | %s |\n' "$a" "$method" "$bytes" "$ours" "$lhasa" "$bsd" "$r1" "$r2"
done
