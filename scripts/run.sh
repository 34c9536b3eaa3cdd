#!/bin/sh
# Installs, builds and starts the program on the simulated mouse.
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ] && [ -z "$QT_QPA_PLATFORM" ]; then
  # No screen to draw on (a fresh server or container): run on a virtual one
  # rather than abort.
  echo "run.sh: no display found; starting on a virtual X display (xvfb-run)" >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/out/talvo-r430k "$@"
fi
exec build/out/talvo-r430k "$@"
