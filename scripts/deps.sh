#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what Marrowfen 2 needs on Debian 12, and never removes anything:
#   scripts/deps.sh play      building and playing (scripts/run.sh): compiler,
#                             CMake, Qt, the sound libraries' headers, fonts;
#                             no sound server, no test tool
#   scripts/deps.sh package   also the tools of the Debian package (scripts/package.sh)
#   scripts/deps.sh test      also the test tools and the tests' sound servers
#                             (scripts/test.sh)
# Quick when everything is there: apt is asked nothing then. Needs root (or
# sudo) only when something is missing. apt-get runs with --no-remove: when a
# package could only come by removing another, it fails and says so.
#
# MARROWFEN_DEPS_SIMULATE=1 asks apt for its plan only (apt-get -s, printed
# on standard output): no root, no apt-get update, nothing installed.
# MARROWFEN_DPKG_ADMINDIR=DIR reads what is installed from DIR/status instead
# of /var/lib/dpkg/status (with the simulation: the plan for another machine);
# MARROWFEN_APT_LISTS_CACHE=FILE then keeps apt's cache of its package lists
# in FILE, for the next plan.
set -euo pipefail

mode=${1:-play}
simulate=${MARROWFEN_DEPS_SIMULATE:-0}
admindir=${MARROWFEN_DPKG_ADMINDIR:-/var/lib/dpkg}

play_packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgl-dev libxkbcommon-dev
    # the game opens libpulse (PulseAudio or PipeWire's Pulse service) and
    # libsndfile (decoding) when the first sound is asked for
    libpulse-dev libsndfile1-dev
    # fonts the windows ask for (Comic Sans MS, Times New Roman, Arial)
    fontconfig fonts-comic-neue fonts-liberation2
)
package_packages=(
    # dpkg-shlibdeps for the package's dependencies
    dpkg-dev file
)
test_packages=(
    libgtest-dev libgmock-dev libbenchmark-dev
    # end-to-end tests: a virtual display, input and screenshot tools, a
    # window manager for minimising, close boxes and focus, sound measurement
    # (the sound servers are chosen below)
    xvfb xauth xdotool x11-utils imagemagick openbox
    pulseaudio-utils sox procps python3
    # the checks of the package, its menu entry and its catalogue entry, and
    # of its manual page (man -l)
    lintian desktop-file-utils appstream man-db
    # end-to-end tests read the game as a screen reader does (AT-SPI), and
    # hear what Orca, Debian's screen reader, says of it
    dbus-daemon dbus-bin at-spi2-core python3-pyatspi orca
    # window tests under GNOME's and KDE's window managers too (mutter on X,
    # kwin_x11), and in GNOME's headless Wayland session, whose X clients
    # run on XWayland
    mutter kwin-x11 xwayland
)
# PipeWire with its Pulse service and a session manager: none of them
# conflicts with pulseaudio (pipewire-audio and pipewire-alsa do).
pipewire_packages=(pipewire pipewire-pulse wireplumber)

apt_options=(-q --no-install-recommends --no-remove)
if [[ $admindir != /var/lib/dpkg ]]; then
    # Another status file: apt keeps no cache of it on disk, only of the
    # package lists, where asked to.
    apt_options+=(-o "Dir::State::status=$admindir/status"
        -o Dir::Cache::pkgcache= -o "Dir::Cache::srcpkgcache=${MARROWFEN_APT_LISTS_CACHE:-}")
fi

# installed PACKAGE... : prints those of the packages that are installed.
installed() {
    dpkg-query --admindir="$admindir" -W -f='${db:Status-Status} ${Package}\n' "$@" 2>/dev/null |
        awk '$1 == "installed" { print $2 }' | sort -u
}

is_installed() { [[ -n $(installed "$1") ]]; }

# Whether pulseaudio comes without removing anything; apt only simulates.
pulseaudio_fits() {
    apt-get -s "${apt_options[@]}" install pulseaudio >/dev/null 2>&1
}

# sound_servers [decide] : prints the test's sound server packages. Where
# PipeWire's Pulse service is installed, PipeWire only. Where PulseAudio is
# and PipeWire's Pulse service is not, PulseAudio only: that service, once
# installed, takes the Pulse socket of every user's next login, and a
# PulseAudio desktop is not ours to change (MARROWFEN_TEST_PIPEWIRE=1 adds it
# all the same). On a machine with neither, both, so that the tests run on
# each; PulseAudio then joins only when apt can add it without removing
# anything, which needs apt and is asked only with "decide" (otherwise this
# prints "undecided").
sound_servers() {
    if is_installed pulseaudio && ! is_installed pipewire-pulse &&
        [[ ${MARROWFEN_TEST_PIPEWIRE:-0} != 1 ]]; then
        echo pulseaudio
        return
    fi
    printf '%s\n' "${pipewire_packages[@]}"
    if is_installed pipewire-pulse || is_installed pipewire-audio; then
        return
    fi
    if is_installed pulseaudio; then
        echo pulseaudio
    elif [[ ${1:-} != decide ]]; then
        echo undecided
    elif pulseaudio_fits; then
        echo pulseaudio
    else
        echo "deps: pulseaudio would remove a package; the tests use PipeWire" >&2
    fi
}

packages=("${play_packages[@]}")
case $mode in
    play) ;;
    package) packages+=("${package_packages[@]}") ;;
    test) packages+=("${package_packages[@]}" "${test_packages[@]}") ;;
    *)
        echo "usage: scripts/deps.sh [play|package|test]" >&2
        exit 2
        ;;
esac

# missing PACKAGE... : prints those of the packages that are not installed.
missing() {
    comm -23 <(printf '%s\n' "$@" | sort -u) <(installed "$@")
}

servers=()
[[ $mode != test ]] || mapfile -t servers < <(sound_servers)
mapfile -t wanted < <(missing "${packages[@]}" "${servers[@]}")
if ((${#wanted[@]} == 0)); then
    [[ $simulate != 1 ]] || echo "deps: nothing to install"
    exit 0
fi

sudo=()
if ((EUID != 0)) && [[ $simulate != 1 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# The package lists first: the choice of sound server asks apt.
if [[ $simulate != 1 ]] &&
    ! "${sudo[@]}" apt-get update -q </dev/null >"$log" 2>&1; then
    cat "$log" >&2
    echo "deps: apt-get update failed" >&2
    exit 1
fi
if [[ " ${servers[*]} " == *" undecided "* ]]; then
    mapfile -t servers < <(sound_servers decide)
    mapfile -t wanted < <(missing "${packages[@]}" "${servers[@]}")
fi

if [[ $simulate == 1 ]]; then
    echo "deps: would install ${wanted[*]}"
    apt-get -s "${apt_options[@]}" install "${wanted[@]}"
    exit
fi
echo "deps: installing ${wanted[*]}"
if ! "${sudo[@]}" apt-get install -y "${apt_options[@]}" "${wanted[@]}" </dev/null >"$log" 2>&1; then
    cat "$log" >&2
    echo "deps: apt-get failed (it removes nothing; a package above may conflict with one installed)" >&2
    exit 1
fi
echo "deps: done"
