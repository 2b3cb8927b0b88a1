#!/usr/bin/env bash
# Configures and builds one build folder. Usage: tools/build.sh <build-dir> [cmake options...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
jobs="${QUEN_JOBS:-$(nproc)}"
cmake -S "$here" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" -j "$jobs"
