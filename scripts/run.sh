#!/bin/sh
# Installs, builds and starts the program on the simulated mouse.
set -e
# A relative path names a file from the folder the command was typed in, as the
# program itself takes it; this script works from the repository root.
case "${TALVO_SIM_SCENARIO:-}" in ""|/*) ;; *) export TALVO_SIM_SCENARIO="$PWD/$TALVO_SIM_SCENARIO" ;; esac
case "${TALVO_SIM_STATE:-}" in ""|/*) ;; *) export TALVO_SIM_STATE="$PWD/$TALVO_SIM_STATE" ;; esac
# Through the link's target: started as a link from another folder (~/bin), the tree is the
# script's own, not the link's.
cd "$(dirname "$(readlink -f "$0")")/.."
# The start-up test stops here, to see the paths the program would be given.
if [ -n "${TALVO_RUN_SHOW_PATHS:-}" ]; then
  printf '%s\n' "$TALVO_SIM_SCENARIO" "$TALVO_SIM_STATE"
  exit 0
fi
sh scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only the program and the data it ships beside itself; scripts/test.sh builds the rest.
cmake --build build -j"$(nproc)" --target talvo-r430k
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
  # No screen to draw on (a fresh server or container): run on a virtual one
  # rather than abort.
  echo "run.sh: no display found; starting on a virtual X display (xvfb-run)" >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/out/talvo-r430k "$@"
fi
exec build/out/talvo-r430k "$@"
