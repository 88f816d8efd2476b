#!/usr/bin/env bash
# fuzz/run.sh SECONDS: runs every fuzz target for SECONDS, keeps crashing
# inputs under fuzz/crashes/ and replays the kept regression inputs first.
set -euo pipefail
secs=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
dir="$root/build-fuzz"
if [ ! -f "$dir/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DAURIGON_FUZZ=ON -DAURIGON_CORE_ONLY=ON -DAURIGON_BENCH=OFF >/dev/null
fi
cmake --build "$dir" -j"$(nproc)"
mkdir -p "$root/fuzz/crashes"
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1
status=0
for t in line date settings read plot scanload script; do
  corpus="$root/fuzz/corpus/$t"
  mkdir -p "$corpus"
  seeds="$root/fuzz/regressions/$t"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  log="$dir/fuzz_$t.log"
  if "$dir/fuzz/fuzz_$t" -max_total_time="$secs" -max_len=65536 -timeout=10 \
       -artifact_prefix="$root/fuzz/crashes/$t-" -print_final_stats=1 "${args[@]}" >"$log" 2>&1; then
    execs=$(grep -m1 'stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "fuzz_$t: ${execs:-?} executions, nothing found"
  else
    echo "fuzz_$t: FOUND A FAULT, see $log and fuzz/crashes/"
    status=1
  fi
done
exit $status
