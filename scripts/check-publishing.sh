#!/usr/bin/env bash
# check-publishing.sh ROOT: every handler a caller may run on ChartSession
# (its public methods that are not const) opens with the Publishing guard, so
# that the window follows whoever calls it and no caller publishes by hand.
set -uo pipefail
cd "${1:-.}/app/session"
names=$(awk '/^public:/{p=1} /^Q_SIGNALS:/{p=0} p' ChartSession.h |
          grep -vE '^\s*//|\) const|\bstatic\b|^\s*(explicit|~)' |
          grep -oE '\b[A-Za-z_][A-Za-z0-9_]*\(' | tr -d '(' | sort -u |
          grep -vxE 'ChartSession|publish')
awk -v names="$names" '
  BEGIN { split(names, list, "\n"); for (i in list) want[list[i]] = 1 }
  /^[^ #\/].*ChartSession::[A-Za-z0-9_]+\(/ && !/;$/ {
    n = $0; sub(/.*ChartSession::/, "", n); sub(/\(.*/, "", n)
    if (n in want) { pending = n; at = FILENAME ":" FNR }
    next
  }
  pending != "" && $0 == "{" {
    getline
    if ($0 !~ /^    const Publishing publishing\(\*this\);$/) {
      print at ": " pending " does not open with the Publishing guard"
      bad = 1
    }
    pending = ""
  }
  END { exit bad }' ./*.cpp
status=$?
[ $status = 0 ] && echo "publishing: every handler holds the guard"
exit $status
