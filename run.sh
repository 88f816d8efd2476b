#!/usr/bin/env bash
# ./run.sh [PRICEFILE]: set up, build and start Aurigon.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
bin="$root/build/aurigon"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$bin" "${1:-$root/samples/sample.txt}"
fi
out="$root/build/demo"
mkdir -p "$out"
echo "No display: running samples/demo.script headless in $out"
cd "$out"
sed "s|@SAMPLES@|$root/samples|g" "$root/samples/demo.script" | QT_QPA_PLATFORM=offscreen "$bin" --script - > "$out/events.jsonl"
echo "Chart images written to $out:"
ls -1 "$out"/*.bmp "$out"/*.png "$out"/*.pdf 2>/dev/null || true
