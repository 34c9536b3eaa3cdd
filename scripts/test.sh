#!/bin/sh
# Installs, builds and runs the whole test suite.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
set -e
cd "$(dirname "$0")/.."
sh scripts/deps.sh
dir=build; extra=""
if [ "$1" = "--sanitize" ]; then
  dir=build-asan; extra="-DTALVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
cmake -S . -B "$dir" $extra >/dev/null
cmake --build "$dir" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
