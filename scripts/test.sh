#!/bin/sh
# Builds Kestra with its tests and runs them.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
sh "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ROOT/build" -j2
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$ROOT/build" --output-on-failure -j2
