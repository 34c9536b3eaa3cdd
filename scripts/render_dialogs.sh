#!/bin/sh
# Renders every notice, confirmation and entry dialog in every language to PNG
# files, offscreen, for review.
#   scripts/render_dialogs.sh [output folder]     (default: <build>/dialog-renders)
# BUILD_DIR picks the build folder (default: build).
# Files are named <language index>-<dialog>[-<state>].png.
set -e
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
out="${1:-$build/dialog-renders}"
case "$out" in /*) ;; *) out="$(pwd)/$out" ;; esac
sh scripts/deps.sh
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(nproc)" --target dialogs_tst_render
rm -rf "$out" && mkdir -p "$out"
TALVO_RENDER_DIR="$out" sh cmake/run_test.sh "$(pwd)/$build/testhome/render_dialogs" "$build/out/dialogs_tst_render" -silent
echo "$(ls "$out" | wc -l) pictures in $out"
