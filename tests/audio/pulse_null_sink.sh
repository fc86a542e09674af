#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gives the tests a sound server to play into and listen to: a PulseAudio
# daemon, or a private PipeWire with its Pulse service
# (tests/audio/private_pipewire.sh), whose default sink is a null sink named
# marrowfen_sink. The sound tests record that sink's monitor source to hear
# what the game plays.
#
#   bash tests/audio/pulse_null_sink.sh     prints the monitor source name
#   source tests/audio/pulse_null_sink.sh   also exports MARROWFEN_PULSE_MONITOR
#
# Idempotent: a server already reachable is reused (the sink is added to it
# if missing), otherwise one is started for the current user, root included,
# in $XDG_RUNTIME_DIR: PulseAudio, or PipeWire where only PipeWire is
# installed or MF_SOUND_SERVER=pipewire asks for it. Needs pulseaudio-utils,
# and pulseaudio or pipewire, wireplumber and pipewire-pulse. Exits (or
# returns, when sourced) non-zero if no server could be reached; the sound
# tests then skip their listening cases.

# shellcheck source=tests/audio/private_pipewire.sh
. "$(dirname "${BASH_SOURCE[0]}")/private_pipewire.sh"

marrowfen_pulse_null_sink() {
    local sink=marrowfen_sink server tries=0
    server=$(marrowfen_sound_server)
    if ! command -v pactl >/dev/null; then
        echo "pulse_null_sink: pactl is needed (apt-get install pulseaudio-utils)" >&2
        return 1
    fi
    # The daemon puts its socket in $XDG_RUNTIME_DIR/pulse, or under /tmp when unset.
    if [ -n "${XDG_RUNTIME_DIR:-}" ] && [ ! -d "$XDG_RUNTIME_DIR" ]; then
        mkdir -p -m 700 "$XDG_RUNTIME_DIR" || return 1
    fi

    if ! pactl info >/dev/null 2>&1 && [ "$server" = pipewire ]; then
        if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
            echo "pulse_null_sink: PipeWire needs XDG_RUNTIME_DIR" >&2
            return 1
        fi
        marrowfen_pipewire_start "$XDG_RUNTIME_DIR" || return 1
    elif ! pactl info >/dev/null 2>&1; then
        if ! command -v pulseaudio >/dev/null; then
            echo "pulse_null_sink: pulseaudio is needed (apt-get install pulseaudio), or MF_SOUND_SERVER=pipewire" >&2
            return 1
        fi
        # -n: no default script, so nothing but these two modules (no
        # suspend-on-idle, no hardware, no D-Bus). Root gets a warning only.
        pulseaudio --daemonize=yes --exit-idle-time=-1 --system=no -n \
            --load="module-null-sink sink_name=$sink sink_properties=device.description=Marrowfen" \
            --load=module-native-protocol-unix >/dev/null 2>&1
        until pactl info >/dev/null 2>&1; do
            tries=$((tries + 1))
            if [ "$tries" -ge 50 ]; then
                echo "pulse_null_sink: the PulseAudio daemon did not come up" >&2
                return 1
            fi
            sleep 0.1
        done
    fi

    if ! pactl list short sinks | cut -f2 | grep -qx "$sink"; then
        pactl load-module module-null-sink sink_name="$sink" >/dev/null || return 1
    fi
    # PipeWire's session manager, which keeps the default, may be starting.
    tries=0
    until pactl set-default-sink "$sink" 2>/dev/null &&
        [ "$(pactl get-default-sink 2>/dev/null)" = "$sink" ]; do
        tries=$((tries + 1))
        if [ "$tries" -ge 100 ]; then
            echo "pulse_null_sink: $sink did not become the default sink" >&2
            return 1
        fi
        sleep 0.05
    done
    pactl set-sink-mute "$sink" 0
    pactl set-sink-volume "$sink" 100%
    MARROWFEN_PULSE_MONITOR="$sink.monitor"
    echo "$MARROWFEN_PULSE_MONITOR"
}

if [ "${BASH_SOURCE[0]}" != "$0" ]; then
    marrowfen_pulse_null_sink && export MARROWFEN_PULSE_MONITOR
else
    marrowfen_pulse_null_sink
fi
