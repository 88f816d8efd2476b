#!/usr/bin/env bash
# check-format.sh [ROOT]: every C++ file of the program and its tests is laid
# out as the repository's .clang-format asks. Files the build generates
# (build*/) and the fuzzers' corpora are not ours to format.
set -uo pipefail
cd "${1:-.}"
fmt=""
for c in clang-format-14 clang-format; do
  command -v "$c" >/dev/null 2>&1 && { fmt=$c; break; }
done
if [ -z "$fmt" ]; then echo "check-format: clang-format is not installed (scripts/setup.sh installs it)"; exit 1; fi
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find data chart tools app tests fuzz bench scripts -name '*.cpp' -o -name '*.h')
if [ ${#files[@]} -eq 0 ]; then echo "check-format: no files found"; exit 1; fi
if "$fmt" --dry-run -Werror "${files[@]}"; then
  echo "format: ${#files[@]} files as .clang-format asks"
else
  echo "check-format: run '$fmt -i' on the files above"; exit 1
fi
