#!/usr/bin/env bash
# Copies the README's pictures of the list window, the editor and the preview
# from the GUI tests' screenshots into docs/. Builds and runs the test that
# takes them when they are missing or older than the build.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${RENOMIQ_BUILD:-$root/build}"
shots="$build/screenshots"

if [[ "${1:-}" != "--copy-only" ]]; then
    cmake --build "$build" -j2 --target renomiq_gui_tests
    QT_QPA_PLATFORM=offscreen RENOMIQ_SCREENSHOTS="$shots" \
        "$build/tests/renomiq_gui_tests" --gtest_filter='ProgramWindows.*' >/dev/null
fi

mkdir -p "$root/docs"
for pair in readme_list_window:list-window readme_editor_replace:editor-replace readme_preview:preview; do
    from="$shots/${pair%%:*}.png"
    to="$root/docs/${pair##*:}.png"
    if [[ ! -s "$from" ]]; then
        echo "update_screenshots: $from is missing; run the GUI tests first" >&2
        exit 1
    fi
    cp "$from" "$to"
    echo "$to"
done
