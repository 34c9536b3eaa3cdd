#!/bin/sh
# Wall time of a newcomer's `sh scripts/run.sh` up to the program's window, on a fresh clone
# with nothing built and no compiler cache, then of a second start with nothing changed.
#   bench/first_run.sh [commit] [jobs]
# commit: what to clone (default HEAD of this repository); jobs: cores the build may use
# (default 4, the build runs pinned to them, since run.sh builds with $(nproc) jobs).
# Each start runs on a private virtual X display and with private per-user folders.
set -e
for tool in Xvfb xwininfo taskset; do
  command -v "$tool" >/dev/null || { echo "first_run.sh needs $tool (xvfb, x11-utils, util-linux)" >&2; exit 1; }
done
repo=$(cd "$(dirname "$0")/.." && pwd)
commit=${1:-HEAD}
jobs=${2:-4}
work=$(mktemp -d /tmp/talvo-first-run.XXXXXX)
trap 'if [ -n "${xvfb:-}" ]; then kill "$xvfb" 2>/dev/null || :; fi; rm -rf "$work"' EXIT
load=$(cut -d' ' -f1-3 /proc/loadavg)
git clone -q "$repo" "$work/clone"
git -C "$work/clone" checkout -q "$(git -C "$repo" rev-parse "$commit")"
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER CMAKE_BUILD_PARALLEL_LEVEL
mkdir -p "$work/data" "$work/config"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY TALVO_SIM_SCENARIO TALVO_SIM_STATE

display=:$((200 + $$ % 500))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
until xwininfo -root >/dev/null 2>&1; do sleep 0.1; done

# Seconds from the start of run.sh until the program's window is viewable; the program is
# then ended (run.sh ends in exec, so its process is the program's).
timed_start() {
  start=$(date +%s.%N)
  taskset -c "0-$((jobs - 1))" sh "$work/clone/scripts/run.sh" >"$work/run.log" 2>&1 &
  pid=$!
  while :; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "run.sh ended before a window showed:" >&2; tail -20 "$work/run.log" >&2; exit 1
    fi
    shown=""
    for id in $(xwininfo -root -tree 2>/dev/null | awk '/"TALVO R430K mouse/ && $1 ~ /^0x/ { print $1 }'); do
      xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && shown=1
    done
    [ -n "$shown" ] && break
    sleep 0.2
  done
  end=$(date +%s.%N)
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$start $end" | awk '{ printf "%.1f", $2 - $1 }'
}

first=$(timed_start)
second=$(timed_start)
echo "commit $(git -C "$work/clone" rev-parse --short HEAD), $jobs cores, load average at the start: $load"
echo "first run.sh up to the window: ${first} s"
echo "second run.sh up to the window: ${second} s"
