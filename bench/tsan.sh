#!/usr/bin/env bash
# bench/tsan.sh: the many-studies batch under ThreadSanitizer. Builds the
# program and its tests with -fsanitize=thread in build-tsan, runs the batch
# tests (--study-list on forked workers, each drawing with Qt's threads), the
# count of a long price file's lines (on two threads) and one --study-list
# run of 50 studies, and fails on any race reported, in the run itself or in
# any of its workers. Not part of ./test.sh: the build alone
# takes longer than that stage may.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build="$root/build-tsan"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAURIGON_TSAN=ON \
    -DAURIGON_BENCH=OFF > /dev/null
fi
cmake --build "$build" -j"$(nproc)" --target aurigon widget_tests core_tests

work=$(mktemp -d)
trap 'status=$?; [ $status -eq 0 ] && rm -rf "$work" || echo "tsan.sh: reports kept in $work/reports" >&2' EXIT
mkdir "$work/reports"
# Each process (a worker too) writes its reports to a file of its own, so
# that a race in a worker is seen although the run's status does not show it.
export TSAN_OPTIONS="log_path=$work/reports/tsan suppressions=$root/bench/tsan.supp second_deadlock_stack=1 history_size=4"
export QT_QPA_PLATFORM=offscreen

echo "== The batch tests under ThreadSanitizer =="
"$build/tests/widget_tests" --gtest_filter='Batch.*'

echo "== A long file's lines counted on two threads under ThreadSanitizer =="
"$build/tests/core_tests" --gtest_filter='LineReaderCount.*:LineEnds.*'

echo "== 50 studies in one run under ThreadSanitizer =="
mkdir "$work/list"
cd "$work/list"
# Files of different lengths ending on the same day, so that the figure
# drawn on the first is on every chart.
for i in $(seq 0 49); do
  { head -n 1 "$root/samples/sample.txt"; tail -n $((1200 + 20 * i)) "$root/samples/sample.txt"; } > "p$i.txt"
done
# Figure 4 (extensions): its long slanted lines are filled by Qt's thread
# pool, so every worker draws with threads.
printf 'ack\npress FileBtn\nopen p0.txt\npress PlotBtn\npress P1Btn\nclick 300 300\npress P2Btn\nclick 400 200\ntype 4\npress DrawBtn\nstudy save s0.aurigon\n' |
  "$build/aurigon" --script - > /dev/null
for i in $(seq 1 49); do
  sed "s/\"p0.txt\"/\"p$i.txt\"/" s0.aurigon > "s$i.aurigon"
done
ls s*.aurigon > studies.txt
"$build/aurigon" --study-list studies.txt --image-dir charts --jobs 4
[ "$(ls charts | wc -l)" -eq 50 ] || { echo "tsan.sh: not every chart was drawn" >&2; exit 1; }

if compgen -G "$work/reports/tsan*" > /dev/null; then
  cat "$work"/reports/tsan* >&2
  echo "tsan.sh: ThreadSanitizer reported the above" >&2
  exit 1
fi
echo "== No race reported =="
