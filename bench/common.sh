# Timing, memory and instruction-count helpers shared by the extraction benchmarks; sourced, not
# run. The caller sets `out` (a scratch folder, emptied before every run; each measured command
# runs in it, so peers that extract only into the current folder need no wrapper) and `runs`.

# Best wall time in milliseconds of `runs` runs of a command.
best_ms() {
    local best=""
    for _ in $(seq "$runs"); do
        rm -rf "$out" && mkdir -p "$out"
        local t0 t1
        t0=$(date +%s%N)
        (cd "$out" && "$@") >/dev/null 2>&1 || true
        t1=$(date +%s%N)
        local ms=$(((t1 - t0) / 1000000))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }

# Peak resident memory in KB (GNU time) of one run.
peak_kb() {
    rm -rf "$out" && mkdir -p "$out"
    (cd "$out" && /usr/bin/time -f %M -o "$out.peak" "$@") >/dev/null 2>&1 || true
    tail -1 "$out.peak"
}

# Instructions of one run of a whole process (cachegrind without the cache simulation).
irefs() {
    rm -rf "$out" && mkdir -p "$out"
    (cd "$out" && valgrind --tool=cachegrind --cache-sim=no --cachegrind-out-file=/dev/null "$@") 2>&1 >/dev/null |
        awk '/I *refs:/ { gsub(",", "", $4); print $4 }'
}
