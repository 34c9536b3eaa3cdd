#!/bin/sh
# Drives the tray menu under a real X system tray: starts a virtual X display with a window
# manager and a tray, starts the program on the simulated mouse, hides the window with its
# minimise button, right-clicks the tray icon and picks an entry (or left-clicks the icon).
# Each case is a fresh start, on the device choice page or on the configuration frame:
#   choice/show  choice/exit  choice/click  frame/show  frame/exit  frame/click
# "show" and "click" must bring the window back (then the window's close button ends the
# program), "exit" must end it; every case must end with exit code 0. A crash shows as 139.
#   sh scripts/repro_tray.sh [program]     (default: build/out/talvo-r430k)
# Prints one line per case and exits 1 when any case failed. Installs what it needs (as root).
set -u
cd "$(dirname "$0")/.."
prog="${1:-${BUILD_DIR:-build}/out/talvo-r430k}"
[ -x "$prog" ] || { echo "repro_tray: no program at $prog (build first)" >&2; exit 2; }

need=""
for p in xvfb:Xvfb openbox:openbox trayer:trayer xdotool:xdotool x11-utils:xwininfo; do
  command -v "${p#*:}" >/dev/null 2>&1 || need="$need ${p%%:*}"
done
if [ -n "$need" ]; then
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $need >/dev/null || exit 2
fi

work="$(mktemp -d)"
xpid=""; wmpid=""; traypid=""; apppid=""
cleanup() {
  for p in $apppid $traypid $wmpid $xpid; do kill "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Waits until the command succeeds; 0 when it did within $1 tenths of a second.
wait_for() {
  limit=$1; shift
  i=0
  while [ $i -lt "$limit" ]; do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1; i=$((i + 1))
  done
  return 1
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xpid=$!
wait_for 100 test -s "$work/display" || { echo "repro_tray: Xvfb did not start" >&2; exit 2; }
DISPLAY=":$(cat "$work/display")"; export DISPLAY
openbox >/dev/null 2>&1 & wmpid=$!
trayer --edge top --align right --widthtype request --height 32 --SetDockType true >/dev/null 2>&1 &
traypid=$!
wait_for 100 xdotool search --class trayer || { echo "repro_tray: no tray" >&2; exit 2; }

not() { ! "$@"; }

# Geometry of one window as "x y w h" (absolute).
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF}/Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF}/Height:/{h=$NF}END{print x, y, w, h}'
}

# Visible windows of the program as "id w h" lines.
app_windows() {
  for w in $(xdotool search --onlyvisible --pid "$apppid" 2>/dev/null); do
    set -- $(geometry "$w")
    [ $# -eq 4 ] && echo "$w $3 $4"
  done
}
# The main window (1020 x 700) and the tray menu (any other window larger than a tray icon).
app_window() { w="$(app_windows | awk '$2 == 1020 && $3 == 700 {print $1; exit}')"; [ -n "$w" ] && echo "$w"; }
only_main_window() { [ "$(app_windows | awk '$2 > 40' | wc -l)" -eq 1 ]; }
tray_icon() { w="$(app_windows | awk '$2 <= 40 && $3 <= 40 {print $1; exit}')"; [ -n "$w" ] && echo "$w"; }
menu_window() { w="$(app_windows | awk '$2 != 1020 && $2 > 40 && $3 > 40 {print $1; exit}')"; [ -n "$w" ] && echo "$w"; }
click_in_window() { # window, x, y (relative), button
  set -- "$1" "$2" "$3" "$4" $(geometry "$1")
  xdotool mousemove $(($5 + $2)) $(($6 + $3)) click "$4"
}

run_case() { # page entry
  page=$1; entry=$2
  rm -rf "$work/home"; mkdir -p "$work/home"
  HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
    TALVO_SIM_BUS_US=0 QT_QPA_PLATFORM=xcb "$prog" >"$work/log" 2>&1 &
  apppid=$!
  if ! wait_for 200 app_window; then
    echo "$page/$entry: the window never showed"; kill "$apppid" 2>/dev/null; wait "$apppid"; return 1
  fi
  win="$(app_window)"
  sleep 1 # the first tiles come from the first scan
  # Title-bar buttons: the choice page's minimise sits at 940,10 and close at 980,10; the
  # frame's at 940,20 and 980,20 (20 x 20 each).
  miny=20; closey=20
  if [ "$page" = frame ]; then
    click_in_window "$win" 510 380 1   # the single tile in the middle of the page
    # The parameter-read progress shows for a moment over the frame and takes the clicks.
    sleep 1
    wait_for 100 only_main_window
    miny=30; closey=30
  fi
  click_in_window "$win" 950 "$miny" 1
  if ! wait_for 50 not app_window; then
    echo "$page/$entry: the minimise button did not hide the window"; kill "$apppid"; wait "$apppid"; return 1
  fi
  if ! wait_for 50 tray_icon; then
    echo "$page/$entry: no tray icon"; kill "$apppid"; wait "$apppid"; return 1
  fi
  if [ "$entry" = click ]; then
    click_in_window "$(tray_icon)" 10 10 1
  else
    click_in_window "$(tray_icon)" 10 10 3
    if ! wait_for 50 menu_window; then
      echo "$page/$entry: no tray menu"; kill "$apppid"; wait "$apppid"; return 1
    fi
    set -- $(geometry "$(menu_window)")
    if [ "$entry" = show ]; then
      xdotool mousemove $(($1 + $3 / 2)) $(($2 + 12)) click 1
    else
      xdotool mousemove $(($1 + $3 / 2)) $(($2 + $4 - 12)) click 1
    fi
  fi
  if [ "$entry" != exit ]; then
    if wait_for 50 app_window && kill -0 "$apppid" 2>/dev/null; then
      sleep 0.5
      click_in_window "$(app_window)" 990 "$closey" 1
    fi
  fi
  if ! wait_for 150 sh -c "! kill -0 $apppid"; then
    echo "$page/$entry: still running"; kill "$apppid"; wait "$apppid"; return 1
  fi
  wait "$apppid"; rc=$?
  apppid=""
  echo "$page/$entry: exit code $rc"
  [ "$rc" -eq 0 ]
}

failed=0
for page in choice frame; do
  for entry in show exit click; do
    run_case "$page" "$entry" || failed=1
  done
done
exit $failed
