#!/usr/bin/env bash
# orvello-arc extract beside the peers in one run: ARJ methods 1 and 4 against arj and 7zz,
# ARC crunched (8) and squashed (9) against arc and nomarch. For each case: best wall time of
# several runs and the ratios, instructions per output byte (cachegrind) and peak memory
# (GNU time) of our tool. The payload is a 64 MB ROM-like file (repeats at many distances,
# code-like bytes), made by a seeded generator, so every run measures the same bytes.
# Usage: bench/arj_arc_bench.sh [BUILD_DIR]   (a build with orvello-arc, Release or RelWithDebInfo)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=${RUNS:-3}
mb=${MB:-64}
tool="$PWD/$build/orvello-arc"
data="$PWD/$build/arj-arc-data"
mkdir -p "$data"

# The peers, installed when missing (benchmarks only; the tests do not need them).
need=()
command -v arj >/dev/null || need+=(arj)
command -v 7zz >/dev/null || need+=(7zip)
command -v arc >/dev/null || need+=(arc)
command -v nomarch >/dev/null || need+=(nomarch)
command -v valgrind >/dev/null || need+=(valgrind)
if [ ${#need[@]} -gt 0 ]; then apt-get install -y -qq "${need[@]}" >/dev/null; fi

if [ ! -f "$data/ROM.BIN" ]; then
    python3 - "$data/ROM.BIN" "$mb" <<'PY'
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
fi
size=$(stat -c %s "$data/ROM.BIN")
(cd "$data" && for m in 1 4; do [ -f M$m.ARJ ] || arj a -y -i -m$m M$m.ARJ ROM.BIN >/dev/null; done)
# arc 5.21 picks the method; crunching (8) is its default, squashing (9) its q option.
(cd "$data" && { [ -f C8.ARC ] || arc a C8.ARC ROM.BIN >/dev/null; } && { [ -f S9.ARC ] || arc aq S9.ARC ROM.BIN >/dev/null; })

out="$data/out"
best_ms() {
    local best=""
    for _ in $(seq "$runs"); do
        rm -rf "$out" && mkdir -p "$out"
        local t0 t1
        t0=$(date +%s%N)
        "$@" >/dev/null 2>&1 || true
        t1=$(date +%s%N)
        local ms=$(((t1 - t0) / 1000000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}
ours() { "$tool" extract "$1" "$out"; }
arj_() { (cd "$out" && arj e -y "$1"); }
szz() { 7zz e -y -o"$out" "$1"; }
arc_() { (cd "$out" && arc x "$1"); }
nomarch_() { (cd "$out" && nomarch "$1"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }
ipb() {  # instructions per output byte of one extraction
    rm -rf "$out" && mkdir -p "$out"
    local f="$data/cg.out"
    valgrind --tool=cachegrind --cache-sim=no --cachegrind-out-file="$f" "$@" >/dev/null 2>&1 || true
    local ir
    ir=$(grep -m1 '^summary:' "$f" | awk '{print $2}')
    awk -v i="$ir" -v n="$size" 'BEGIN { printf "%.1f", i / n }'
}
peak_kb() {
    rm -rf "$out" && mkdir -p "$out"
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1
}

echo "payload: $size bytes; wall time best of $runs (ms)"
printf "%-8s %8s %8s %8s %10s %10s %10s %10s %12s\n" case ours peer1 peer2 ours/p1 ours/p2 "ours i/B" "p1 i/B" "ours peakKB"
for m in 1 4; do
    a="$data/M$m.ARJ"
    o=$(best_ms ours "$a"); p=$(best_ms arj_ "$a"); q=$(best_ms szz "$a")
    printf "%-8s %8s %8s %8s %10s %10s %10s %10s %12s\n" "arj m$m" "$o" "$p" "$q" "$(ratio "$o" "$p")" \
        "$(ratio "$o" "$q")" "$(ipb ours "$a")" "$(ipb arj_ "$a")" "$(peak_kb ours "$a")"
done
for c in C8 S9; do
    a="$data/$c.ARC"
    o=$(best_ms ours "$a"); p=$(best_ms arc_ "$a"); q=$(best_ms nomarch_ "$a")
    printf "%-8s %8s %8s %8s %10s %10s %10s %10s %12s\n" "arc $c" "$o" "$p" "$q" "$(ratio "$o" "$p")" \
        "$(ratio "$o" "$q")" "$(ipb ours "$a")" "$(ipb arc_ "$a")" "$(peak_kb ours "$a")"
done
