#!/usr/bin/env bash
# cmake --install into a temporary prefix: every file of the installation in
# its place, the desktop entries and the metainfo valid.
set -euo pipefail
build="$1"
prefix="$(mktemp -d /tmp/renomiq-install-XXXXXX)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/renomiq
bin/renomiq-cli
bin/renomiq-send
share/applications/com.corvane.Renomiq.desktop
share/bash-completion/completions/renomiq-cli
share/doc/renomiq/changelog.gz
share/doc/renomiq/copyright
share/fish/vendor_completions.d/renomiq-cli.fish
share/icons/hicolor/scalable/apps/com.corvane.Renomiq.svg
share/kio/servicemenus/com.corvane.Renomiq.desktop
share/lintian/overrides/renomiq
share/man/man1/renomiq-cli.1.gz
share/man/man1/renomiq-send.1.gz
share/man/man1/renomiq.1.gz
share/metainfo/com.corvane.Renomiq.metainfo.xml
share/nemo/actions/renomiq-a-removpart.nemo_action
share/nemo/actions/renomiq-b-replapart.nemo_action
share/nemo/actions/renomiq-c-addnewnum.nemo_action
share/nemo/actions/renomiq-d-changnew.nemo_action
share/nemo/actions/renomiq-e-changexten.nemo_action
share/nemo/actions/renomiq-f-savealls.nemo_action
share/nemo/actions/renomiq-g-savesomes.nemo_action
share/renomiq/end.wav
share/renomiq/help/Change ext.htm
share/renomiq/help/Change.htm
share/renomiq/help/How to use.htm
share/renomiq/help/Insert.htm
share/renomiq/help/Options.htm
share/renomiq/help/Preview.htm
share/renomiq/help/Remove.htm
share/renomiq/help/Replace.htm
share/renomiq/help/Save.htm
share/renomiq/help/Special string.htm
share/renomiq/help/Undo history.htm
share/zsh/vendor-completions/_renomiq-cli"
actual="$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)"
if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected list:"
    diff <(echo "$expected") <(echo "$actual") || true
    exit 1
fi

for program in renomiq renomiq-cli renomiq-send; do
    [ -x "$prefix/bin/$program" ] || { echo "bin/$program is not executable"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/com.corvane.Renomiq.desktop"
desktop-file-validate "$prefix/share/kio/servicemenus/com.corvane.Renomiq.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/com.corvane.Renomiq.metainfo.xml"
grep -q '^<svg ' "$prefix/share/icons/hicolor/scalable/apps/com.corvane.Renomiq.svg"
for page in renomiq renomiq-cli renomiq-send; do
    title="$(gzip -dc "$prefix/share/man/man1/$page.1.gz" | sed -n 1p)"
    [[ "$title" == ".TH ${page^^} 1 "* ]] || { echo "man page $page begins: $title"; exit 1; }
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null \
        | { ! grep .; } || { echo "man page $page has warnings"; exit 1; }
done
# The installed renomiq-cli finds its own files: it runs from the prefix.
# Read whole first: grep -q stops at its match, and the rest of the text
# would meet a closed pipe.
usage="$("$prefix/bin/renomiq-cli" --help)"
grep -q 'renomiq-cli undo \[--log FILE | --steps N\] \[--yes\]' <<<"$usage"
echo "install layout: ok"
