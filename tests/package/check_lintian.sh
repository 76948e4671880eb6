#!/usr/bin/env bash
# lintian on the package that cpack -G DEB builds: no error and no warning.
# Skipped (77) where lintian is not installed.
set -euo pipefail
build="$1"
command -v lintian >/dev/null || { echo "lintian is not installed"; exit 77; }
out="$(mktemp -d /tmp/renomiq-lintian-XXXXXX)"
trap 'rm -rf "$out"' EXIT

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb="$(ls "$out"/renomiq_*.deb)"
# Informational tags are printed too; errors and warnings fail the test.
lintian --info --display-info --show-overrides --fail-on error,warning "$deb" | tee "$out/lintian.log"
# Hardening tags are only informational to lintian; a program built without
# bind-now, fortify or the stack protector fails here all the same.
if grep -E 'hardening-no-' "$out/lintian.log"; then
    echo "the programs are not hardened"
    exit 1
fi
echo "lintian: no error, no warning, hardened"
