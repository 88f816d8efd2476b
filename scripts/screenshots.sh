#!/usr/bin/env bash
# screenshots.sh: renders docs/screenshot-mono.png and docs/screenshot-color.png
# from the real window under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
mkdir -p "$root/docs"
xvfb-run -a -s "-screen 0 1600x1000x24" env QT_QPA_PLATFORM=xcb \
  "$root/build/tests/make_screenshots" "$root/samples" "$root/docs"
echo "Screenshots written to $root/docs"
