#!/bin/sh
# Renders every page of the configuration frame (button, macro, sensor and settings pages, the
# simulated mouse open) and every dialog in every language to PNG files under a virtual X display
# with a window manager, for review: <language index>-<page or dialog>.png. The same run checks
# that every text fits and every picture exists (the shell test tst_finish).
#   sh scripts/render_pages.sh [output folder]     (default: <build>/page-renders)
# BUILD_DIR names the build folder (default: build).
set -e
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
out="${1:-$build/page-renders}"
case "$out" in /*) ;; *) out="$(pwd)/$out" ;; esac
sh scripts/deps.sh
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target shell_tst_finish talvo_data
rm -rf "$out" && mkdir -p "$out"
home="$(mktemp -d)"
mkdir -p "$home/data" "$home/config" "$home/run" && chmod 700 "$home/run"
# openbox, where installed, places and decorates the windows as a desktop would.
HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" \
  TALVO_SIM_BUS_US=0 TALVO_RENDER_DIR="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
  'command -v openbox >/dev/null && { openbox & sleep 1; }; "$0" -silent; status=$?; exit $status' \
  "$(pwd)/$build/out/shell_tst_finish" || echo "the fit check failed; the pictures are written all the same"
rm -rf "$home"
echo "$(ls "$out" | wc -l) pictures in $out"
