#!/usr/bin/env bash
# Gives the tests a sound server to play into and listen to: a PulseAudio
# daemon whose default sink is a null sink named marrowfen_sink. The sound
# tests record that sink's monitor source to hear what the game plays.
#
#   bash tests/audio/pulse_null_sink.sh     prints the monitor source name
#   source tests/audio/pulse_null_sink.sh   also exports MARROWFEN_PULSE_MONITOR
#
# Idempotent: a server already reachable is reused (the sink is added to it
# if missing), otherwise a daemon is started for the current user, root
# included. Needs the Debian packages pulseaudio and pulseaudio-utils. Exits
# (or returns, when sourced) non-zero if no server could be reached; the sound
# tests then skip their listening cases.

marrowfen_pulse_null_sink() {
    local sink=marrowfen_sink
    if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
        echo "pulse_null_sink: pulseaudio and pactl are needed (apt-get install pulseaudio pulseaudio-utils)" >&2
        return 1
    fi
    # The daemon puts its socket in $XDG_RUNTIME_DIR/pulse, or under /tmp when unset.
    if [ -n "${XDG_RUNTIME_DIR:-}" ] && [ ! -d "$XDG_RUNTIME_DIR" ]; then
        mkdir -p -m 700 "$XDG_RUNTIME_DIR" || return 1
    fi

    if ! pactl info >/dev/null 2>&1; then
        # -n: no default script, so nothing but these two modules (no
        # suspend-on-idle, no hardware, no D-Bus). Root gets a warning only.
        pulseaudio --daemonize=yes --exit-idle-time=-1 --system=no -n \
            --load="module-null-sink sink_name=$sink sink_properties=device.description=Marrowfen" \
            --load=module-native-protocol-unix >/dev/null 2>&1
        local tries=0
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
    pactl set-default-sink "$sink" || return 1
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
