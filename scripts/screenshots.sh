#!/usr/bin/env bash
# screenshots.sh: renders the README's pictures from the real window under
# Xvfb: docs/screenshot-mono.png, docs/screenshot-color.png and
# docs/picked-figure(-mono).png (the window's contents), and with a window manager the screen at 1600x1000
# (docs/window-1600x1000.png), the window resized to 800x600
# (docs/window-800x600.png) and the screen at scale 2 (docs/window-scale2.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
need=()
for tool in openbox:openbox convert:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || need+=("${tool#*:}")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
"$root/scripts/build.sh" "$root/build"
mkdir -p "$root/docs"
shots="$root/build/make_screenshots"
xvfb-run -a -s "-screen 0 1600x1000x24" env QT_QPA_PLATFORM=xcb "$shots" "$root/samples" "$root/docs"
# A real screen with a window manager; each run its own settings folder.
with_wm() {
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1
    XDG_CONFIG_HOME=$(mktemp -d) QT_QPA_PLATFORM=xcb "$@"
    status=$?
    kill $wm
    exit $status' with_wm "$@"
}
with_wm "$shots" "$root/samples" "$root/docs" window-1600x1000.png window-800x600.png
with_wm env QT_SCALE_FACTOR=2 "$shots" "$root/samples" "$root/docs" window-scale2.png -
# Kept small: the window's few colours in a palette.
for f in "$root"/docs/window-*.png; do
  convert "$f" -dither None -colors 64 "PNG8:$f"
done
echo "Screenshots written to $root/docs"
