#!/usr/bin/env bash
# Builds, starts the simulated module in the background and runs the tool.
# Closing the tool stops the simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
scripts/build.sh -DVESTREL_BUILD_TESTS=OFF
sim_pid=""
if [ -x "$BUILD_DIR/bin/vestrel-sim" ]; then
    "$BUILD_DIR/bin/vestrel-sim" &
    sim_pid=$!
    trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null || true' EXIT
    sleep 0.5
fi
"$BUILD_DIR/bin/vestrel-tool" "$@"
