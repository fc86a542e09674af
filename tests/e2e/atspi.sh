# SPDX-License-Identifier: GPL-3.0-or-later
# AT-SPI for the end-to-end tests: a private session bus with the
# accessibility bus on it, and the game read through it as a screen reader
# reads it (tests/e2e/atspi.py). Source it after lib.sh:
#
#   source "$(dirname "$0")/lib.sh"
#   source "$(dirname "$0")/atspi.sh"
#   mf_setup
#   mf_atspi_setup                # before mf_start_game
#   mf_start_game default
#   mf_open_main
#   mf_atspi board
#
# shellcheck shell=bash

MF_ATSPI_PY=$MF_REPO/tests/e2e/atspi.py
MF_DBUS_PID=''
MF_A11Y_PID=''
MF_LISTEN_PID=''
MF_ATSPI_SERVER='' # atspi.py serve, once mf_atspi_setup has started it
MF_ORCA_PID=''
MF_ORCA_LOG=''
MF_ORCA_MARK=0

# Starts a session bus of this test's own and the accessibility bus
# launcher on it, and asks Qt to talk to it. Stops both when the test ends.
mf_atspi_setup() {
    local tool
    for tool in dbus-daemon /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
        command -v "$tool" >/dev/null || mf_die "$tool is not installed (bash scripts/deps.sh test)"
    done
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || mf_die "python3-pyatspi is not installed (bash scripts/deps.sh test)"
    trap mf_atspi_cleanup EXIT
    local address=$MF_TMP/dbus-address
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$address" \
        >"$MF_TMP/dbus.log" 2>&1 &
    MF_DBUS_PID=$!
    mf_wait_until 10 grep -q unix: "$address" || mf_die "the session bus did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$address")
    export DBUS_SESSION_BUS_ADDRESS
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$MF_TMP/a11y.log" 2>&1 &
    MF_A11Y_PID=$!
    mf_wait_until 10 mf_a11y_bus_up || mf_die "the accessibility bus did not start"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    export NO_AT_BRIDGE=1 # no GTK helper of ours joins the bus
    mkfifo "$MF_TMP/atspi.req" "$MF_TMP/atspi.rep" || mf_die "cannot make the AT-SPI server's pipes"
    /usr/bin/python3 "$MF_ATSPI_PY" serve "$MF_TMP" 2>>"$MF_TMP/atspi-server.log" &
    MF_ATSPI_SERVER=$!
    mf_log "accessibility bus up"
}

mf_a11y_bus_up() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1
}

# mf_atspi COMMAND ARGS... : runs a command of atspi.py (see there), in its
# server (atspi.py serve) while that runs, one command at a time.
mf_atspi() {
    if [[ -z $MF_ATSPI_SERVER || $1 == solve || $1 == listen ]] || mf_gone "$MF_ATSPI_SERVER"; then
        timeout 60 /usr/bin/python3 "$MF_ATSPI_PY" "$@"
        return
    fi
    local id=$BASHPID.$RANDOM$RANDOM line status='' req rep
    {
        flock 9
        exec {req}<>"$MF_TMP/atspi.req" {rep}<>"$MF_TMP/atspi.rep"
        printf '%s\0' "$id" "$@" >&"$req"
        printf '\036' >&"$req"
        # (A late answer to a request given up on comes first.)
        while read -r -t 60 -u "$rep" line && [[ $line != "$id "* ]]; do :; done
        exec {req}>&- {rep}>&-
        [[ $line != "$id "* ]] || status=${line#* }
        if [[ -n $status ]]; then
            mf_print_file "$MF_TMP/atspi.out"
            mf_print_file "$MF_TMP/atspi.err" >&2
        fi
    } 9>"$MF_TMP/atspi.lock"
    if [[ -z $status ]]; then
        echo "the AT-SPI server did not answer $1 within 60 s; stopped" >&2
        kill -9 "$MF_ATSPI_SERVER" 2>/dev/null
        return 124
    fi
    return "$status"
}

# mf_print_file FILE : the file's lines, with no process started.
mf_print_file() {
    local line
    while IFS= read -r line || [[ -n $line ]]; do
        printf '%s\n' "$line"
    done <"$1"
}

# mf_listen_start FILE / mf_listen_stop : writes the focus and name-change
# events the game announces into FILE meanwhile.
mf_listen_start() {
    /usr/bin/python3 -u "$MF_ATSPI_PY" listen >"$1" 2>>"$MF_TMP/listen.log" &
    MF_LISTEN_PID=$!
    mf_wait_until 10 grep -q listening "$1" || mf_log "the event listener did not start"
    sleep 0.5 # the game learns of the listener through the registry
}
mf_listen_stop() {
    mf_atspi_stop_pid "$MF_LISTEN_PID"
    MF_LISTEN_PID=''
}

mf_atspi_stop_pid() {
    local pid=$1
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null
        mf_wait_until 3 mf_gone "$pid" || kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
}

# mf_orca_start : starts the Orca screen reader on the test's buses, its
# speech on but with no speech server, so that nothing is heard, with its own
# home and settings (tests/e2e/orca_run.py); what it says goes to
# MF_ORCA_LOG. Call after mf_atspi_setup, before the game starts.
mf_orca_start() {
    /usr/bin/python3 -c 'import orca.orca' 2>/dev/null || mf_die "orca is not installed (bash scripts/deps.sh test)"
    local home=$MF_TMP/orca-home
    mkdir -p "$home/prefs" "$home/run"
    chmod 700 "$home/run"
    MF_ORCA_LOG=$MF_TMP/orca.log
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache \
        XDG_RUNTIME_DIR=$home/run /usr/bin/python3 "$MF_REPO/tests/e2e/orca_run.py" \
        "$MF_ORCA_LOG" "$home/prefs" >"$MF_TMP/orca.out" 2>&1 &
    MF_ORCA_PID=$!
    mf_wait_until 20 grep -q 'Starting ATSPI registry' "$MF_ORCA_LOG" 2>/dev/null ||
        { cat "$MF_TMP/orca.out" >&2; mf_die "Orca did not start"; }
    mf_log "Orca up (pid $MF_ORCA_PID)"
}

# mf_orca_mark : what Orca says from now on is what mf_orca_said and
# mf_orca_speech look at.
mf_orca_mark() { MF_ORCA_MARK=$(wc -l <"$MF_ORCA_LOG"); }

# mf_orca_speech : Orca's utterances since the mark, one a line, keys it
# echoes left out ("'tab ' {"). Orca's own messages may name the voice
# they are said in ("'...' voice=system{...").
mf_orca_speech() {
    # An utterance of several lines (a dialog with its labels) is one line
    # here, its lines joined by blanks. A key echo ends "' {".
    awk -v mark="$MF_ORCA_MARK" '
        NR <= mark { next }
        !open && /SPEECH OUTPUT: \x27.*\x27 \{/ { next }
        open { sub(/^ +/, ""); said = said " " $0 }
        !open && /SPEECH OUTPUT: \x27/ { sub(/^.*SPEECH OUTPUT: \x27/, ""); said = $0; open = 1 }
        open && said ~ /\x27( voice=[a-z]*)?\{.*$/ {
            sub(/\x27( voice=[a-z]*)?\{.*$/, "", said); print said; open = 0 }' "$MF_ORCA_LOG"
}

# mf_orca_said REGEX... : true when Orca, since the mark, said utterances
# matching each REGEX (whole utterances, extended), in this order.
# mf_orca_says SECONDS REGEX... : Orca says these utterances in this order
# within SECONDS (mf_orca_said); what it said is logged either way.
mf_orca_says() {
    local seconds=$1 status=0
    shift
    mf_wait_until "$seconds" mf_orca_said "$@" || status=1
    mf_log "Orca: $(mf_orca_speech | paste -sd '|' | tail -c 600)"
    return "$status"
}

mf_orca_said() {
    local said pattern at=0
    mapfile -t said < <(mf_orca_speech)
    for pattern in "$@"; do
        while ((at < ${#said[@]})) && ! [[ ${said[at]} =~ ^($pattern)$ ]]; do
            at=$((at + 1))
        done
        ((at < ${#said[@]})) || return 1
        at=$((at + 1))
    done
}

# The exit trap: the game and the rest of lib.sh's clean-up, then the buses.
mf_atspi_cleanup() {
    local status=$?
    mf_stop_game
    mf_atspi_stop_pid "$MF_ORCA_PID"
    mf_atspi_stop_pid "$MF_LISTEN_PID"
    mf_atspi_stop_pid "$MF_ATSPI_SERVER"
    mf_atspi_stop_pid "$MF_A11Y_PID"
    mf_atspi_stop_pid "$MF_DBUS_PID"
    (exit "$status")
    mf_cleanup
}
