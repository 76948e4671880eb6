#!/usr/bin/env bash
# cpack -G DEB: the package builds, names its library dependencies and holds
# the programs, desktop entry, icon, metainfo, help, sound and manual page.
set -euo pipefail
build="$1"
out="$(mktemp -d /tmp/renomiq-deb-XXXXXX)"
trap 'rm -rf "$out"' EXIT

rm -f "$build/install_manifest.txt"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb="$(ls "$out"/renomiq_*.deb)"
# A package built elsewhere leaves nothing in the build folder.
[ ! -e "$build/install_manifest.txt" ] || { echo "cpack -B left install_manifest.txt in the build folder"; exit 1; }

fields="$(dpkg-deb -f "$deb" Package Version Architecture Depends)"
echo "$fields"
grep -q '^Package: renomiq$' <<<"$fields"
grep -q '^Version: 0.1.0$' <<<"$fields"
# Dependencies found from the linked libraries, and the plugins.
for dependency in libqt6widgets6 libqt6core6 libc6 libstdc++6 qt6-qpa-plugins libqt6svg6 libexiv2-27 libtag1v5; do
    grep -q "^Depends:.*\b$dependency\b" <<<"$fields" || { echo "no dependency on $dependency"; exit 1; }
done

listing="$(dpkg-deb -c "$deb")"
contents="$(awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' <<<"$listing")"
for file in ./usr/bin/renomiq ./usr/bin/renomiq-cli ./usr/bin/renomiq-send \
    ./usr/share/applications/com.corvane.Renomiq.desktop \
    ./usr/share/icons/hicolor/scalable/apps/com.corvane.Renomiq.svg \
    ./usr/share/metainfo/com.corvane.Renomiq.metainfo.xml \
    "./usr/share/renomiq/help/How to use.htm" "./usr/share/renomiq/help/Special string.htm" \
    ./usr/share/renomiq/end.wav ./usr/share/man/man1/renomiq-cli.1.gz ./usr/share/man/man1/renomiq.1.gz \
    ./usr/share/kio/servicemenus/com.corvane.Renomiq.desktop \
    ./usr/share/nemo/actions/renomiq-a-removpart.nemo_action \
    ./usr/share/doc/renomiq/copyright ./usr/share/doc/renomiq/changelog.gz \
    ./usr/share/bash-completion/completions/renomiq-cli ./usr/share/zsh/vendor-completions/_renomiq-cli \
    ./usr/share/fish/vendor_completions.d/renomiq-cli.fish; do
    grep -qxF "$file" <<<"$contents" || { echo "missing from the package: $file"; exit 1; }
done
# Programs executable for everyone.
grep -q '^-rwxr-xr-x .* \./usr/bin/renomiq-send$' <<<"$listing"
echo "debian package: ok"
