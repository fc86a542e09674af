# SPDX-License-Identifier: GPL-3.0-or-later
# Harness for the end-to-end tests: the real marrowfen2 in a real X server
# (Xvfb), driven with xdotool, heard through a null sink of a private sound
# server (PulseAudio, or PipeWire with its Pulse service).
#
# A test sources this file, calls mf_setup, then the helpers below, and ends
# with mf_finish:
#
#   source "$(dirname "$0")/lib.sh"
#   mf_setup
#   mf_start_game default         # in a fresh working directory
#   mf_open_main                  # click the title window away
#   mf_board_top                  # find the menu bar's height
#   rec=$(mf_listen lost 3 mf_click_cell 5 5)
#   mf_check "a sound was played" mf_heard "$rec"
#   mf_finish
#
# scripts/test.sh runs every tests/e2e/*_test.sh, several side by side; a
# test exits 0 when it passed. A test shares nothing with another: its X
# display, sound server, session buses, runtime folder (XDG_RUNTIME_DIR) and
# temporary folder are its own. Everything a test starts is stopped by an EXIT
# trap. Screenshots, sound recordings and the program's output land in
# artifacts/e2e/.
#
# There is no window manager unless the test starts one with mf_start_wm:
# windows then have no frame or title bar, and a window's position and size
# are those of its client area. Keys go to the window given to mf_key (it
# takes the focus); mf_close_window does what a close box does. Minimising has
# nothing to act on: a window asking to be minimised stays on the screen, and
# WM_STATE (mf_window_state) is set by nobody. Under mf_start_wm (openbox,
# or the one MF_WM names) windows are framed, placed, focused and minimised
# as on a desktop.
#
# Environment:
#   MARROWFEN_BUILD_DIR  build folder holding marrowfen2 (default: build/)
#   MF_PROGRAM           the program to start (default: the build's marrowfen2)
#   MF_TIMEOUT           seconds to wait for a window or an exit (default 20)
#   MF_SOUND_RMS_MIN     RMS amplitude above which a recording counts as
#                        sound (default 0.001; the null sink's silence is 0)
#   MF_SOUND_SERVER      pulseaudio or pipewire (default: pipewire where
#                        only PipeWire is installed, pulseaudio otherwise)
#   MF_KEEP=1            keep the temporary folders for inspection
#   MF_ARTIFACTS         where screenshots, recordings and the program's
#                        output go (default: artifacts/e2e/); a second run of
#                        a test beside the first gives it a folder of its own
#   MF_WM                the window manager of mf_start_wm: openbox (the
#                        default), mutter (GNOME's, on X), kwin (KDE's) or
#                        mutter-wayland (GNOME's Wayland session, the game
#                        on its XWayland)
#
# shellcheck shell=bash
# shellcheck disable=SC2034  # variables here are for the tests that source it

set -uo pipefail

MF_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=tests/audio/private_pipewire.sh
source "$MF_REPO/tests/audio/private_pipewire.sh"
MF_BUILD=${MARROWFEN_BUILD_DIR:-$MF_REPO/build}
# Debian's python3, which has python3-pyatspi. One found earlier on PATH
# (pyenv's shims, a virtual environment) is another, and may take ten times
# as long to start: the checks that poll run it many times a second.
python3() { /usr/bin/python3 "$@"; }
MF_PROGRAM=${MF_PROGRAM:-$MF_BUILD/marrowfen2}
MF_ARTIFACTS=${MF_ARTIFACTS:-$MF_REPO/artifacts/e2e}
MF_TIMEOUT=${MF_TIMEOUT:-20}
MF_SOUND_RMS_MIN=${MF_SOUND_RMS_MIN:-0.001}
MF_WM=${MF_WM:-openbox}
MF_TEST=$(basename "${0%.sh}")
# A run under another window manager keeps its log apart.
[[ $MF_WM == openbox ]] || MF_TEST+="-$MF_WM"

# Window titles.
MF_TITLE=' -=:Marrowfen 2:=-'      # the game window (leading blank)
MF_STARTUP_TITLE='Marrowfen 2'     # the title window shown first, and About

# Board geometry in pixels, from the top left corner of the client area
# below the menu bar: cell (c, r), counted from 1, has its top left corner at
# (8 + 24 (c - 1), 64 + 24 (r - 1)) and is 26 pixels square.
MF_CELL_X0=8
MF_CELL_Y0=64
MF_CELL_PITCH=24
MF_CELL_SIZE=26

MF_TMP=''          # this test's temporary folder (work dir, X, sound server)
MF_WORKDIR=''      # the program's current directory
MF_PID=''          # the program
MF_XVFB_PID=''
MF_WM_PID=''
MF_WM_BUS_PID=''
MF_PULSE_PID=''
MF_PIPEWIRE_RUN='' # the private PipeWire's runtime folder, when it runs
MF_SILENCE_PID=''
MF_REC_PID=''
MF_REC_FILE=''
MF_WIN=''          # id of the game window once found
MF_WIN_X=0 MF_WIN_Y=0 MF_WIN_W=0 MF_WIN_H=0
MF_EXIT=''         # the program's exit status, after mf_wait_exit
MF_TOP=0           # height of the menu bar, after mf_board_top
MF_LOG=''
MF_REC_RAW=''
MF_SINK=''
MF_FAILURES=0
MF_CHECKS=0

mf_log() { printf '[%s] %s\n' "$MF_TEST" "$*" >&2; }

# Stops the test at once as failed.
mf_die() {
    mf_log "FAIL: $*"
    MF_FAILURES=$((MF_FAILURES + 1))
    mf_screenshot "${MF_TEST}-failure" root >/dev/null 2>&1 || true
    exit 1
}

# mf_check DESCRIPTION COMMAND... : runs the command, counts a failure when
# it fails, and goes on.
mf_check() {
    local what=$1
    shift
    MF_CHECKS=$((MF_CHECKS + 1))
    if "$@"; then
        mf_log "ok: $what"
    else
        mf_log "FAIL: $what"
        MF_FAILURES=$((MF_FAILURES + 1))
    fi
}

# Ends the test: exit status 0 when every check passed.
mf_finish() {
    if ((MF_FAILURES > 0)); then
        mf_log "$MF_FAILURES of $MF_CHECKS checks failed"
        exit 1
    fi
    mf_log "all $MF_CHECKS checks passed"
    exit 0
}

# mf_wait_until TIMEOUT COMMAND... : polls the command until it succeeds (0)
# or the timeout in seconds runs out (1): after 50 ms, then twice as long each
# time up to 400 ms. Most waits end within a few polls; a long one (Orca's
# speech, a sound server) costs a poll or two a second, not twenty, which
# matters where each poll starts a python3.
mf_wait_until() {
    local timeout=$1 pause=50
    shift
    local deadline=$((SECONDS + timeout)) seconds
    while true; do
        if "$@"; then
            return 0
        fi
        if ((SECONDS >= deadline)); then
            return 1
        fi
        printf -v seconds '0.%03d' "$pause"
        sleep "$seconds"
        ((pause = pause >= 200 ? 400 : 2 * pause))
    done
}

# ---------------------------------------------------------------- set-up ---

# Makes the temporary folder, starts Xvfb and a private sound server, and
# arranges for all of it to be stopped when the test exits.
mf_setup() {
    for tool in Xvfb xdpyinfo xdotool xwininfo xprop import convert pactl parec pacat sox /usr/bin/python3; do
        command -v "$tool" >/dev/null || mf_die "$tool is not installed (bash scripts/deps.sh test)"
    done
    [[ -x $MF_PROGRAM ]] || mf_die "no program at $MF_PROGRAM (build it first)"
    mf_setup_tmp
    mf_start_xvfb
    mf_start_pulse
}

# Makes the temporary folder (MF_TMP, with the working directory MF_WORKDIR)
# and arranges for it and whatever the test starts to go when it exits; for
# a test that needs neither a display nor sound, instead of mf_setup.
mf_setup_tmp() {
    mkdir -p "$MF_ARTIFACTS"
    MF_TMP=$(mktemp -d "${TMPDIR:-/tmp}/marrowfen-e2e.XXXXXX")
    MF_WORKDIR=$MF_TMP/work
    mkdir -p "$MF_WORKDIR"
    # A runtime folder of the test's own: the accessibility bus, Qt and the
    # desktop's services put their sockets there, and two tests side by side
    # must not meet in one.
    export XDG_RUNTIME_DIR=$MF_TMP/runtime
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    trap mf_cleanup EXIT
    trap 'exit 130' INT TERM
}

# Starts Xvfb on a display number it picks itself and exports DISPLAY.
mf_start_xvfb() {
    local fdfile=$MF_TMP/display
    : >"$fdfile"
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset \
        9>"$fdfile" >"$MF_TMP/xvfb.log" 2>&1 &
    MF_XVFB_PID=$!
    if ! mf_wait_until 15 grep -q '[0-9]' "$fdfile"; then
        cat "$MF_TMP/xvfb.log" >&2
        mf_die "Xvfb did not start"
    fi
    DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
    export DISPLAY
    mf_wait_until 5 xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 ||
        mf_die "display $DISPLAY does not answer"
    mf_log "Xvfb on $DISPLAY"
}

# Starts a sound server of this test's own (MF_SOUND_SERVER) with one null
# sink, "mf_sink", as its default, and points PULSE_SERVER at it: what the
# program plays goes nowhere but can be recorded from mf_sink.monitor.
mf_start_pulse() {
    local server
    server=$(marrowfen_sound_server)
    case $server in
        pulseaudio) mf_start_pulseaudio ;;
        pipewire) mf_start_pipewire ;;
        *) mf_die "MF_SOUND_SERVER is pulseaudio or pipewire, not $server" ;;
    esac
    MF_SINK=mf_sink
    mf_start_silence
    mf_log "sound server: $(pactl info 2>/dev/null | sed -n 's/^Server Name: //p')"
}

mf_start_pulseaudio() {
    command -v pulseaudio >/dev/null || mf_die "pulseaudio is not installed (MF_SOUND_SERVER=pipewire uses PipeWire)"
    local dir=$MF_TMP/pulse
    mkdir -p "$dir"
    chmod 700 "$dir"
    # Its home too: the daemon writes its cookie under ~/.config/pulse, and
    # clients need none (auth-anonymous).
    HOME=$dir XDG_CONFIG_HOME=$dir PULSE_RUNTIME_PATH=$dir PULSE_STATE_PATH=$dir \
        pulseaudio --daemonize=no --exit-idle-time=-1 --system=no -n \
        --use-pid-file=no --disallow-exit --log-target=stderr \
        --load="module-null-sink sink_name=mf_sink" \
        --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
        >"$dir/log" 2>&1 &
    MF_PULSE_PID=$!
    export PULSE_SERVER=unix:$dir/native
    export PULSE_SINK=mf_sink
    if ! mf_wait_until 10 pactl info >/dev/null 2>&1; then
        cat "$dir/log" >&2
        mf_die "PulseAudio did not start"
    fi
    pactl set-default-sink mf_sink >/dev/null 2>&1 || true
}

# pipewire, wireplumber and pipewire-pulse in MF_TMP/pipewire; the null sink
# comes through the Pulse service, as a program would load it.
mf_start_pipewire() {
    MF_PIPEWIRE_RUN=$MF_TMP/pipewire
    marrowfen_pipewire_start "$MF_PIPEWIRE_RUN" || mf_die "the private PipeWire did not start"
    export PULSE_SERVER=unix:$MF_PIPEWIRE_RUN/pulse/native
    export PULSE_SINK=mf_sink
    export PIPEWIRE_RUNTIME_DIR=$MF_PIPEWIRE_RUN
    pactl load-module module-null-sink sink_name=mf_sink >/dev/null ||
        mf_die "PipeWire made no null sink"
    # The default sink is kept by the session manager, which may still be
    # starting.
    mf_wait_until 10 mf_default_sink_is mf_sink || mf_die "mf_sink did not become the default sink"
}

mf_default_sink_is() {
    pactl set-default-sink "$1" >/dev/null 2>&1 && [[ $(pactl get-default-sink 2>/dev/null) == "$1" ]]
}

# Plays silence into mf_sink for as long as the server runs (it ends with
# it), so that the null sink renders on the wall clock in short blocks.
# Otherwise it renders seconds ahead while nothing asks for a short latency,
# and a recorder started later may still receive a sound that ended before.
mf_start_silence() {
    pacat --playback --raw --format=s16le --channels=1 --rate=22050 \
        --latency-msec=50 </dev/zero >/dev/null 2>&1 &
    MF_SILENCE_PID=$!
}

# Starts the window manager MF_WM on the test's display, for what needs one:
# minimising, close boxes, focus and window state. Call after mf_setup. It
# gets a home, a runtime folder and a session bus of its own, so nothing of
# the machine's desktop is read or touched:
#   openbox  no session manager
#   mutter   --x11 (its own X11 compositing manager), no session manager
#   kwin     kwin_x11 on Qt's X platform, compositing off (KWIN_COMPOSE=N):
#            Xvfb has no GPU, and software GL would take a core
#   mutter-wayland
#            a headless Wayland session with one virtual monitor of Xvfb's
#            size; it starts XWayland at once and the test moves to it
#            (DISPLAY, and XAUTHORITY for XTEST input). Xvfb stays unused.
mf_start_wm() {
    local dir=$MF_TMP/wm command=()
    case $MF_WM in
        openbox) command=(openbox --sm-disable) ;;
        mutter) command=(mutter --x11 --replace --sm-disable) ;;
        kwin) command=(kwin_x11 --replace) ;;
        mutter-wayland)
            command -v Xwayland >/dev/null || mf_die "Xwayland is not installed (bash scripts/deps.sh test)"
            command=(mutter --wayland --headless --virtual-monitor 1024x768 --sm-disable) ;;
        *) mf_die "unknown window manager MF_WM=$MF_WM (openbox, mutter, kwin or mutter-wayland)" ;;
    esac
    command -v "${command[0]}" >/dev/null || mf_die "${command[0]} is not installed (bash scripts/deps.sh test)"
    mkdir -p "$dir/config" "$dir/run"
    chmod 700 "$dir/run"
    : >"$dir/bus"
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$dir/bus" \
        >"$dir/bus.log" 2>&1 &
    MF_WM_BUS_PID=$!
    mf_wait_until 10 grep -q unix: "$dir/bus" || mf_die "the window manager's session bus did not start"
    env HOME="$dir" XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/run" \
        DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$dir/bus")" \
        QT_QPA_PLATFORM=xcb KWIN_COMPOSE=N \
        "${command[@]}" >"$dir/log" 2>&1 &
    MF_WM_PID=$!
    [[ $MF_WM != mutter-wayland ]] || mf_wait_until 20 mf_xwayland_up ||
        { cat "$dir/log" >&2; mf_die "no XWayland display from mutter"; }
    mf_wait_until 20 mf_wm_running || { cat "$dir/log" >&2; mf_die "$MF_WM did not start"; }
    mf_log "$MF_WM on $DISPLAY"
}

# True once the Wayland session's XWayland answers; it then is DISPLAY.
mf_xwayland_up() {
    local display auth
    display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$MF_TMP/wm/log" | head -n 1)
    auth=$(find "$MF_TMP/wm/run" -maxdepth 1 -name '.mutter-Xwaylandauth.*' | head -n 1)
    [[ -n $display && -n $auth ]] || return 1
    DISPLAY=$display XAUTHORITY=$auth xdpyinfo >/dev/null 2>&1 || return 1
    export DISPLAY=$display XAUTHORITY=$auth
}

mf_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# mf_active_window : prints the id of the window that has the focus, as the
# window manager says.
mf_active_window() { xdotool getactivewindow 2>/dev/null; }

# Stops whatever this test started, by process id.
mf_cleanup() {
    local status=$?
    trap - EXIT
    mf_record_stop >/dev/null 2>&1 || true
    mf_stop_game
    local pid
    for pid in "$MF_SILENCE_PID" "${MF_WM_PID:-}" "${MF_WM_BUS_PID:-}" "$MF_PULSE_PID" "$MF_XVFB_PID"; do
        if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null
            mf_wait_until 3 mf_gone "$pid" || kill -9 "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        fi
    done
    [[ -z $MF_PIPEWIRE_RUN ]] || marrowfen_pipewire_stop "$MF_PIPEWIRE_RUN"
    if [[ -n $MF_TMP ]]; then
        if [[ ${MF_KEEP:-0} == 1 ]]; then
            mf_log "kept $MF_TMP"
        else
            rm -rf "$MF_TMP"
        fi
    fi
    exit "$status"
}

mf_gone() { ! kill -0 "$1" 2>/dev/null; }

# ---------------------------------------------------------- the program ---

# mf_start_game [RECORDS] : starts the program in the working directory with
# the sound files copied in. RECORDS is the record file to give it:
#   default  (the default) three records "Anonymous", 999 seconds
#   none     no record file
#   a path   a copy of that file
mf_start_game() {
    local records=${1:-default}
    [[ -z $MF_PID ]] || mf_die "the program is already running"
    mf_copy_sounds
    rm -f "$MF_WORKDIR/Vorask7.fez"
    case $records in
        none) ;;
        default) mf_default_records >"$MF_WORKDIR/Vorask7.fez" ;;
        *) cp "$records" "$MF_WORKDIR/Vorask7.fez" || mf_die "no record file $records" ;;
    esac
    MF_LOG=$MF_ARTIFACTS/$MF_TEST.log
    (
        cd "$MF_WORKDIR" || exit 1
        unset QT_QPA_PLATFORM
        exec "$MF_PROGRAM" </dev/null
    ) >"$MF_LOG" 2>&1 &
    MF_PID=$!
    MF_WIN=''
    mf_log "started $(basename "$MF_PROGRAM") (pid $MF_PID) in $MF_WORKDIR"
}

# The three default records (129 bytes) on standard output.
mf_default_records() {
    local i
    for i in 1 2 3; do printf '%-40s%-3s' Anonymous 999; done
}

# Copies the sound files into the working directory: from assets/sounds, or
# from beside the program when the repository has none.
mf_copy_sounds() {
    local sounds
    shopt -s nullglob
    sounds=("$MF_REPO"/assets/sounds/*.fez)
    ((${#sounds[@]})) || sounds=("$(dirname "$MF_PROGRAM")"/Vorask[1-6].fez)
    shopt -u nullglob
    ((${#sounds[@]})) || mf_die "no sound files found"
    cp -f "${sounds[@]}" "$MF_WORKDIR"/
}

# True while the program runs.
mf_running() { [[ -n $MF_PID ]] && kill -0 "$MF_PID" 2>/dev/null; }

# mf_wait_exit [TIMEOUT] : waits for the program to end by itself; the exit
# status is left in MF_EXIT. Fails when it is still running at the timeout.
mf_wait_exit() {
    local timeout=${1:-$MF_TIMEOUT}
    mf_wait_until "$timeout" mf_gone "$MF_PID" || return 1
    wait "$MF_PID" 2>/dev/null
    MF_EXIT=$?
    MF_PID=''
    return 0
}

# Ends the program if it still runs (TERM, then KILL).
mf_stop_game() {
    if [[ -n $MF_PID ]]; then
        if kill -0 "$MF_PID" 2>/dev/null; then
            kill "$MF_PID" 2>/dev/null
            mf_wait_until 3 mf_gone "$MF_PID" || kill -9 "$MF_PID" 2>/dev/null
        fi
        wait "$MF_PID" 2>/dev/null
        MF_PID=''
    fi
}

# ------------------------------------------------------------- windows ---

# Turns a literal text into an extended regular expression matching it whole.
mf_regex() {
    printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\\.*^$+?(){}|/]/\\&/g')"
}

# mf_find_window TITLE : prints the id of the visible window whose title is
# exactly TITLE (xdotool matches without regard to case, so the title is
# compared again), or fails.
mf_find_window() {
    local title=$1 id found=''
    local ids
    ids=$(xdotool search --onlyvisible --name "$(mf_regex "$title")" 2>/dev/null) || return 1
    for id in $ids; do
        if [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$title" ]]; then
            found=$id
        fi
    done
    [[ -n $found ]] || return 1
    printf '%s\n' "$found"
}

# mf_wait_window TITLE [TIMEOUT] : waits until a window with exactly this
# title is mapped and prints its id.
mf_wait_window() {
    local title=$1 timeout=${2:-$MF_TIMEOUT}
    local deadline=$((SECONDS + timeout))
    while ((SECONDS < deadline)); do
        if mf_find_window "$title"; then
            return 0
        fi
        mf_running || { mf_log "the program has ended"; return 1; }
        sleep 0.05
    done
    return 1
}

# mf_wait_no_window TITLE [TIMEOUT] : waits until no window with this title
# is visible.
mf_wait_no_window() {
    local title=$1 timeout=${2:-$MF_TIMEOUT}
    mf_wait_until "$timeout" mf_no_window "$title"
}

mf_no_window() { ! mf_find_window "$1" >/dev/null; }

# mf_open_main : waits for the title window, clicks it away and waits for
# the game window; sets MF_WIN and its geometry (mf_geometry). A game window
# that shows up without a title window first is taken as it is.
mf_open_main() {
    local startup='' deadline=$((SECONDS + MF_TIMEOUT))
    MF_WIN=''
    while ((SECONDS < deadline)); do
        if MF_WIN=$(mf_find_window "$MF_TITLE"); then
            break
        fi
        if startup=$(mf_find_window "$MF_STARTUP_TITLE"); then
            mf_geometry "$startup"
            mf_click "$startup" $((MF_WIN_W / 2)) $((MF_WIN_H / 2))
            MF_WIN=$(mf_wait_window "$MF_TITLE") || mf_die "the game window did not appear after a click on the title window"
            mf_wait_no_window "$MF_STARTUP_TITLE" 5 || mf_die "the title window did not close"
            break
        fi
        mf_running || mf_die "the program ended before showing a window"
        sleep 0.05
    done
    [[ -n $MF_WIN ]] || mf_die "the game window did not appear"
    [[ -n $startup ]] || mf_log "the game window came without a title window"
    mf_geometry "$MF_WIN"
    mf_log "game window $MF_WIN: ${MF_WIN_W}x${MF_WIN_H} at $MF_WIN_X,$MF_WIN_Y"
}

# mf_geometry WINDOW : sets MF_WIN_X, MF_WIN_Y (absolute, on the screen) and
# MF_WIN_W, MF_WIN_H (the client area: the program's own window, menu bar
# included, frame and title bar of a window manager excluded).
mf_geometry() {
    local info line
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    while IFS= read -r line; do
        if [[ $line =~ ^\ *Absolute\ upper-left\ X:\ *(-?[0-9]+) ]]; then MF_WIN_X=${BASH_REMATCH[1]}
        elif [[ $line =~ ^\ *Absolute\ upper-left\ Y:\ *(-?[0-9]+) ]]; then MF_WIN_Y=${BASH_REMATCH[1]}
        elif [[ $line =~ ^\ *Width:\ *([0-9]+) ]]; then MF_WIN_W=${BASH_REMATCH[1]}
        elif [[ $line =~ ^\ *Height:\ *([0-9]+) ]]; then MF_WIN_H=${BASH_REMATCH[1]}
        fi
    done <<<"$info"
}

# mf_window_title WINDOW : prints the window's title.
mf_window_title() { xdotool getwindowname "$1"; }

# mf_window_state WINDOW : prints the ICCCM state: Normal, Iconic or
# Withdrawn (the last also when the property is missing).
mf_window_state() {
    local state
    state=$(xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/^[[:space:]]*window state: //p')
    printf '%s\n' "${state:-Withdrawn}"
}

# mf_close_window WINDOW : asks the window to close, as its close box does
# (the WM_DELETE_WINDOW message a window manager would send).
mf_close_window() {
    python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                         ctypes.c_long, ctypes.POINTER(XEvent)]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
window = int(sys.argv[1], 0)
event = XEvent()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
event.xclient.data[1] = 0  # CurrentTime
x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x.XFlush(display)
x.XCloseDisplay(display)
PY
}

# mf_mapped WINDOW : true when the window is mapped and viewable.
mf_mapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# --------------------------------------------------------------- input ---

# mf_click WINDOW X Y [BUTTON] : clicks at (X, Y) relative to the window's
# top left corner (button 1 left, 2 middle, 3 right).
mf_click() {
    local win=$1 x=$2 y=$3 button=${4:-1}
    # No --sync: it waits for a motion that never comes when the pointer is
    # already there.
    xdotool mousemove --window "$win" "$x" "$y" || return 1
    sleep 0.05
    xdotool click "$button"
}

# mf_press WINDOW X Y [BUTTON] / mf_release [BUTTON] : press and release
# separately (a press alone is what starts some commands).
mf_press() {
    local win=$1 x=$2 y=$3 button=${4:-1}
    # No --sync: it waits for a motion that never comes when the pointer is
    # already there.
    xdotool mousemove --window "$win" "$x" "$y" || return 1
    sleep 0.05
    xdotool mousedown "$button"
}
mf_release() { xdotool mouseup "${1:-1}"; }

# mf_key WINDOW KEY... : gives the window the keyboard focus and types the
# keys, in xdotool's names: ctrl+e, Return, Escape, a, ...
mf_key() {
    local win=$1
    shift
    mf_focus "$win" || return 1
    xdotool key --clearmodifiers --delay 50 "$@"
}

# mf_type WINDOW TEXT : types a text into the window that has the focus.
mf_type() {
    local win=$1
    shift
    mf_focus "$win" || return 1
    xdotool type --clearmodifiers --delay 30 "$*"
}

# mf_focus WINDOW : keyboard focus to the window (and the pointer over it,
# since with no window manager X may send keys to the window under it).
mf_focus() {
    local win=$1
    mf_geometry "$win" || return 1
    xdotool mousemove --window "$win" $((MF_WIN_W / 2)) 2 2>/dev/null || true
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
}

# Client y of the top of the game area, just below the menu bar. Found from
# the black line under the status strip, 56 pixels below that top (840
# twips): the first row that is black at x = 20, 105 and 265, which lie on
# the line but not all three on the black labels above it.
mf_client_top() {
    local win=${1:-$MF_WIN} shot=$MF_TMP/top.png y
    import -window "$win" "$shot" 2>/dev/null || return 1
    y=$(convert "$shot" -crop "x200+0+0" +repage -depth 8 txt:- 2>/dev/null |
        awk -F'[,:]' '
            /^#/ { next }
            { x = $1 + 0; y = $2 + 0
              if ((x == 20 || x == 105 || x == 265) && $0 ~ /#000000/) n[y]++ }
            END { best = -1
                  for (r in n) if (n[r] == 3 && (best < 0 || r + 0 < best)) best = r + 0
                  print best }')
    [[ $y =~ ^[0-9]+$ ]] && ((y >= 56)) || return 1
    printf '%s\n' $((y - 56))
}

# mf_cell_xy COL ROW : prints the client x and y of the middle of a cell,
# counted from 1. Needs MF_TOP (see mf_board_top).
mf_cell_xy() {
    local c=$1 r=$2
    printf '%s %s\n' \
        $((MF_CELL_X0 + MF_CELL_PITCH * (c - 1) + MF_CELL_SIZE / 2)) \
        $((MF_TOP + MF_CELL_Y0 + MF_CELL_PITCH * (r - 1) + MF_CELL_SIZE / 2))
}

# Sets MF_TOP, the menu bar's height, for mf_cell_xy and mf_click_cell.
mf_board_top() {
    MF_TOP=$(mf_client_top "$MF_WIN") || mf_die "cannot find the top of the game area below the menu bar"
    mf_log "menu bar height $MF_TOP"
}

# mf_click_cell COL ROW [BUTTON] : clicks a cell of the board.
mf_click_cell() {
    local xy
    xy=$(mf_cell_xy "$1" "$2")
    # shellcheck disable=SC2086
    mf_click "$MF_WIN" $xy "${3:-1}"
}

# --------------------------------------------------------- screenshots ---

# mf_screenshot NAME [WINDOW|root] : saves artifacts/e2e/NAME.png (the game
# window by default) and prints its path.
mf_screenshot() {
    local name=$1 win=${2:-${MF_WIN:-root}}
    local file=$MF_ARTIFACTS/$name.png
    import -window "$win" "$file" 2>/dev/null || return 1
    printf '%s\n' "$file"
}

# mf_pixel FILE X Y : prints the colour of a pixel of an image as #RRGGBB.
mf_pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
        grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1
}

# ---------------------------------------------------------------- sound ---

# mf_record_start NAME : starts recording the null sink's monitor; the
# recording becomes artifacts/e2e/NAME.wav at mf_record_stop. Returns once
# sound data flows (the null sink renders in long blocks until a recorder
# asks for a short latency, so the first data can take a moment).
mf_record_start() {
    MF_REC_FILE=$MF_ARTIFACTS/$1.wav
    MF_REC_RAW=$MF_TMP/$1.raw
    rm -f "$MF_REC_FILE" "$MF_REC_RAW"
    parec --device="$MF_SINK.monitor" --latency-msec=20 \
        --format=s16le --channels=1 --rate=22050 \
        >"$MF_REC_RAW" 2>>"$MF_TMP/parec.log" &
    MF_REC_PID=$!
    mf_wait_until 5 mf_file_has_data "$MF_REC_RAW" ||
        mf_log "the recorder of $MF_SINK.monitor delivers nothing yet"
}

mf_file_has_data() { [[ -s $1 ]]; }

# mf_record_stop : ends the recording, saves it as a wave file and prints
# the file's name.
mf_record_stop() {
    [[ -n $MF_REC_PID ]] || return 1
    sleep 0.1 # what was rendered last is still on its way
    kill -INT "$MF_REC_PID" 2>/dev/null
    mf_wait_until 3 mf_gone "$MF_REC_PID" || kill -9 "$MF_REC_PID" 2>/dev/null
    wait "$MF_REC_PID" 2>/dev/null
    MF_REC_PID=''
    # A recording already saved (by a stop in a subshell) is left as it is.
    if [[ -f $MF_REC_RAW ]]; then
        sox -t raw -e signed-integer -b 16 -c 1 -r 22050 "$MF_REC_RAW" "$MF_REC_FILE" 2>/dev/null ||
            sox -n -r 22050 -c 1 "$MF_REC_FILE" trim 0 0
        rm -f "$MF_REC_RAW"
    fi
    printf '%s\n' "$MF_REC_FILE"
}

# mf_sound_rms FILE : prints the RMS amplitude of a recording (0 to 1).
mf_sound_rms() {
    local rms
    rms=$(sox "$1" -n stat 2>&1 | awk '/^RMS +amplitude/ { print $3 }')
    [[ $rms =~ ^[0-9.eE+-]+$ ]] || rms=0
    printf '%s\n' "$rms"
}

# mf_sound_length FILE : prints a recording's length in seconds.
mf_sound_length() {
    sox "$1" -n stat 2>&1 | awk '/^Length \(seconds\)/ { print $3 }'
}

# mf_heard FILE : true when the recording holds sound.
mf_heard() {
    local rms
    rms=$(mf_sound_rms "$1")
    mf_log "$(basename "$1"): RMS $rms, $(mf_sound_length "$1") s"
    awk -v a="$rms" -v b="$MF_SOUND_RMS_MIN" 'BEGIN { exit !(a > b) }'
}

# mf_silent FILE : true when the recording holds no sound.
mf_silent() { ! mf_heard "$1"; }

# mf_listen NAME SECONDS COMMAND... : records NAME while running the command
# and for SECONDS after it, then prints the recording's file name.
mf_listen() {
    local name=$1 seconds=$2
    shift 2
    mf_record_start "$name"
    "$@" >&2
    sleep "$seconds"
    mf_record_stop
}

# mf_recording_has_sound : true when the recording in progress holds any
# sound yet (the null sink's silence is all zero bytes).
mf_recording_has_sound() {
    local n
    n=$(LC_ALL=C tr -d '\000' <"$MF_REC_RAW" 2>/dev/null | head -c 1 | wc -c)
    ((n > 0))
}

# mf_recording_fell_silent : true when the recording in progress holds sound
# and its last 0.6 s are silent: what was played has ended.
mf_recording_fell_silent() {
    local n
    mf_recording_has_sound || return 1
    (($(stat -c %s "$MF_REC_RAW") > 26460)) || return 1
    n=$(tail -c 26460 "$MF_REC_RAW" | LC_ALL=C tr -d '\000' | head -c 1 | wc -c)
    ((n == 0))
}

# mf_press_until_heard SIZE : presses the cells of a SIZE x SIZE board with
# the left button, column by column, until the recording in progress holds
# sound; leaves the number of presses in MF_PRESSES and the last cell pressed
# in MF_PRESSED ("column row"). Fails when no press made a sound.
MF_PRESSES=0
MF_PRESSED=''
mf_press_until_heard() {
    local size=$1 c r
    MF_PRESSES=0
    for ((c = 1; c <= size; c++)); do
        for ((r = 1; r <= size; r++)); do
            # The pointer goes away first: a click where it already is
            # would stall.
            xdotool mousemove 1023 767
            mf_click_cell "$c" "$r" || mf_die "cannot press cell ($c, $r)"
            MF_PRESSES=$((MF_PRESSES + 1))
            MF_PRESSED="$c $r"
            sleep 0.1
            mf_recording_has_sound && return 0
        done
    done
    return 1
}

# mf_sound_span FILE : prints the seconds from the first to the last audible
# sample of a recording (0 when there is none).
mf_sound_span() {
    python3 - "$1" <<'PY'
import array, sys, wave
with wave.open(sys.argv[1]) as w:
    rate = w.getframerate()
    samples = array.array("h", w.readframes(w.getnframes()))
if sys.byteorder == "big":
    samples.byteswap()
loud = [i for i, s in enumerate(samples) if abs(s) > 300]
print("%.2f" % ((loud[-1] - loud[0]) / rate if loud else 0))
PY
}
