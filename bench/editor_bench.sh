#!/usr/bin/env bash
# Builds and runs the windows' benchmark: a run of N files (default 100000)
# under the progress dialog against renomiq-cli, a preview of 1,000 rows and the
# opening of the editor on a folder of N files. Prints, never asserts.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../scripts/setup.sh"
renomiq_install_missing
renomiq_build -DRENOMIQ_BUILD_BENCH=ON >/dev/null
exec "$RENOMIQ_BUILD/bench/editor_bench" "${1:-100000}" "$RENOMIQ_BUILD/src/renomiq-cli"
