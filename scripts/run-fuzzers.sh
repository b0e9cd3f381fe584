#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each from its seed corpus.
# Usage: scripts/run-fuzzers.sh [seconds per target, default 60]
# New inputs go to build/fuzz/corpus/<target>; crashes to build/fuzz/crashes/<target>.
# A crash found becomes a regression test: copy the input into tests/fuzz/corpus/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
# The targets write their input to scratch files and save networks, and every save
# syncs; in memory that costs nothing, on a disk it makes each run several times slower.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
scripts/install-deps.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target fuzz_training_data fuzz_network_file \
    fuzz_grid_cell fuzz_parameter_text fuzz_recall fuzz_network_kind \
    fuzz_import_csv fuzz_import_fann fuzz_import_snns
status=0
for target in training_data network_file grid_cell parameter_text recall network_kind \
    import_csv import_fann import_snns; do
    work="build/fuzz/corpus/$target"
    crashes="build/fuzz/crashes/$target"
    mkdir -p "$work" "$crashes"
    echo "== fuzz_$target for ${seconds}s"
    if ! "build/fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=65536 \
        -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$crashes/" -print_final_stats=1 \
        "$work" "tests/fuzz/corpus/$target" 2>&1 | grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|Done)'; then
        :
    fi
    if ls "$crashes"/* >/dev/null 2>&1; then
        echo "fuzz_$target found crashing inputs in $crashes" >&2
        status=1
    fi
done
exit $status
