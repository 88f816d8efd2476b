#!/usr/bin/env bash
# bench/run.sh: builds in Release and prints the timings against their
# yardsticks and targets. Extra arguments go to the benchmark program
# (for example --benchmark_filter=BatchChart).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
# gnuplot is the yardstick of the batch chart.
if ! dpkg-query -W -f='${Status}' gnuplot-nox 2>/dev/null | grep -q "install ok installed"; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends gnuplot-nox
fi
cmake -S "$root" -B "$root/build-bench" -DCMAKE_BUILD_TYPE=Release -DAURIGON_CORE_ONLY=OFF > /dev/null
cmake --build "$root/build-bench" -j"$(nproc)" --target aurigon aurigon_bench
out="$root/build-bench/bench.json"
QT_QPA_PLATFORM=offscreen "$root/build-bench/bench/aurigon_bench" --benchmark_format=json \
  --benchmark_out="$out" --benchmark_out_format=json "$@" > /dev/null 2> "$root/build-bench/bench.log"
# Fails when a goal is missed (or, on a whole run, not measured).
python3 "$root/bench/table.py" "$out" ${1:+--partial}
