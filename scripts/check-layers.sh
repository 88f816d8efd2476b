#!/usr/bin/env bash
# check-layers.sh ROOT: every include points down the layers
# (data/ <- chart/ <- tools/ <- app/; app/GloVar.h is shared by all).
set -uo pipefail
cd "${1:-.}"
bad=0
check() { # folder, forbidden include pattern
  local hits
  hits=$(grep -rnE "#include \"($2)" "$1" --include='*.h' --include='*.cpp' | grep -v 'app/GloVar.h')
  if [ -n "$hits" ]; then
    echo "$1 includes a higher layer:"; echo "$hits"; bad=1
  fi
}
check data 'app/|chart/|tools/'
check chart 'app/|tools/'
check tools 'app/'
# The core libraries need QtGui only.
for d in data chart tools; do
  hits=$(grep -rnE '#include <Q(Widget|Dialog|MainWindow|ToolBar|ToolButton|CheckBox|LineEdit|ComboBox|PushButton|Label|Menu|Application)\b' \
           "$d" --include='*.h' --include='*.cpp' | grep -v "^$d/ui/")
  if [ -n "$hits" ]; then echo "$d uses widgets outside $d/ui:"; echo "$hits"; bad=1; fi
done
[ $bad = 0 ] && echo "layers: every include points downward"
exit $bad
