#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The help window, under a window manager (openbox):
# - Ctrl+H shows "-=:Game Help:=-" (a screenshot is kept).
# - Its button hides it at once while the help sound plays; Ctrl+H shows it
#   again.
# - Its close box keeps it on screen until the sound has played to its end.
# - With Sound On unchecked both ways are silent and immediate.
# - A crafted "Vorask3.fez" (a 42-byte FLAC header claiming 29 s of 8-channel
#   384 kHz audio), put in place while the game runs: every help button
#   hides the window at once, silently, and the game's memory hardly grows.
# Many helpers below are called through others (mf_check, mf_wait_until).
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

HELP_TITLE='-=:Game Help:=-'
SOUND_SECONDS=$(sox "$MF_REPO/assets/sounds/Vorask3.fez" -n stat 2>&1 | awk '/^Length/ { print $3 }')

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# open_help : Ctrl+H on the game window; sets HELP to the help window.
open_help() {
    mf_key "$MF_WIN" ctrl+h
    HELP=$(mf_wait_window "$HELP_TITLE" 5)
}

# gone_ms COMMAND... : runs the command (a key, the close box) and prints
# the milliseconds until the help window is unmapped or destroyed, as the
# X server tells a client that watches it (no poll for the window counts):
# from the key's press as the same client hears it, or from the command's
# end when it presses no key; 99999 when the window stays over 8 s.
gone_ms() {
    local ready=$MF_TMP/gone.ready t0 pressed t1
    rm -f "$ready"
    python3 - "$HELP" "$ready" >"$MF_TMP/gone.out" <<'PY' &
import ctypes, select, sys, time
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XConnectionNumber.argtypes = [ctypes.c_void_p]
x.XPending.argtypes = [ctypes.c_void_p]
x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
KEY_PRESS, DESTROY_NOTIFY, UNMAP_NOTIFY = 2, 17, 18
KEY_PRESS_MASK, STRUCTURE_NOTIFY_MASK = 1 << 0, 1 << 17
display, window = x.XOpenDisplay(None), int(sys.argv[1], 0)
x.XSelectInput(display, window, KEY_PRESS_MASK | STRUCTURE_NOTIFY_MASK)
x.XSync(display, 0)
open(sys.argv[2], "w").write("ready\n")
event = (ctypes.c_long * 24)()  # an XEvent: its type, then the window at [5]
deadline, pressed = time.monotonic() + 8, "-"
while time.monotonic() < deadline:
    while x.XPending(display):
        x.XNextEvent(display, event)
        kind = event[0] & 0xFFFFFFFF
        if kind == KEY_PRESS and pressed == "-":
            pressed = time.time_ns() // 1000000
        if kind in (DESTROY_NOTIFY, UNMAP_NOTIFY) and event[5] == window:
            print(pressed, time.time_ns() // 1000000)
            sys.exit(0)
    select.select([x.XConnectionNumber(display)], [], [], max(0, deadline - time.monotonic()))
sys.exit(1)
PY
    local watcher=$!
    mf_wait_until 5 test -s "$ready" || mf_log "the watcher of the help window did not start"
    "$@"
    t0=$(now_ms)
    wait "$watcher"
    read -r pressed t1 <"$MF_TMP/gone.out"
    [[ $pressed == - ]] || t0=$pressed
    if [[ -z $t1 ]]; then echo 99999; elif ((t1 > t0)); then echo $((t1 - t0)); else echo 0; fi
}

mf_setup
mf_start_wm
mf_start_game default
mf_open_main

mf_check "Ctrl+H shows the help window" open_help
mf_geometry "$HELP"
mf_check "its client area is 360 x 299" test "$MF_WIN_W" = 360 -a "$MF_WIN_H" = 299
mf_screenshot help "$HELP" >/dev/null
first=$HELP

# The button: hidden at once, the sound plays on.
for round in 1 2 3; do
    mf_record_start "help-button-$round"
    gone=$(gone_ms mf_key "$HELP" Return)
    sleep "$SOUND_SECONDS"
    mf_record_stop >/dev/null
    mf_log "button $round: hidden after $gone ms"
    mf_check "button $round hides the window within 200 ms" test "$gone" -le 200
    mf_check "button $round plays the help sound" mf_heard "$MF_REC_FILE"
    mf_check "Ctrl+H shows it again ($round)" open_help
done

# The close box: on screen until the sound has been played.
for round in 1 2; do
    mf_record_start "help-close-$round"
    gone=$(gone_ms mf_close_window "$HELP")
    mf_record_stop >/dev/null
    mf_log "close box $round: gone after $gone ms, the sound lasts $SOUND_SECONDS s"
    mf_check "close box $round waits for the sound" \
        awk -v g="$gone" -v s="$SOUND_SECONDS" 'BEGIN { exit !(g >= 1000 * s - 100 && g <= 1000 * s + 600) }'
    mf_check "close box $round: the sound was heard" mf_heard "$MF_REC_FILE"
    mf_check "Ctrl+H makes it afresh ($round)" open_help
done

# Sound off: both ways silent and immediate.
mf_key "$HELP" Return
mf_wait_no_window "$HELP_TITLE" 5
sleep "$SOUND_SECONDS" # its sound plays on
mf_key "$MF_WIN" ctrl+s
for way in button close; do
    open_help || mf_die "no help window"
    mf_record_start "help-silent-$way"
    if [[ $way == button ]]; then gone=$(gone_ms mf_key "$HELP" Return); else gone=$(gone_ms mf_close_window "$HELP"); fi
    sleep 1
    mf_record_stop >/dev/null
    mf_check "sound off, $way: gone within 200 ms ($gone)" test "$gone" -le 200
    mf_check "sound off, $way: silent" mf_silent "$MF_REC_FILE"
done
# A hostile sound file: silent, and costs neither memory nor the window.
rss_kib() { ps -o rss= -p "$MF_PID" | tr -d ' '; }
python3 - "$MF_WORKDIR/Vorask3.fez" <<'PY'
import sys
rate, channels, frames = 384000, 8, 29 * 384000
info = (4096).to_bytes(2, 'big') * 2 + bytes(6)
info += (rate << 44 | (channels - 1) << 41 | 15 << 36 | frames).to_bytes(8, 'big') + bytes(16)
open(sys.argv[1], 'wb').write(b'fLaC\x80\x00\x00\x22' + info)
PY
mf_key "$MF_WIN" ctrl+s
before=$(rss_kib)
for round in 1 2 3 4 5; do
    open_help || mf_die "no help window"
    mf_record_start "help-hostile-$round"
    gone=$(gone_ms mf_key "$HELP" Return)
    sleep 0.5
    mf_record_stop >/dev/null
    mf_check "hostile sound file, round $round: gone within 200 ms ($gone)" test "$gone" -le 200
    mf_check "hostile sound file, round $round: silent" mf_silent "$MF_REC_FILE"
done
after=$(rss_kib)
mf_log "resident memory around five presses with the hostile file: $before KiB, then $after KiB"
mf_check "the hostile file costs under 8 MiB ($before -> $after KiB)" test $((after - before)) -lt 8192
mf_check "the game still runs" mf_running
mf_finish
