#!/usr/bin/env bash
# The core tests (no Qt) under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD_DIR=${BUILD_DIR:-build-asan}
export BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
scripts/test.sh -DVESTREL_SANITIZE=ON -DVESTREL_BUILD_UI=OFF "$@"
