#!/usr/bin/env bash
# Installs the Debian packages Renomiq needs (when missing), then configures and
# builds into build/. Sourced by run.sh and test.sh.
set -euo pipefail

RENOMIQ_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RENOMIQ_BUILD="${RENOMIQ_BUILD:-$RENOMIQ_ROOT/build}"

renomiq_packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev strace nlohmann-json3-dev libpcre2-dev)

# What reads the photos' and the music's own data (the metadata tokens); the
# exiv2 command writes the photos the tests read.
renomiq_packages+=(libexiv2-dev libtag1-dev exiv2)

# What the desktop tests check the menus, the installation and the package with.
renomiq_packages+=(desktop-file-utils appstream dpkg-dev fakeroot file gzip man-db lintian)

# The shells that load the completion scripts in the tests.
renomiq_packages+=(bash-completion zsh fish)

# What the end-to-end tests drive the program with: a virtual display with a
# window manager, the accessibility bus, and the screen's pictures (xprop, xwd).
renomiq_packages+=(xvfb openbox at-spi2-core python3-pyatspi dbus xdotool x11-utils x11-apps)

renomiq_install_missing() {
    local missing=()
    for p in "${renomiq_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

renomiq_build() {
    local werror=OFF
    [ "${CI:-}" = "true" ] && werror=ON
    cmake -S "$RENOMIQ_ROOT" -B "$RENOMIQ_BUILD" -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" \
        -DRENOMIQ_WERROR="$werror" "$@"
    cmake --build "$RENOMIQ_BUILD" -j2
}
