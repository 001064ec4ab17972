#!/usr/bin/env bash
# Builds the form file fuzzer (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs it for the given time, then prints the
# inputs run, the time and the peak memory. Findings land in <build>/findings.
#
# Usage: tests/fuzz/run_fuzzer.sh [SECONDS] [BUILD_DIR]   (600 s, build-fuzz)
# The exit status is the fuzzer's: 0 when nothing was found.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-600}
build=${2:-build-fuzz}

if [ ! -f "$build/CMakeCache.txt" ]; then
  # clang does not know g++'s -Wshadow=local; the warning about it is noise.
  CXX=clang++ cmake -S . -B "$build" -DTAVO_FUZZ=ON -DTAVO_QT=OFF -DTAVO_TESTS=OFF -DTAVO_BENCH=OFF \
    -DCMAKE_CXX_FLAGS=-Wno-unknown-warning-option >/dev/null
fi
cmake --build "$build" --target fuzz_form_reader -j2 >/dev/null

# The first folder collects new inputs; the seed corpus is only read.
mkdir -p "$build/corpus" "$build/findings"
log="$build/findings/run.log"
status=0
/usr/bin/time -v "$build/bin/fuzz_form_reader" "$build/corpus" tests/fuzz/corpus \
  -dict=tests/fuzz/form_reader.dict -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$build/findings/" >"$log" 2>&1 || status=$?

inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
rss=$(sed -n 's/^\tMaximum resident set size (kbytes): *//p' "$log")
wall=$(sed -n 's/^\tElapsed (wall clock) time (h:mm:ss or m:ss): *//p' "$log")
echo "inputs: ${inputs:-?}  time: ${wall:-?}  peak memory: $((${rss:-0} / 1024)) MiB  status: $status"
if [ "$status" -ne 0 ]; then
  grep -E "^==[0-9]+==ERROR|SUMMARY|Test unit written|deadly signal" "$log" || tail -20 "$log"
fi
exit "$status"
