#!/bin/sh
# Renders the device choice page and the configuration frame on the simulated mouse to PNG files
# under a virtual X display, for review: shots/<language>/choice.png and frame.png.
#   sh scripts/render_shell.sh [output folder] [language indexes...]   (default: shots, all six)
# BUILD_DIR names the build folder (default: build, as scripts/run.sh).
set -e
cd "$(dirname "$0")/.."
out="${1:-shots}"
[ $# -gt 0 ] && shift
langs="${*:-0 1 2 3 4 5}"
sh scripts/deps.sh
build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target bench_open_device talvo_data
mkdir -p "$out"
out="$(cd "$out" && pwd)"
for lang in $langs; do
  home="$(mktemp -d)"
  HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" TALVO_SIM_BUS_US=0 \
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build"/out/bench_open_device --render "$out/$lang" --language "$lang"
  rm -rf "$home"
done
echo "PNG files in $out"
