#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# cmake --install, and the launcher that starts the installed game in the
# player's data folder.
#
# 1. The build installed into a scratch prefix: the files in their places,
#    none of them writable by anyone but their owner.
# 2. The installed launcher in front of a stand-in for the game, which
#    notes where and how it was started: the data folder is made with the
#    default records, a player's records are never touched, nothing is left
#    in the folder it was started from, the game goes through X on a Wayland
#    desktop, and bad arguments or an unusable data folder get a message.
# 3. The installed game where there is no graphical session (over ssh, on a
#    text console): one line that says so, status 1, no abort; a platform
#    the player names is honoured.
# Helpers below are called through mf_check.
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/marrowfen-launcher.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# ------------------------------------------------------- cmake --install ---

prefix=$tmp/prefix
cmake --install "$MF_BUILD" --prefix "$prefix" >"$tmp/install.log" 2>&1 ||
    { cat "$tmp/install.log" >&2; mf_die "cmake --install failed"; }
id=org.marrowfen.Marrowfen2
for file in games/marrowfen2 libexec/marrowfen2 share/applications/$id.desktop \
    share/metainfo/$id.metainfo.xml share/man/man6/marrowfen2.6.gz \
    share/doc/marrowfen2/copyright share/icons/hicolor/scalable/apps/$id.svg; do
    mf_check "$file is installed" test -s "$prefix/$file"
done
for size in 16 24 32 48 64 128 256; do
    mf_check "the ${size}x$size icon is a $size x $size picture" \
        test "$(identify -format %wx%h "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" 2>/dev/null)" = "${size}x$size"
done
for sound in Vorask1 Vorask2 Vorask3 Vorask4 Vorask5 Vorask6; do
    mf_check "$sound.fez is installed as 16-bit PCM wave audio" \
        bash -c "soxi '$prefix/share/marrowfen2/$sound.fez' | grep -q 'Sample Encoding: 16-bit Signed Integer PCM'"
done
mf_check "no record file is installed" test ! -e "$prefix/share/marrowfen2/Vorask7.fez"
mf_check "the launcher and the game are executable" test -x "$prefix/games/marrowfen2" -a -x "$prefix/libexec/marrowfen2"
writable=$(find "$prefix" -perm /022 -printf '%P\n')
mf_check "nothing installed is writable by group or others${writable:+ (}${writable//$'\n'/ }${writable:+)}" test -z "$writable"

# ------------------------------------------------------------- launcher ---

# A stand-in for the game beside the installed launcher: it notes its
# folder, its arguments and its platform.
stub=$tmp/stub
mkdir -p "$stub/games" "$stub/libexec"
cp "$prefix/games/marrowfen2" "$stub/games/"
cat >"$stub/libexec/marrowfen2" <<'STUB'
#!/bin/sh
{ pwd; echo "$#"; echo "${QT_QPA_PLATFORM-unset}"; } >"$STUB_NOTE"
STUB
chmod 755 "$stub/libexec/marrowfen2"
note=$tmp/note

# launch HOME [VAR=VALUE...] [-- ARGS...] : runs the launcher from an empty
# folder of its own (left in $start) with a clean environment; its standard
# error goes to $tmp/err.
launch() {
    local home=$1 env=() args=()
    shift
    while (($#)) && [[ $1 != -- ]]; do env+=("$1"); shift; done
    (($#)) && shift && args=("$@")
    start=$(mktemp -d "$tmp/start.XXXXXX")
    rm -f "$note"
    (cd "$start" && env -i PATH="$PATH" HOME="$home" STUB_NOTE="$note" "${env[@]}" \
        "$stub/games/marrowfen2" "${args[@]}") 2>"$tmp/err"
}
started_in() { [[ -f $note && $(sed -n 1p "$note") == "$1" ]]; }
platform() { sed -n 3p "$note"; }
no_litter() { [[ -z $(ls -A "$start") ]]; }

home=$tmp/home1
launch "$home"
data=$home/.local/share/marrowfen2
mf_check "a fresh home gets the data folder with the 129-byte default records" \
    cmp -s "$data/Vorask7.fez" <(mf_default_records)
mf_check "the game is started in the data folder" started_in "$data"
mf_check "the game is given no arguments" test "$(sed -n 2p "$note")" = 0
mf_check "nothing is left in the folder it was started from" no_litter
mf_check "no sound is copied into the data folder" \
    test "$(find "$data" -mindepth 1 -printf '%f\n')" = Vorask7.fez

printf '%-40s%-3s' "Zebulon Quirk" 42 "Ada" 7 "Bo" 123 >"$data/Vorask7.fez"
cp "$data/Vorask7.fez" "$tmp/kept"
for _ in 1 2 3; do launch "$home"; done
mf_check "a player's records are kept byte for byte over three starts" cmp -s "$data/Vorask7.fez" "$tmp/kept"
: >"$data/Vorask7.fez"
launch "$home"
mf_check "an empty record file is left as it is" test ! -s "$data/Vorask7.fez"

home=$tmp/home2
mkdir -p "$home/.local/share/marrowfen2/Vorask7.fez"
launch "$home"
mf_check "a folder in the record file's place is left alone" test -d "$home/.local/share/marrowfen2/Vorask7.fez"
mf_check "and the game starts all the same" started_in "$home/.local/share/marrowfen2"

launch "$tmp/home3" XDG_DATA_HOME="$tmp/xdg"
mf_check "XDG_DATA_HOME names where the data folder goes" started_in "$tmp/xdg/marrowfen2"
mf_check "and there the default records are written" cmp -s "$tmp/xdg/marrowfen2/Vorask7.fez" <(mf_default_records)
launch "$tmp/home4" XDG_DATA_HOME=relative/data
mf_check "a relative XDG_DATA_HOME is ignored" started_in "$tmp/home4/.local/share/marrowfen2"
mf_check "and nothing is made where it points" no_litter

launch "$tmp/home5" DISPLAY=:9 WAYLAND_DISPLAY=wayland-0 XDG_SESSION_TYPE=wayland
mf_check "on a Wayland desktop with XWayland the game goes through X (xcb)" test "$(platform)" = xcb
launch "$tmp/home5" DISPLAY=:9 WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland
mf_check "a platform the player chose is kept" test "$(platform)" = wayland
launch "$tmp/home5" WAYLAND_DISPLAY=wayland-0
mf_check "without an X display the platform is left to Qt" test "$(platform)" = unset

# The launcher reached through a link, as from a folder of links on PATH.
mkdir -p "$tmp/links"
ln -s "$stub/games/marrowfen2" "$tmp/links/marrowfen2"
rm -f "$note"
(cd "$tmp" && env -i PATH="$PATH" HOME="$tmp/home6" STUB_NOTE="$note" "$tmp/links/marrowfen2")
mf_check "started through a symbolic link it still finds the game" started_in "$tmp/home6/.local/share/marrowfen2"

launch "$tmp/home7" -- --level expert
status=$?
mf_check "an argument is refused (status 2) with a message" \
    bash -c "[[ $status == 2 ]] && grep -q 'takes no arguments' '$tmp/err'"
mf_check "and the game is not started" test ! -e "$note"
mf_check "nor its data folder made" test ! -e "$tmp/home7"

: >"$tmp/home-file"
launch "$tmp/home-file"
status=$?
mf_check "a data folder that cannot be made stops it (status 1) with a message" \
    bash -c "[[ $status == 1 ]] && grep -q 'cannot use the data folder' '$tmp/err'"
mf_check "and the game is not started" test ! -e "$note"

# ---------------------------------------------------- no graphical session ---

# no_display [VAR=VALUE...] [-- ARGUMENTS...] : the installed launcher and
# game with neither DISPLAY nor WAYLAND_DISPLAY, for at most 5 s; its
# standard error goes to $tmp/err. The status is the game's, or 124 when it
# was still running. Arguments, which the launcher refuses, go to the game
# itself.
no_display() {
    local vars=() program=$prefix/games/marrowfen2
    while (($#)) && [[ $1 != -- ]]; do
        vars+=("$1")
        shift
    done
    (($#)) && shift && program=$prefix/libexec/marrowfen2
    (cd "$tmp" && env -i PATH="$PATH" HOME="$tmp/home-nodisplay" XDG_RUNTIME_DIR="$tmp" "${vars[@]}" \
        timeout 5 "$program" "$@") >/dev/null 2>"$tmp/err"
}
says_no_session() {
    [[ $(wc -l <"$tmp/err") == 1 ]] && grep -q '^marrowfen2: no graphical session was found' "$tmp/err" &&
        grep -q 'log in to a desktop and start Marrowfen 2' "$tmp/err"
}
no_display
status=$?
mf_log "without a display: status $status, \"$(head -c 300 "$tmp/err")\""
mf_check "without a display the game ends with status 1, not an abort ($status)" test "$status" = 1
mf_check "saying in one line that no graphical session was found and how to start it" says_no_session
mf_check "and leaving no core dump behind" test -z "$(find "$tmp" "$tmp/home-nodisplay" -maxdepth 3 -name 'core*')"
no_display QT_QPA_PLATFORM=xcb
status=$?
mf_check "the X platform named, but no X display: status 1 ($status)" test "$status" = 1
mf_check "with the same line" says_no_session
no_display QT_QPA_PLATFORM=offscreen
status=$?
mf_check "a platform that needs no display (offscreen) is honoured: the game runs ($status)" test "$status" = 124
no_display -- -platform offscreen
status=$?
mf_check "and so is one given to the game on its command line ($status)" test "$status" = 124
# Qt tries what it is given; whatever it cannot open ends in the same line.
for given in WAYLAND_DISPLAY=nobody-serves-this WAYLAND_SOCKET=9; do
    no_display "$given"
    status=$?
    mf_check "$given: status 1, not an abort ($status)" test "$status" = 1
    mf_check "$given: the same line" says_no_session
done
mf_check "no core dump left by any of them" test -z "$(find "$tmp" "$tmp/home-nodisplay" -maxdepth 3 -name 'core*')"

mf_finish
