#!/usr/bin/env bash
# Builds renomiq-cli in Release (build-release/, installing what is missing,
# with perl rename and mmv to compare against) and runs the tree benchmark.
# Arguments go to tree_bench.py (--runs R, --jobs N, --workdir DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../scripts/setup.sh"
renomiq_packages+=(rename mmv python3)
renomiq_install_missing
cmake -S "$RENOMIQ_ROOT" -B "$RENOMIQ_ROOT/build-release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$RENOMIQ_ROOT/build-release" -j2 --target renomiq-cli >/dev/null
exec python3 "$here/tree_bench.py" "$@"
