#!/usr/bin/env bash
# The core tests (streaming, device, simulated module; no Qt) under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-build-tsan}
export BUILD_TYPE=Debug
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
scripts/test.sh -DVESTREL_TSAN=ON -DVESTREL_BUILD_UI=OFF "$@"
