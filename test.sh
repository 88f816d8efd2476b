#!/usr/bin/env bash
# ./test.sh: set up, build and run the whole test suite; then the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target
# for a short while (AURIGON_FUZZ_SECONDS, default 20; 0 skips it).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# ctest, then how many tests were skipped (those needing root say so in
# their output: device nodes, a small tmpfs for a full disk).
run_ctest() {
  local log status skipped
  log=$(mktemp)
  set +e
  (cd "$1" && shift && "$@" ctest --output-on-failure -j"$jobs") | tee "$log"
  status=${PIPESTATUS[0]}
  set -e
  skipped=$(grep -c '(Skipped)$' "$log" || true)
  echo "== $skipped test(s) skipped in $(basename "$1"); the reasons are in their output =="
  rm -f "$log"
  return "$status"
}

"$root/scripts/build.sh" "$root/build"
run_ctest "$root/build"

echo "== The window tests on a real X server (Xvfb) =="
xvfb-run -a -s "-screen 0 1600x1000x24" env QT_QPA_PLATFORM=xcb "$root/build/tests/window_tests"

echo "== Installing into a temporary folder and packaging =="
"$root/scripts/check-install.sh" "$root/build"

echo "== The suite again under ASan and UBSan =="
"$root/scripts/build.sh" "$root/build-asan" -DAURIGON_SANITIZE=ON -DAURIGON_BENCH=OFF
run_ctest "$root/build-asan" env ASAN_OPTIONS=abort_on_error=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

secs=${AURIGON_FUZZ_SECONDS:-20}
if [ "$secs" != 0 ]; then
  echo "== Fuzzing each target for ${secs}s =="
  "$root/fuzz/run.sh" "$secs"
fi
