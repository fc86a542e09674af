#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, as a player gets it.
#
# 1. Built with cpack from the build folder: its name, its computed
#    dependencies, and the checks of lintian (no errors), of the menu entry
#    (desktop-file-validate) and of the catalogue entry (appstreamcli); the
#    licence in its copyright file, and the manual page with its keys.
# 2. Unpacked into a scratch root and started through its launcher from an
#    unrelated folder, with a scratch HOME, as on a Wayland desktop: the data
#    folder appears with the default records, lost games are heard with the
#    installed explosion, and nothing is written in the folder it was started
#    from or in the installed files.
# 3. Started again after the player has set a record and put a sound file of
#    their own in the data folder: the record is kept, and that sound plays
#    instead of the installed one (told apart by its length).
# The lost games need the game to find the installed sounds in
# ../share/marrowfen2 from its own folder.
# Helpers below are called through mf_check and mf_wait_until.
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ID=org.marrowfen.Marrowfen2

at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }

mf_setup
for tool in cpack dpkg-deb lintian desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || mf_die "$tool is not installed (bash scripts/deps.sh test)"
done

# ------------------------------------------------------------ the package ---

pkg=$MF_TMP/pkg
cpack --config "$MF_BUILD/CPackConfig.cmake" -G DEB -B "$pkg" >"$MF_TMP/cpack.log" 2>&1 ||
    { cat "$MF_TMP/cpack.log" >&2; mf_die "cpack could not make the package"; }
shopt -s nullglob
debs=("$pkg"/*.deb)
shopt -u nullglob
((${#debs[@]} == 1)) || mf_die "cpack made ${#debs[@]} packages, not one"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg --print-architecture)
mf_log "$(basename "$deb"): $(stat -c %s "$deb") bytes, Depends: $(dpkg-deb -f "$deb" Depends)"
mf_check "the package is named marrowfen2_<version>_<arch>.deb" \
    test "$(basename "$deb")" = "marrowfen2_${version}_$arch.deb"
# Computed dependencies carry the versions dpkg-shlibdeps found.
mf_check "its dependencies are computed: Qt's widgets and the C library with their versions" \
    bash -c "dpkg-deb -f '$deb' Depends | grep -Eq 'libqt6widgets6 \\(>= [0-9.]+\\)' &&
             dpkg-deb -f '$deb' Depends | grep -Eq 'libc6 \\(>= [0-9.]+\\)'"

lintian_log=$MF_ARTIFACTS/package_test-lintian.txt
lintian --fail-on error --tag-display-limit 0 "$deb" >"$lintian_log" 2>&1
status=$?
mf_log "lintian: $(grep -c '^E:' "$lintian_log") errors, $(grep -c '^W:' "$lintian_log") warnings (in $lintian_log)"
mf_check "lintian reports no errors" test "$status" -eq 0

root=$MF_TMP/root
dpkg-deb -x "$deb" "$root" || mf_die "dpkg-deb -x failed"
mf_check "the menu entry passes desktop-file-validate" \
    desktop-file-validate "$root/usr/share/applications/$ID.desktop"
mf_check "the catalogue entry passes appstreamcli validate" \
    appstreamcli validate --no-net "$root/usr/share/metainfo/$ID.metainfo.xml"
mf_check "the copyright file names the licence, GPL-3.0-or-later, and Debian's copy of it" \
    bash -c "grep -q '^License: GPL-3.0-or-later\$' '$root/usr/share/doc/marrowfen2/copyright' &&
             grep -q '/usr/share/common-licenses/GPL-3' '$root/usr/share/doc/marrowfen2/copyright'"
manual=$MF_TMP/manual.txt
MANWIDTH=80 man -l "$root/usr/share/man/man6/marrowfen2.6.gz" >"$manual" 2>"$MF_TMP/man.log"
# Sources, scripts and build files: every one carries the licence's SPDX line.
unlicensed=$(cd "$MF_REPO" && git ls-files '*.cpp' '*.h' '*.sh' '*.py' '*.cmake' CMakeLists.txt '*/CMakeLists.txt' \
    .ci/run packaging/marrowfen2 2>/dev/null | xargs -r grep -L 'SPDX-License-Identifier: GPL-3.0-or-later')
mf_check "every source, script and build file names its licence (SPDX): ${unlicensed:-all do}" test -z "$unlicensed"
mf_check "the manual page renders, with a KEYS section that names the board keys and the boss key" \
    bash -c "grep -q '^KEYS' '$manual' && grep -q 'Page Up' '$manual' && grep -q '^BOSS KEY' '$manual' &&
             grep -q '^SCREEN READERS' '$manual' && test ! -s '$MF_TMP/man.log'"
entry() { sed -n "s/^$1=//p" "$root/usr/share/applications/$ID.desktop"; }
mf_check "the menu entry starts the launcher on the players' PATH (/usr/games)" \
    test -x "$root/usr/games/$(entry Exec)"
mf_check "the menu entry's icon is in the package" \
    test -s "$root/usr/share/icons/hicolor/48x48/apps/$(entry Icon).png"

# --------------------------------------------------------- the player ---

MF_PROGRAM=$root/usr/games/marrowfen2
home=$MF_TMP/home
start=$MF_TMP/elsewhere
data=$home/.local/share/marrowfen2
mkdir -p "$start"
snapshot() { find "$root" -printf '%P %s %T@ %m\n' | sort; }
snapshot >"$MF_TMP/root-before"

# Starts the unpacked launcher from the unrelated folder as a player's
# desktop would on a Wayland session with XWayland.
start_installed() {
    MF_LOG=$MF_ARTIFACTS/$MF_TEST.log
    (
        cd "$start" || exit 1
        unset QT_QPA_PLATFORM XDG_DATA_HOME
        HOME=$home WAYLAND_DISPLAY=wayland-marrowfen-test XDG_SESSION_TYPE=wayland \
            exec "$MF_PROGRAM" </dev/null
    ) >>"$MF_LOG" 2>&1 &
    MF_PID=$!
    MF_WIN=''
    mf_log "started the unpacked launcher (pid $MF_PID) in $start"
    mf_open_main
    mf_board_top
}

# A lost Expert round: cells are pressed until a sound is heard, and it is
# recorded until it has ended. Leaves in span the seconds from the first to
# the last audible sample.
lose_round() {
    mf_record_start "$1"
    mf_press_until_heard 14 || mf_log "no press made a sound"
    mf_wait_until 15 mf_recording_fell_silent || mf_log "the sound did not end within 15 s"
    mf_record_stop >/dev/null
    span=$(mf_sound_span "$MF_REC_FILE")
}

# Ctrl+E and a fresh Expert round.
expert() {
    local w0=$MF_WIN_W
    mf_key "$MF_WIN" ctrl+e
    grown() { mf_geometry "$MF_WIN" && ((MF_WIN_W > w0)); }
    mf_wait_until 5 grown || mf_die "Ctrl+E did not make the window grow to the Expert board"
}

start_installed
mf_check "the launcher runs the game itself (the unpacked libexec/marrowfen2)" \
    test "$(readlink "/proc/$MF_PID/exe")" = "$root/usr/libexec/marrowfen2"
mf_check "on a Wayland desktop the game goes through XWayland (QT_QPA_PLATFORM=xcb)" \
    grep -qz '^QT_QPA_PLATFORM=xcb$' "/proc/$MF_PID/environ"
mf_check "the data folder is made with the 129-byte default records" \
    cmp -s "$data/Vorask7.fez" <(mf_default_records)
mf_check "the game runs in the data folder" test "$(readlink "/proc/$MF_PID/cwd")" = "$data"
# The desktop ties the window to its menu entry (and icon) by WM_CLASS.
mf_check "the game window's class is the menu entry's StartupWMClass" \
    bash -c "xprop -id '$MF_WIN' WM_CLASS | grep -q '\"$(entry StartupWMClass)\"'"

expert
for round in 1 2 3; do
    lose_round "package-loss-$round"
    mf_log "lost round $round: sound for $span s"
    # The explosion sounds for 1.5 s; a laugh may follow it.
    mf_check "lost round $round is heard with the installed explosion" \
        bash -c "$(declare -f at_least at_most); at_least $span 1.4 && at_most $span 4"
    mf_key "$MF_WIN" ctrl+r
    sleep 0.3
done
mf_check "the game still runs after three lost rounds" mf_running
mf_stop_game

# The player's own record and explosion.
printf '%-40s%-3s' "Zebulon Quirk" 42 Anonymous 999 Anonymous 999 >"$data/Vorask7.fez"
cp "$data/Vorask7.fez" "$MF_TMP/records"
sox -n -r 44100 -b 16 -e signed-integer -c 1 -t wav "$data/Vorask1.fez" synth 5 sine 440 vol 0.5 ||
    mf_die "sox could not make a sound file"
start_installed
mf_check "the player's record file is kept on a second start" cmp -s "$data/Vorask7.fez" "$MF_TMP/records"
expert
lose_round package-loss-own
mf_log "lost round with the player's explosion: sound for $span s"
mf_check "the player's 5 s explosion in the data folder plays instead of the installed one" \
    at_least "$span" 4.5
mf_stop_game

mf_check "nothing is written in the folder the game was started from" test -z "$(ls -A "$start")"
mf_check "the data folder holds only the record file and the player's sound" \
    test "$(find "$data" -mindepth 1 -printf '%f\n' | sort | tr '\n' ' ')" = "Vorask1.fez Vorask7.fez "
mf_check "nothing is written among the installed files" cmp -s <(snapshot) "$MF_TMP/root-before"

mf_finish
