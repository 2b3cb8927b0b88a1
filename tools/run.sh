#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it on the sample room (or on the scene
# files given). Without an X display the program runs itself under xvfb-run and says so.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/tools/setup.sh"
bash "$here/tools/build.sh" "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "$#" -eq 0 ]; then
  set -- "$here/build/share/quenlaris/Scenes/Room.qnl"
fi
exec "$here/build/app/quenlaris" "$@"
