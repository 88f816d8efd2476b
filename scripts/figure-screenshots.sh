#!/usr/bin/env bash
# figure-screenshots.sh: the whole screen (Xvfb 1600x1000 with openbox) with
# three Clip-kept figures after a Left, and with a picked figure and its
# handles, each in one bit and in colour, written to docs/screenshots/.
# Needs a built build/aurigon, xvfb-run, openbox and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/docs/screenshots"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

figures() {
  cat <<SCRIPT
ack
wait 1000
resize 1500 900
wait 500
press FileBtn
open "$root/samples/sample.txt"
dates FRecordEdit=2200 LRecordEdit=2600 NdayEdit=30
press PlotBtn
$1
press P1Btn
click 830 350
press P2Btn
click 960 190
type 4
press DrawBtn
press ClipButton
press P1Btn
click 700 200
press P2Btn
click 880 400
type 5
press DrawBtn
press ClipButton
press P1Btn
click 650 470
press P2Btn
click 960 190
type 6
press DrawBtn
$2
menu "View/Figures"
image ready.png
wait 4000
SCRIPT
}
figures "" $'press ClipButton\nperiod 65\npress LeftBtn' >"$work/kept-after-left.txt"
figures 'menu "View/Level values"' $'key V\nselect 2\nmove 400 300' >"$work/picked-figure.txt"

# One run: the program on a screen with a window manager, the screen taken
# once the script has drawn everything (it writes ready.png, then waits).
shoot() {
  local script=$1 png=$2 colour=$3
  local run
  run=$(mktemp -d -p "$work")
  cp "$script" "$run/s.txt"
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    cd "$1"
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1
    AURIGON_COLOR=$3 XDG_CONFIG_HOME="$1/config" QT_QPA_PLATFORM=xcb "$4" --script s.txt >/dev/null 2>&1 &
    app=$!
    for _ in $(seq 1 300); do [ -f ready.png ] && break; sleep 0.1; done
    sleep 1.5
    import -window root "$2"
    wait $app
    kill $wm' shoot "$run" "$png" "$colour" "$root/build/aurigon"
  convert "$png" -dither None -colors 64 "PNG8:$png"
}
for name in kept-after-left picked-figure; do
  shoot "$work/$name.txt" "$out/$name-mono.png" 0
  shoot "$work/$name.txt" "$out/$name-color.png" 1
done
echo "Screenshots written to $out"
