#!/usr/bin/env bash
# Listing speed: orvello-arc list beside unzip -l and bsdtar -tf on one ZIP archive of
# 10,000 members, in one run. Wall time is the best of several runs of each tool; the
# instruction counts (valgrind's callgrind) do not depend on the load of the machine.
#
#   bench/list_bench.sh [BUILD_DIR] [RUNS]      (default build, 15 runs)
#
# The archive is generated once into BUILD_DIR/bench-list/ with bsdtar.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-15}
tool="$build/orvello-arc"
[ -x "$tool" ] || { echo "build $tool first (cmake --build $build)" >&2; exit 2; }

work="$build/bench-list"
archive="$work/members10k.zip"
if [ ! -f "$archive" ]; then
    echo "generating $archive"
    rm -rf "$work/src"
    mkdir -p "$work/src/roms"
    for i in $(seq -w 1 10000); do
        printf 'ROM %s of the bench set\n' "$i" >"$work/src/roms/GAME$i.SMC"
    done
    (cd "$work/src" && bsdtar --format zip --options zip:compression=store -cf ../members10k.zip roms)
    rm -rf "$work/src"
fi

# Best wall time of $runs runs, in milliseconds.
best_ms() {
    local best="" start end ms
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000 ))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    printf '%d.%03d' $((best / 1000)) $((best % 1000))
}

# Instructions executed, as callgrind counts them.
instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

# Sanity: all three see the 10,000 members.
[ "$("$tool" list "$archive" | tail -n 1)" = "total	10000" ] || { echo "orvello-arc miscounts" >&2; exit 1; }

names=("orvello-arc list" "unzip -l" "bsdtar -tf")
cmds=("$tool list $archive" "unzip -l $archive" "bsdtar -tf $archive")
declare -a wall ir
for k in 0 1 2; do
    # shellcheck disable=SC2086
    wall[$k]=$(best_ms ${cmds[$k]})
    if command -v valgrind >/dev/null; then
        # shellcheck disable=SC2086
        ir[$k]=$(instructions ${cmds[$k]})
    else
        ir[$k]=0
    fi
done

printf '%s: %s bytes, 10000 members; best of %s runs\n\n' "$archive" "$(stat -c %s "$archive")" "$runs"
printf '%-18s %12s %16s %12s %12s\n' "tool" "wall ms" "instructions" "wall ratio" "instr ratio"
for k in 0 1 2; do
    wr=$(awk -v a="${wall[0]}" -v b="${wall[$k]}" 'BEGIN { printf "%.2f", a / b }')
    ratio=$(awk -v a="${ir[0]}" -v b="${ir[$k]}" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
    printf '%-18s %12s %16s %12s %12s\n' "${names[$k]}" "${wall[$k]}" "${ir[$k]}" "$wr" "$ratio"
done
echo
echo "ratio = orvello-arc / that tool: below 1 means orvello-arc is faster"
