#!/usr/bin/env bash
# Installs what the project needs, builds it and runs every test.
# Usage: tools/test.sh [--sanitize]   (--sanitize: AddressSanitizer + UndefinedBehaviorSanitizer build)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/tools/setup.sh"

if [ "${1:-}" = "--sanitize" ]; then
  dir="$here/build-sanitize"
  bash "$here/tools/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Debug -DQUEN_SANITIZE=ON -DQUEN_BENCH=OFF \
    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  dir="$here/build"
  bash "$here/tools/build.sh" "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi

ctest --test-dir "$dir" --output-on-failure -j "${QUEN_JOBS:-$(nproc)}" -LE x11

# The tests that need an X server, under a virtual one when xvfb-run is there.
if command -v xvfb-run >/dev/null 2>&1; then
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$dir" --output-on-failure -L x11
fi
