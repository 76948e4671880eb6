#!/usr/bin/env bash
# Builds Renomiq and its tests (installing what is missing) and runs every test.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
renomiq_install_missing
renomiq_build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$RENOMIQ_BUILD" --output-on-failure -j2 --timeout 600
