#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/tools/setup.sh"
bash "$here/tools/build.sh" "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
exe="$here/build/app/quenlaris"
if [ -x "$exe" ]; then
  exec "$exe" "$@"
fi
echo "The program itself is not built yet: the libraries and their tests are (see build/)."
echo "Once the application lands, this command starts $exe."
