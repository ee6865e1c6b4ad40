#!/usr/bin/env bash
# ./dev fuzz [TARGET...]: builds the libFuzzer targets of tests/fuzz/ with clang
# (coverage hooks, AddressSanitizer, UBSan) in build-fuzz/ and fuzzes each for
# FUZZ_SECONDS (default 60). The kept corpus tests/fuzz/corpus/<target>/ seeds
# a working corpus in build-fuzz/corpus/<target>/; crashing inputs land in
# build-fuzz/crashes/. Copy one into tests/fuzz/corpus/<target>/ once fixed:
# the normal suite (test_fuzz_corpus) then runs it for good.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
dir="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-60}"
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(input_script command_line module)

CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPALENDRO_FUZZ=ON >/dev/null
cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$dir/crashes"
status=0
for t in "${targets[@]}"; do
    mkdir -p "$dir/corpus/$t"
    log="$dir/fuzz_$t.log"
    echo "== $t: ${seconds} s"
    if ASAN_OPTIONS=detect_leaks=0 "$dir/tests/fuzz/fuzz_$t" -max_total_time="$seconds" \
        -max_len=4096 -timeout=10 -print_final_stats=1 -artifact_prefix="$dir/crashes/$t-" \
        "$dir/corpus/$t" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1; then
        :
    else
        status=1
        echo "$t: FOUND A CRASH (see $log)"
        grep -E 'ERROR|fuzz check failed|Test unit written' "$log" | head -5
    fi
    grep -E '^stat::number_of_executed_units|^stat::new_units_added|^stat::peak_rss_mb' "$log" |
        sed "s/^/$t /"
    echo "$t corpus: $(ls "$dir/corpus/$t" | wc -l) inputs"
done
exit $status
