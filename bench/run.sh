#!/usr/bin/env bash
# bench/run.sh: builds in Release and prints the timings against their floors and targets.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DAURIGON_CORE_ONLY=ON
out="$root/build-bench/bench.json"
"$root/build-bench/bench/aurigon_bench" --benchmark_format=json --benchmark_out="$out" \
  --benchmark_out_format=json "$@" > /dev/null
python3 "$root/bench/table.py" "$out"
