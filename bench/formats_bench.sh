#!/usr/bin/env bash
# orvello-arc extract beside the peers in one run, one member per archive:
#   LHA -lh5-, -lh6- and -lh7- (written by jLHA) against lhasa and bsdtar,
#   ARJ methods 1 and 4 (arj 3.10) against arj and 7zz,
#   ARC crunched (8) and squashed (9) (arc 5.21) against arc and nomarch.
# For each: the best wall time of several runs and the ratios, and the peak memory of each tool,
# on a 64 MB ROM-like member; instructions per output byte (cachegrind, whole process) on an
# 8 MB member of the same kind, so that the slowest peers finish under valgrind in minutes.
# The payloads come from a seeded generator (repeats at many distances, code-like bytes), so
# every run measures the same bytes.
# Usage: bench/formats_bench.sh [BUILD_DIR]   (a build with orvello-arc, Release)
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/common.sh
build=${1:-build-bench}
runs=${RUNS:-3}
tool="$PWD/$build/orvello-arc"
data="$PWD/$build/formats-data"
out="$data/out"
mkdir -p "$data"

# The peers and archivers, installed when missing (benchmarks only; the tests do not need them).
need=()
command -v arj >/dev/null || need+=(arj)
command -v 7zz >/dev/null || need+=(7zip)
command -v arc >/dev/null || need+=(arc)
command -v nomarch >/dev/null || need+=(nomarch)
command -v lha >/dev/null || need+=(lhasa)
command -v jlha >/dev/null || need+=(jlha-utils)
command -v bsdtar >/dev/null || need+=(libarchive-tools)
command -v valgrind >/dev/null || need+=(valgrind)
if [ ${#need[@]} -gt 0 ]; then apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null; fi

# make_payload FILE MB
make_payload() {
    python3 - "$1" "$2" <<'PY'
import random, sys
rng = random.Random(10)
n = int(sys.argv[2]) << 20
out = bytearray()
while len(out) < n:
    if len(out) > 64 and rng.random() < 0.33:
        d = 1 + rng.randrange(min(len(out), 15000))
        for _ in range(3 + rng.randrange(60)):
            out.append(out[-d])
    else:
        out.append(rng.randrange(256) if rng.random() < 0.15 else rng.randrange(16) * 16 + 10)
open(sys.argv[1], "wb").write(out[:n])
PY
}

# archives DIR MB: the payload and its seven archives in DIR.
archives() {
    local dir=$1
    mkdir -p "$dir"
    (
        cd "$dir"
        [ -f ROM.BIN ] || make_payload ROM.BIN "$2"
        for m in 5 6 7; do [ -f L$m.LZH ] || jlha ao${m}q L$m.LZH ROM.BIN >/dev/null; done
        for m in 1 4; do [ -f M$m.ARJ ] || arj a -y -i -m$m M$m.ARJ ROM.BIN >/dev/null; done
        # arc 5.21 picks the method: crunching (8) for this payload, squashing (9) with q.
        [ -f C8.ARC ] || arc a C8.ARC ROM.BIN >/dev/null
        [ -f S9.ARC ] || arc aq S9.ARC ROM.BIN >/dev/null
        arc v C8.ARC | grep -q Crunched && arc v S9.ARC | grep -q Squashed
    )
}
archives "$data/64" 64
archives "$data/8" 8

per_byte() { awk -v i="$1" -v n="$2" 'BEGIN { printf "%.1f", i / n }'; }
# check PAYLOAD COMMAND...: the one file the command extracts must be the payload (jLHA writes the
# name in lower case), or the benchmark stops.
check() {
    local payload=$1
    shift
    rm -rf "$out" && mkdir -p "$out"
    (cd "$out" && "$@") >/dev/null 2>&1 || true
    local files
    files=$(find "$out" -type f)
    if [ "$(echo "$files" | wc -l)" != 1 ] || ! cmp -s "$files" "$payload"; then
        echo "$* did not extract the payload" >&2
        exit 1
    fi
}

big=$(stat -c %s "$data/64/ROM.BIN")
small=$(stat -c %s "$data/8/ROM.BIN")
echo "wall time: best of $runs (ms), $big-byte member; peak memory (KB), same member;"
echo "instructions per output byte: $small-byte member"
printf '| case | peers | ours ms | peer 1 ms | peer 2 ms | ours/1 | ours/2 | ours i/B | 1 i/B | 2 i/B | ours KB | 1 KB | 2 KB |\n'
printf '|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n'
# row CASE ARCHIVE PEER1 PEER2: each peer a command line that extracts the archive named after
# it into the current folder.
row() {
    local name=$1 a=$2 p1=$3 p2=$4
    local A="$data/64/$a" S="$data/8/$a"
    local o p q
    check "$data/64/ROM.BIN" "$tool" extract "$A" .
    check "$data/64/ROM.BIN" $p1 "$A"
    check "$data/64/ROM.BIN" $p2 "$A"
    o=$(best_ms "$tool" extract "$A" .)
    p=$(best_ms $p1 "$A")
    q=$(best_ms $p2 "$A")
    printf '| %s | %s; %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$name" "$p1" "$p2" \
        "$o" "$p" "$q" "$(ratio "$o" "$p")" "$(ratio "$o" "$q")" \
        "$(per_byte "$(irefs "$tool" extract "$S" .)" "$small")" \
        "$(per_byte "$(irefs $p1 "$S")" "$small")" "$(per_byte "$(irefs $p2 "$S")" "$small")" \
        "$(peak_kb "$tool" extract "$A" .)" "$(peak_kb $p1 "$A")" "$(peak_kb $p2 "$A")"
}
row "LHA -lh5-" L5.LZH "lha -xqf" "bsdtar -xf"
row "LHA -lh6-" L6.LZH "lha -xqf" "bsdtar -xf"
row "LHA -lh7-" L7.LZH "lha -xqf" "bsdtar -xf"
row "ARJ method 1" M1.ARJ "arj e -y" "7zz e -y"
row "ARJ method 4" M4.ARJ "arj e -y" "7zz e -y"
row "ARC crunched 8" C8.ARC "arc x" "nomarch"
row "ARC squashed 9" S9.ARC "arc x" "nomarch"
rm -rf "$out" "$out.peak"
