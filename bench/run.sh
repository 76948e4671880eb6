#!/usr/bin/env bash
# Builds renomiq-cli (installing what is missing, with perl rename and mmv to
# compare against and strace to count system calls) and runs the benchmark.
# Arguments go to bench.py (--files N, --runs R, --workdir DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../scripts/setup.sh"
renomiq_packages+=(rename mmv python3 time strace)
renomiq_install_missing
renomiq_build >/dev/null
exec python3 "$here/bench.py" "$@"
