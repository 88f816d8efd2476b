#!/usr/bin/env bash
# check-layers.sh ROOT: what the include paths cannot keep out. An include of
# a higher layer already fails to compile (see the Layers tests); this checks
# that no source climbs out of its folder with "../", and that the core
# libraries use no widgets (Qt's include path would let <QtWidgets/...> through).
set -uo pipefail
cd "${1:-.}"
bad=0
hits=$(grep -rnE '#include "\.\./' data chart tools app --include='*.h' --include='*.cpp')
if [ -n "$hits" ]; then echo "includes by a relative path:"; echo "$hits"; bad=1; fi
for d in data chart tools; do
  hits=$(grep -rnE '#include <(QtWidgets/)?Q(Widget|Dialog|MainWindow|ToolBar|ToolButton|CheckBox|LineEdit|ComboBox|PushButton|Label|Menu|Application)\b' \
           "$d" --include='*.h' --include='*.cpp' | grep -v "^$d/ui/")
  if [ -n "$hits" ]; then echo "$d uses widgets outside $d/ui:"; echo "$hits"; bad=1; fi
done
[ $bad = 0 ] && echo "layers: no relative includes, no widgets in the core"
exit $bad
