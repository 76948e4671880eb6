#!/usr/bin/env bash
# Builds Renomiq (installing what is missing) and starts it; arguments go to the program.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
renomiq_install_missing
renomiq_build >/dev/null
exec "$RENOMIQ_BUILD/src/renomiq" "$@"
