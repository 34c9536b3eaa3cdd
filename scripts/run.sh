#!/bin/sh
# Installs, builds and starts the program on the simulated mouse.
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
exec build/out/talvo-r430k "$@"
