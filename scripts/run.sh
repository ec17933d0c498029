#!/usr/bin/env bash
# Builds the tool and the simulated module, starts the simulator in the
# background and runs the tool, whose port list then offers the simulated
# module first. Closing the tool stops the simulator. Arguments go to the tool.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
fi
cmake --build "$BUILD_DIR" -j "$(nproc)" --target vestrel-tool vestrel-sim

sim_log=$(mktemp)
"$BUILD_DIR/bin/vestrel-sim" >"$sim_log" 2>&1 &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null; rm -f "$sim_log"' EXIT

# Start the tool once the simulator has published its port.
for _ in $(seq 50); do
    grep -q "listed as" "$sim_log" && break
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
done
if grep -q "listed as" "$sim_log"; then
    cat "$sim_log"
else
    echo "The simulated module did not start; the tool runs without it:" >&2
    cat "$sim_log" >&2
fi
"$BUILD_DIR/bin/vestrel-tool" "$@"
