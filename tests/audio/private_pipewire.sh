# SPDX-License-Identifier: GPL-3.0-or-later
# A private PipeWire for the sound tests: pipewire, its session manager
# wireplumber and its Pulse service pipewire-pulse, all three in a runtime
# folder of the test's own. They open no device (no ALSA, Bluetooth, V4L2 or
# camera monitor, and the libraries for them are not even named), talk to no
# D-Bus and keep their configuration and state in that folder, so the
# player's own sound server is left alone. Like a desktop's, its audio
# threads run at real-time priority where the system allows, so a busy
# machine does not make it skip cycles. Clients reach it through
# RUNDIR/pulse/native.
#
#   source tests/audio/private_pipewire.sh
#   marrowfen_pipewire_start RUNDIR   # returns once the Pulse service answers
#   marrowfen_pipewire_stop RUNDIR    # stops the three, by process id
#   marrowfen_sound_server            # prints pulseaudio or pipewire
#
# shellcheck shell=bash

# The server the tests use: MF_SOUND_SERVER if set; PipeWire where PulseAudio
# is not installed but PipeWire's Pulse service is; PulseAudio otherwise.
marrowfen_sound_server() {
    if [ -n "${MF_SOUND_SERVER:-}" ]; then
        echo "$MF_SOUND_SERVER"
    elif ! command -v pulseaudio >/dev/null && command -v pipewire-pulse >/dev/null; then
        echo pipewire
    else
        echo pulseaudio
    fi
}

# Writes the three configuration files into DIR/config.
marrowfen_pipewire_config() {
    local config=$1/config
    mkdir -p "$config/pipewire" "$config/wireplumber/main.lua.d" || return 1
    # The daemon: a graph with a dummy driver, nodes made by clients only.
    cat >"$config/pipewire/pipewire.conf" <<'EOF'
context.properties = {
    link.max-buffers = 16
    core.daemon = true
    core.name = pipewire-0
}
context.spa-libs = {
    audio.convert.* = audioconvert/libspa-audioconvert
    support.*       = support/libspa-support
}
context.modules = [
    { name = libpipewire-module-rt
        args = { nice.level = -11 }
        flags = [ ifexists nofail ]
    }
    { name = libpipewire-module-protocol-native }
    { name = libpipewire-module-metadata }
    { name = libpipewire-module-spa-node-factory }
    { name = libpipewire-module-client-node }
    { name = libpipewire-module-access }
    { name = libpipewire-module-adapter }
    { name = libpipewire-module-link-factory }
    { name = libpipewire-module-session-manager }
]
context.objects = [
    { factory = spa-node-factory
        args = {
            factory.name    = support.node.driver
            node.name       = Dummy-Driver
            node.group      = pipewire.dummy
            priority.driver = 20000
        }
    }
]
EOF
    # The Pulse service, on RUNDIR/pulse/native, with no sink of its own.
    cat >"$config/pipewire/pipewire-pulse.conf" <<'EOF'
context.spa-libs = {
    audio.convert.* = audioconvert/libspa-audioconvert
    support.*       = support/libspa-support
}
context.modules = [
    { name = libpipewire-module-rt
        args = { nice.level = -11 }
        flags = [ ifexists nofail ]
    }
    { name = libpipewire-module-protocol-native }
    { name = libpipewire-module-client-node }
    { name = libpipewire-module-adapter }
    { name = libpipewire-module-metadata }
    { name = libpipewire-module-protocol-pulse args = { } }
]
pulse.properties = {
    server.address = [ "unix:native" ]
}
EOF
    # The session manager: its usual policy (default metadata, linking
    # streams to the default sink), no monitor, no Bluetooth, no portal.
    cat >"$config/wireplumber/wireplumber.conf" <<'EOF'
context.properties = {
    log.level = 2
    wireplumber.script-engine = lua-scripting
}
context.spa-libs = {
    audio.convert.* = audioconvert/libspa-audioconvert
    support.*       = support/libspa-support
}
context.modules = [
    { name = libpipewire-module-protocol-native }
    { name = libpipewire-module-client-node }
    { name = libpipewire-module-client-device }
    { name = libpipewire-module-adapter }
    { name = libpipewire-module-metadata }
    { name = libpipewire-module-session-manager }
]
wireplumber.components = [
    { name = libwireplumber-module-lua-scripting, type = module }
    { name = main.lua, type = config/lua }
    { name = policy.lua, type = config/lua }
]
EOF
    cat >"$config/wireplumber/main.lua.d/51-marrowfen-no-devices.lua" <<'EOF'
alsa_monitor.enabled = false
v4l2_monitor.enabled = false
libcamera_monitor.enabled = false
default_access.properties["enable-flatpak-portal"] = false
EOF
}

# marrowfen_pipewire_start RUNDIR : starts the three in RUNDIR (made if
# missing); their logs, configuration, state and process ids go to
# RUNDIR/marrowfen-pipewire. Fails when the Pulse service does not answer.
marrowfen_pipewire_start() {
    local run=$1 own=$1/marrowfen-pipewire tries program
    for program in pipewire wireplumber pipewire-pulse pactl; do
        if ! command -v "$program" >/dev/null; then
            echo "private_pipewire: $program is needed (apt-get install pipewire wireplumber pipewire-pulse pulseaudio-utils)" >&2
            return 1
        fi
    done
    mkdir -p "$own/state" "$own/home" "$own/data" && chmod 700 "$run" || return 1
    marrowfen_pipewire_config "$own" || return 1
    : >"$own/pids"
    # The bus address leads nowhere: no session bus of the player's is
    # joined (pipewire-pulse would claim the Pulse name there), and none is
    # started on the display.
    local env=(env -u PULSE_SERVER -u PIPEWIRE_REMOTE -u DISPLAY -u WAYLAND_DISPLAY
        XDG_RUNTIME_DIR="$run" PIPEWIRE_RUNTIME_DIR="$run" PULSE_RUNTIME_PATH="$run/pulse"
        XDG_CONFIG_HOME="$own/config" XDG_STATE_HOME="$own/state"
        XDG_DATA_HOME="$own/data" HOME="$own/home"
        DBUS_SESSION_BUS_ADDRESS="unix:path=$own/no-bus")
    for program in pipewire wireplumber pipewire-pulse; do
        "${env[@]}" "$program" </dev/null >"$own/$program.log" 2>&1 &
        echo $! >>"$own/pids"
        if [ "$program" = pipewire ]; then
            tries=0
            until [ -S "$run/pipewire-0" ]; do
                tries=$((tries + 1))
                if [ "$tries" -ge 100 ]; then
                    cat "$own/pipewire.log" >&2
                    echo "private_pipewire: pipewire did not come up" >&2
                    return 1
                fi
                sleep 0.05
            done
        fi
    done
    tries=0
    until PULSE_SERVER=unix:$run/pulse/native pactl info >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -ge 100 ]; then
            cat "$own/wireplumber.log" "$own/pipewire-pulse.log" >&2
            echo "private_pipewire: pipewire-pulse did not come up" >&2
            return 1
        fi
        sleep 0.05
    done
}

# marrowfen_pipewire_stop RUNDIR : stops what marrowfen_pipewire_start
# started there, the Pulse service first.
marrowfen_pipewire_stop() {
    local pids=$1/marrowfen-pipewire/pids pid tries
    [ -f "$pids" ] || return 0
    for pid in $(tac "$pids"); do
        kill "$pid" 2>/dev/null || continue
        tries=0
        while marrowfen_pipewire_alive "$pid" && [ "$tries" -lt 60 ]; do
            tries=$((tries + 1))
            sleep 0.05
        done
        ! marrowfen_pipewire_alive "$pid" || kill -9 "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -f "$pids"
}

# True while the process runs (one that ended but was not reaped yet, as
# when its starter has gone, counts as ended).
marrowfen_pipewire_alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    case $state in Z*) return 1 ;; esac
}
