#!/usr/bin/env bash
# Runs the window benchmark on its own Xvfb (Mesa's llvmpipe), as CI would.
#   bench/run-gui-bench.sh [BUILD_DIR] [benchmark options]
set -euo pipefail
build=${1:-build}
shift || true
exec xvfb-run -a -s "-screen 0 1280x800x24" "$build/bin/pavlex_gui_bench" "$@"
