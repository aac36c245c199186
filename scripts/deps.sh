#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Debian packages the project needs, when any is missing. Sourced by the scripts.
set -euo pipefail

KX_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libglx-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-translations-l10n fonts-noto-cjk xvfb xauth
    # the drill history: SQLite through Qt SQL (and SQLite's own interface under it, to load the
    # word states), and its chart (Qt Charts needs the OpenGL files)
    libqt6sql6-sqlite libsqlite3-dev qt6-charts-dev libqt6opengl6-dev
    # word keys: SHA-1 from Nettle
    nettle-dev
    # import, export and print: PDF text checks, the Debian package and its metadata checks
    # (the Japanese print font is cut from the CJK face with fontTools at build time)
    # (kvtml is read with pugixml, and with libxml2 where only it reads a document right)
    libxml2-dev libpugixml-dev python3-fonttools poppler-utils dpkg-dev appstream desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin fonts-dejavu-core
    # spoken questions: Qt TextToSpeech through speech-dispatcher and espeak-ng
    qt6-speech-dev qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
    # Qt6TextToSpeech's CMake package needs Qt6QmlIntegration, which comes with this
    qt6-declarative-dev
    # the input method switched on over D-Bus; dbus-daemon gives the tests a private bus
    dbus-daemon
    # the sync folder's end-to-end test: two instances sharing a folder on the loopback address
    syncthing
)

kx_install_deps() {
    local missing=()
    local pkg
    for pkg in "${KX_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# kx_build DIR [TARGET...]: configures DIR when needed and builds the targets (all when none).
kx_build() {
    local dir=$1
    shift
    [ -f "$dir/build.ninja" ] || cmake -S "$KX_ROOT" -B "$dir" -G Ninja ${KX_CMAKE_ARGS:-}
    local targets=()
    local t
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
}
