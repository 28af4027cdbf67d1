#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build folder for a bounded time:
#   scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]
# Each starts from the repository's fixture archives and its own seeds (and its saved corpus
# under the build folder), and fails on the first crash, hang, leak or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")/.."
# Absolute paths: a target may move its current folder (extraction does), and libFuzzer
# writes new corpus entries by the paths it was given.
dir=$(cd "$1" && pwd)
seconds=$2
shift 2
fixtures=$PWD/tests/fixtures
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(find "$dir" -maxdepth 1 -type f -name 'fuzz_*' -executable -printf '%f\n' | sort)
fi
for t in "${targets[@]}"; do
    corpus="$dir/corpus-$t"
    mkdir -p "$corpus"
    seeds=()
    [ -d "fuzz/seeds/$t" ] && seeds+=("$PWD/fuzz/seeds/$t")
    # libFuzzer takes folders only: the fixture folders, not the README beside them.
    for d in "$fixtures/archives"/*/; do seeds+=("${d%/}"); done
    echo "-- $t for ${seconds}s"
    "$dir/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=262144 -artifact_prefix="$dir/" \
        -print_final_stats=1 "$corpus" "${seeds[@]}" 2>&1 | tail -n 12
    test "${PIPESTATUS[0]}" -eq 0
done
