#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# sound_onset_bench on both sound servers in one run, side by side: a
# PulseAudio daemon and a private PipeWire (pipewire, wireplumber,
# pipewire-pulse) as they come, with PipeWire's own quantum settings. Each
# gets a runtime folder of this script's own and one null sink, mf_sink, as
# its default; the player's own sound server is left alone.
#
#   bash bench/sound_onset.sh [BENCH]
#
# BENCH is the benchmark program (default build/bench/sound_onset_bench;
# MARROWFEN_BUILD_DIR names another build folder), so an older build can be
# measured the same way. Each server's whole report follows the table.
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench=${1:-${MARROWFEN_BUILD_DIR:-$repo/build}/bench/sound_onset_bench}
[[ -x $bench ]] || { echo "sound_onset: no benchmark at $bench (build with -DMARROWFEN_BENCH=ON)" >&2; exit 1; }
# shellcheck source=tests/audio/private_pipewire.sh
source "$repo/tests/audio/private_pipewire.sh"

tmp=$(mktemp -d "${TMPDIR:-/tmp}/marrowfen-onset.XXXXXX")
pulse_pid=''
cleanup() {
    if [[ -n $pulse_pid ]]; then
        kill "$pulse_pid" 2>/dev/null
        wait "$pulse_pid" 2>/dev/null
    fi
    marrowfen_pipewire_stop "$tmp/pipewire"
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Waits until the server at PULSE_SERVER answers, up to 10 s.
answers() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# Makes mf_sink the default sink (PipeWire's session manager keeps the
# default and may still be starting).
default_sink() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        pactl set-default-sink mf_sink >/dev/null 2>&1 && [[ $(pactl get-default-sink 2>/dev/null) == mf_sink ]] &&
            return 0
        sleep 0.1
    done
    return 1
}

start_pulseaudio() {
    local dir=$tmp/pulse
    mkdir -p "$dir" && chmod 700 "$dir"
    PULSE_RUNTIME_PATH=$dir PULSE_STATE_PATH=$dir \
        pulseaudio --daemonize=no --exit-idle-time=-1 --system=no -n --use-pid-file=no --disallow-exit \
        --load="module-null-sink sink_name=mf_sink" \
        --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" >"$dir/log" 2>&1 &
    pulse_pid=$!
    export PULSE_SERVER=unix:$dir/native
    answers && default_sink
}

stop_pulseaudio() {
    kill "$pulse_pid" 2>/dev/null
    wait "$pulse_pid" 2>/dev/null
    pulse_pid=''
}

start_pipewire() {
    local run=$tmp/pipewire
    mkdir -p "$run"
    marrowfen_pipewire_start "$run" || return 1
    export PULSE_SERVER=unix:$run/pulse/native
    pactl load-module module-null-sink sink_name=mf_sink >/dev/null && default_sink
}

# run_on SERVER : the benchmark's report on that server, in $tmp/SERVER.txt.
run_on() {
    local server=$1
    if ! command -v "$server" >/dev/null; then
        echo "$server is not installed" >"$tmp/$server.txt"
        return
    fi
    if ! "start_$server"; then
        echo "$server did not start" >"$tmp/$server.txt"
    else
        name=$(pactl info 2>/dev/null | sed -n 's/^Server Name: //p')
        [[ $name == *[0-9]* ]] || name="$name $(pactl info 2>/dev/null | sed -n 's/^Server Version: //p')"
        echo "sound_onset: $name ..." >&2
        { echo "server         $name"; env -u PULSE_SINK XDG_RUNTIME_DIR="$tmp" "$bench" 2>&1; } >"$tmp/$server.txt"
    fi
    if [[ $server == pulseaudio ]]; then stop_pulseaudio; else marrowfen_pipewire_stop "$tmp/pipewire"; fi
    unset PULSE_SERVER
}

run_on pulseaudio
run_on pipewire

# The value of a report line, by its label.
value() { sed -n "s/^ *$2 *//p" "$tmp/$1.txt" | head -n 1; }

printf '%-14s %-44s %s\n' "" "PulseAudio" "PipeWire"
for label in server heard "first play" median "95th pct" worst "upper bounds"; do
    printf '%-14s %-44s %s\n' "$label" "$(value pulseaudio "$label")" "$(value pipewire "$label")"
done
for server in pulseaudio pipewire; do
    echo
    echo "--- $server"
    cat "$tmp/$server.txt"
done
