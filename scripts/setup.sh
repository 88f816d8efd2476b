#!/usr/bin/env bash
# Installs what the build needs, only when something is missing. The chart's
# fonts are the program's own; fonts-dejavu-core gives the window a font.
set -euo pipefail
pkgs=(qt6-base-dev libfontconfig-dev libxcb1-dev cmake g++ make libgtest-dev libbenchmark-dev xvfb xauth
      fonts-dejavu-core clang libclang-rt-14-dev clang-format
      desktop-file-utils appstream dpkg-dev gzip qt6-svg-dev poppler-utils)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
