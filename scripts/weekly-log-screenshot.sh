#!/usr/bin/env bash
# weekly-log-screenshot.sh: the whole screen (Xvfb 1600x1000 with openbox) in
# colour with a weekly log chart of 25 years and a spiral, written to
# docs/screenshots/weekly-log-spiral.png. The history is made here, the same
# on every run: a random walk from a fixed seed, a line a weekday.
# Needs a built build/aurigon, python3, xvfb-run, openbox and ImageMagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/docs/screenshots"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work/long.csv" <<'PY'
import datetime, math, random, sys
r = random.Random(1618)
d, end = datetime.date(2000, 1, 3), datetime.date(2025, 5, 30)
price, n = 12.0, 0
lines = ["Date,Open,High,Low,Close"]
while d <= end:
    if d.weekday() < 5 and (d.month, d.day) not in ((1, 1), (12, 25)):
        o = price
        c = o * math.exp(0.00045 + 0.0012 * math.sin(n / 700.0) + r.gauss(0, 0.017))
        h = max(o, c) * math.exp(abs(r.gauss(0, 0.008)))
        l = min(o, c) * math.exp(-abs(r.gauss(0, 0.008)))
        lines.append("%s,%.2f,%.2f,%.2f,%.2f" % (d.strftime("%m/%d/%Y"), o, h, l, c))
        price, n = c, n + 1
    d += datetime.timedelta(days=1)
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
PY

cat >"$work/s.txt" <<SCRIPT
ack
wait 1000
resize 1560 940
wait 500
press FileBtn
open "$work/long.csv"
dates FRecordEdit=1 LRecordEdit=6594
press PlotBtn
menu "View/Weekly"
menu "View/Log scale"
press P1Btn
click 1316 249
press P2Btn
click 1298 222
type 1
press DrawBtn
image ready.png
wait 4000
SCRIPT

xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
  cd "$1"
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  AURIGON_COLOR=1 XDG_CONFIG_HOME="$1/config" QT_QPA_PLATFORM=xcb "$3" --script s.txt >/dev/null 2>&1 &
  app=$!
  for _ in $(seq 1 300); do [ -f ready.png ] && break; sleep 0.1; done
  sleep 1.5
  import -window root "$2"
  wait $app
  kill $wm' shoot "$work" "$out/weekly-log-spiral.png" "$root/build/aurigon"
convert "$out/weekly-log-spiral.png" -dither None -colors 64 "PNG8:$out/weekly-log-spiral.png"
echo "Screenshot written to $out/weekly-log-spiral.png"
