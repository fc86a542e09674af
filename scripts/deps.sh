#!/usr/bin/env bash
# Installs what building, running and testing Marrowfen 2 needs on Debian 12.
# Quick when everything is already there: apt is only asked when a package
# is missing. Needs root (or sudo) only in that case.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev libxkbcommon-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    # sound: the game opens libpulse (PulseAudio or PipeWire's service) and
    # libsndfile (decoding) when the first sound is asked for; the headers
    # build it, and the tests write their sound files with libsndfile
    libpulse-dev libsndfile1-dev
    # fonts the windows ask for (Comic Sans MS, Times New Roman, Arial)
    fontconfig fonts-comic-neue fonts-liberation2
    # end-to-end tests and benchmarks: a virtual display, a sound server
    # with a null sink, input and screenshot tools, a window manager for
    # minimising, close boxes and focus, sound measurement
    xvfb xauth xdotool x11-utils imagemagick openbox
    pulseaudio pulseaudio-utils sox procps python3
    # the Debian package: dpkg-shlibdeps for its dependencies, and the checks
    # of the package, its menu entry and its catalogue entry
    dpkg-dev file lintian desktop-file-utils appstream
    # end-to-end tests read the game as a screen reader does (AT-SPI)
    dbus-daemon dbus-bin at-spi2-core python3-pyatspi
    # window tests under GNOME's and KDE's window managers too (mutter on X,
    # kwin_x11), and in GNOME's headless Wayland session, whose X clients
    # run on XWayland
    mutter kwin-x11 xwayland
)

# One dpkg-query for the lot; a package it has never heard of prints nothing.
mapfile -t installed < <(dpkg-query -W -f='${db:Status-Status} ${Package}\n' "${packages[@]}" 2>/dev/null |
    awk '$1 == "installed" { print $2 }')
missing=()
for package in "${packages[@]}"; do
    found=no
    for have in "${installed[@]}"; do
        if [[ $have == "$package" ]]; then found=yes; break; fi
    done
    [[ $found == yes ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "deps: installing ${missing[*]}"
sudo=()
if ((EUID != 0)); then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { "${sudo[@]}" apt-get update -q &&
       "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; } </dev/null >"$log" 2>&1; then
    cat "$log" >&2
    echo "deps: apt-get failed" >&2
    exit 1
fi
echo "deps: done"
