#!/bin/bash
# Starts the program once per hostile file (a FIFO, a huge sparse file, a long
# token, a language file built to be slow, a small picture declaring a huge size) in a fresh per-user folder and a
# copy of the program folder, and reports each case's exit code, time and peak
# memory. A case fails when it runs over 10 s, peaks over 500 MB, ends in a
# crash or sanitizer report, or loses the hostile file it was handed.
#   sh scripts/hostile_files.sh [build-dir] [case-pattern]
set -u
build=$(cd "${1:-build}" && pwd)
only=${2:-}
out="$build/out"
work=$(mktemp -d /tmp/talvo-hostile.XXXXXX)
product="TALVO R430K mouse"
fails=0

# Each case: name, path under the case folder (app/ = program folder,
# data/ = per-user folder, config/ = config folder), kind, and "open" where the
# file is read only once a mouse is opened (the bench that opens one runs then).
cases="
level-fifo|data/$product/usersetting/SensorPage/Level.ini|fifo
level-huge|data/$product/usersetting/SensorPage/Level.ini|huge
macroini-fifo|data/$product/Macro.ini|fifo
macroini-huge|data/$product/Macro.ini|huge
registry-fifo|config/$product.ini|fifo
registry-huge|config/$product.ini|huge
config-fifo|app/usersetting/Config.ini|fifo
config-huge|app/usersetting/Config.ini|huge
sensorh-fifo|app/driver_sensor.h|fifo
sensorh-huge|app/driver_sensor.h|huge
sensorh-token|app/driver_sensor.h|token
lang-fifo|app/Language/0-English.xml|fifo
lang-huge|app/Language/0-English.xml|huge
lang-elements|app/Language/0-English.xml|elements
lang-attributes|app/Language/0-English.xml|attributes
net-fifo|app/Language/Net.xml|fifo|open
net-huge|app/Language/Net.xml|huge|open
cache-fifo|data/$product/Device_Info/Device_CID21_MID01.bin|fifo|open
cache-huge|data/$product/Device_Info/Device_CID21_MID01.bin|huge|open
picture-fifo|app/Picture/DialogChange/MainBack.png|fifo
picture-huge|app/Picture/DialogChange/MainBack.png|huge
picture-pixels|app/Picture/DialogChange/MainBack.png|pixels
page-picture-fifo|app/Picture/Buttoninterface/mouse0.png|fifo
row-picture-pixels|app/Picture/Macro/MacroDown.png|pixels
"

make_file() { # kind path
    case "$1" in
    fifo) mkfifo "$2" ;;
    huge) truncate -s 1G "$2" ;;
    token) { printf '#define '; for i in $(seq 8000); do printf SENSOR_; done
             for i in $(seq 8000); do printf _DPI; done; printf '_400\t1\n'; } > "$2" ;;
    elements) python3 -c "import sys; sys.stdout.write('<Total>' + ''.join('<E%d><t>x</t></E%d>' % (i, i) for i in range(300000)) + '</Total>')" > "$2" ;;
    attributes) python3 -c "import sys; sys.stdout.write('<Total><W ' + ''.join('a%d=\"1\" ' % i for i in range(200000)) + '/></Total>')" > "$2" ;;
    # A grey PNG of a few hundred kilobytes (all its rows zeros) declaring 16000 x 16000 pixels.
    pixels) python3 -c "
import struct, sys, zlib
def chunk(kind, data): return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
side = 16000
packer = zlib.compressobj(9)
rows = b''.join(packer.compress(bytes(side + 1) * 1000) for _ in range(side // 1000)) + packer.flush()
sys.stdout.buffer.write(b'\\x89PNG\\r\\n\\x1a\\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', side, side, 8, 0, 0, 0, 0))
                        + chunk(b'IDAT', rows) + chunk(b'IEND', b''))" > "$2" ;;
    esac
}

# The hostile file is still there, as it was or set aside as "<name>.damaged"
# (a FIFO may have been replaced by a file the program writes there by design;
# a damaged device cache is rewritten whole from the mouse, as a missing one).
kept() { # kind path
    case "$2" in */Device_Info/*) [ "$(stat -c %s "$2" 2>/dev/null)" = 10432 ] && return 0 ;; esac
    for p in "$2" "$2.damaged"; do
        if [ "$1" = huge ]; then [ "$(stat -c %s "$p" 2>/dev/null)" = 1073741824 ] && return 0
        elif [ -e "$p" ]; then return 0; fi
    done
    return 1
}

printf '%-18s %5s %7s %8s  %s\n' case exit seconds peak-MB result
echo "$cases" | while IFS='|' read -r name rel kind how; do
    [ -n "$name" ] || continue
    case "$name" in *"$only"*) ;; *) continue ;; esac
    home="$work/$name"
    mkdir -p "$home/data/$product/usersetting/SensorPage" "$home/data/$product/Device_Info" "$home/config" \
             "$home/run" "$home/app"
    chmod 700 "$home/run"
    cp -r "$out/Language" "$out/Picture" "$out/bin" "$out/usersetting" "$out/driver_sensor.h" "$home/app/"
    rm -f "$home/$rel"
    make_file "$kind" "$home/$rel"
    ( cd "$home" && HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
        XDG_RUNTIME_DIR="$home/run" TALVO_APP_DIR="$home/app" QT_QPA_PLATFORM=offscreen TALVO_SIM_BUS_US=0 \
        TALVO_AUTOCLOSE_MS=${AUTOCLOSE_MS:-1500} ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        /usr/bin/time -f '%e %M' -o "$home/time.txt" timeout -s KILL 10 "$out/talvo-r430k" >"$home/log.txt" 2>&1 )
    code=$?
    if [ "$code" = 0 ] && [ "$how" = open ]; then
        ( cd "$home" && HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
            XDG_RUNTIME_DIR="$home/run" TALVO_APP_DIR="$home/app" QT_QPA_PLATFORM=offscreen TALVO_SIM_BUS_US=0 \
            ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            /usr/bin/time -f '%e %M' -o "$home/time.txt" timeout -s KILL 10 "$out/bench_open_device" \
            --render "$home/shots" >>"$home/log.txt" 2>&1 )
        code=$?
    fi
    # The last line: time puts "Command terminated by signal" before it on a kill.
    read -r secs kb <<EOF
$(tail -n 1 "$home/time.txt" 2>/dev/null)
EOF
    mb=$(( ${kb:-0} / 1024 ))
    result=ok
    if [ "$code" != 0 ]; then result="FAIL (exit)"
    elif grep -q 'runtime error\|AddressSanitizer' "$home/log.txt"; then result="FAIL (sanitizer)"
    elif [ "$mb" -gt 500 ]; then result="FAIL (memory)"
    elif ! kept "$kind" "$home/$rel"; then result="FAIL (file lost)"
    fi
    printf '%-18s %5s %7s %8s  %s\n' "$name" "$code" "$secs" "$mb" "$result"
    [ "$result" = ok ] || echo "  log: $home/log.txt"
done | tee "$work/report.txt"
grep -q FAIL "$work/report.txt" && fails=1
[ "$fails" = 0 ] && [ -z "${KEEP:-}" ] && rm -rf "$work"
exit "$fails"
