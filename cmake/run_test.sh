#!/bin/sh
# Runs one test with a fresh, private home: per-user folder, config folder
# and the simulated mouse's flash never leak from one run into the next.
home="$1"; shift
rm -rf "$home" && mkdir -p "$home/data" "$home/config" "$home/run" && chmod 700 "$home/run"
export HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
export QT_QPA_PLATFORM=offscreen TALVO_SIM_BUS_US=${TALVO_SIM_BUS_US:-0}
exec "$@"
