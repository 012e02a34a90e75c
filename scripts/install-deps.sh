#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the benchmarks need.
set -euo pipefail
packages=(
  cmake ninja-build g++ pkg-config git
  binutils  # nm, for scripts/check-link-floors.py
  python3  # scripts/check-floors.py, the include check of the program's floors
  clang-format  # scripts/check-format.sh, the check of the sources against .clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins fonts-wqy-microhei xvfb
  qt6-translations-l10n  # Qt's own Chinese texts for its stock dialogs (font chooser)
  xdotool  # real pointer clicks in the message-box check on a virtual display
  openbox  # the window manager the real-display tests run under, besides a bare display
  libxcb1-dev  # the real-display tests read the X server's stacking order and properties
  x11-utils  # the two-program test: xprop, to see a window manager take the display
  libssl-dev libcurl4-openssl-dev libasound2-dev libv4l-dev
  libx264-dev libswscale-dev libavcodec-dev libavutil-dev libopus-dev
  clang libclang-rt-dev  # the fuzz build: libFuzzer and the sanitizers of clang
  gdb  # scripts/on-xvfb.sh: the stacks of a real-display test that hangs
  stress-ng  # scripts/test.sh load: every core busy while the suite runs
  xdg-utils  # xdg-open: the pages the program opens go to the desktop's browser
  fonts-liberation2  # faces with the metrics of Times New Roman, Arial, Courier New
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
