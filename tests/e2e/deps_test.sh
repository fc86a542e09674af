#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The install step of the play and test commands on machines made up from
# this one's dpkg status file, with apt in simulation (apt-get -s): nothing is
# installed or removed here.
#
# - A PipeWire desktop (Debian 12's GNOME): pipewire-audio, pipewire-alsa,
#   pipewire-pulse and wireplumber installed, pulseaudio and the test tools
#   not. The play command asks for no test tool and no sound server and
#   removes nothing; the test command removes nothing and takes PipeWire.
#   pulseaudio itself cannot come there without removing pipewire-audio, and
#   --no-remove makes apt fail rather than remove it.
# - A PulseAudio desktop (Debian 12's KDE): the test command adds no
#   PipeWire, whose Pulse service would take the desktop's sound at the next
#   login.
# - A machine with neither sound server: the test command takes PulseAudio
#   and PipeWire both, so that the sound tests run on each.
# Helpers below are called through mf_check.
# shellcheck disable=SC2317
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# What the play command must never ask for.
TEST_TOOLS=(xvfb xauth xdotool x11-utils imagemagick openbox sox lintian
    desktop-file-utils appstream libgtest-dev libgmock-dev libbenchmark-dev
    python3-pyatspi at-spi2-core pulseaudio pulseaudio-utils pipewire
    pipewire-pulse wireplumber dpkg-dev orca mutter kwin-x11 xwayland man-db)

# make_machine DIR DROP ADD : writes DIR/status, this machine's dpkg status
# without the packages in DROP (and those left without a dependency by it),
# with the packages in ADD installed (at their candidate version, with what
# they need). DROP and ADD are lists separated by blanks.
make_machine() {
    mkdir -p "$1"
    python3 - "$1/status" "$2" "$3" "$MARROWFEN_APT_LISTS_CACHE" <<'PY'
import re, subprocess, sys

out, drop, add, lists_cache = sys.argv[1], set(sys.argv[2].split()), sys.argv[3].split(), sys.argv[4]
SKIP = {"Filename", "Size", "MD5sum", "SHA1", "SHA256", "Description-md5", "Tag"}

def stanzas(text):
    return [s for s in text.split("\n\n") if s.strip()]

def field(stanza, name):
    m = re.search(r"^%s: (.*(?:\n .*)*)" % name, stanza, re.M)
    return m.group(1).replace("\n", " ") if m else ""

def groups(stanza):
    deps = ", ".join(x for x in (field(stanza, "Depends"), field(stanza, "Pre-Depends")) if x)
    return [[re.sub(r"[ (:].*", "", alt.strip()) for alt in g.split("|")]
            for g in deps.split(",") if g.strip()]

def names(stanza):
    provided = [re.sub(r"[ (].*", "", p.strip()) for p in field(stanza, "Provides").split(",") if p.strip()]
    return {field(stanza, "Package")} | set(provided)

with open("/var/lib/dpkg/status") as f:
    system = stanzas(f.read())
installed = {field(s, "Package"): s for s in system if "install ok installed" in field(s, "Status")}
others = [s for s in system if "install ok installed" not in field(s, "Status")]

# Drop, then drop whatever is left with a dependency nothing satisfies.
for name in drop:
    installed.pop(name, None)
while True:
    have = set().union(*(names(s) for s in installed.values()))
    broken = [p for p, s in installed.items()
              if any(not any(a in have for a in g) for g in groups(s))]
    if not broken:
        break
    for p in broken:
        del installed[p]

def candidate(name):
    text = subprocess.run(["apt-cache", "-o", "Dir::Cache::srcpkgcache=" + lists_cache,
                           "-o", "Dir::Cache::pkgcache=" + lists_cache + ".status",
                           "show", "--no-all-versions", name],
                          capture_output=True, text=True).stdout
    return stanzas(text)[0] if text.strip() else None

todo = list(add)
while todo:
    name = todo.pop(0)
    if name in installed:
        continue
    stanza = candidate(name)
    if stanza is None:
        sys.exit("apt knows no %s: its package lists are missing (apt-get update)" % name)
    lines = [l for l in stanza.splitlines() if l.split(":")[0] not in SKIP or l.startswith(" ")]
    lines.insert(1, "Status: install ok installed")
    installed[name] = "\n".join(lines)
    have = set().union(*(names(s) for s in installed.values()))
    for g in groups(stanza):
        if not any(a in have for a in g):
            todo.append(g[0])

with open(out, "w") as f:
    f.write("\n\n".join(list(installed.values()) + others) + "\n")
PY
}

# plan MACHINE MODE : the simulated install step of deps.sh on a machine;
# its output lands in $MF_TMP/MACHINE-MODE.plan.
plan() {
    MARROWFEN_DEPS_SIMULATE=1 MARROWFEN_DPKG_ADMINDIR=$MF_TMP/$1 \
        bash "$MF_REPO/scripts/deps.sh" "$2" >"$MF_TMP/$1-$2.plan" 2>&1
}

# Package names apt would install (its "Inst" lines), and what deps.sh asked for.
installs() { awk '/^Inst / { print $2 }' "$MF_TMP/$1.plan"; }
asked() { sed -n 's/^deps: would install //p' "$MF_TMP/$1.plan" | tr ' ' '\n'; }

removes_nothing() {
    ! grep -q '^Remv ' "$MF_TMP/$1.plan" && grep -q ' 0 to remove' "$MF_TMP/$1.plan"
}
installs_none_of() {
    local got
    got=$(comm -12 <({ installs "$1"; asked "$1"; } | sort -u) <(printf '%s\n' "${@:2}" | sort -u))
    [[ -z $got ]] || { mf_log "$1 installs: $got"; return 1; }
}
asks_for() { asked "$1" | grep -qx "$2"; }
has() { [[ $(dpkg-query --admindir="$MF_TMP/$1" -W -f='${db:Status-Status}' "$2" 2>/dev/null) == installed ]]; }
simulated_apt() {
    apt-get -s -q -o "Dir::State::status=$MF_TMP/$1/status" -o Dir::Cache::pkgcache= \
        -o "Dir::Cache::srcpkgcache=$MARROWFEN_APT_LISTS_CACHE" "${@:2}"
}
unbroken() { simulated_apt "$1" check >/dev/null; }

is_pipewire_desktop() {
    has "$1" pipewire-audio && has "$1" pipewire-alsa && ! has "$1" pulseaudio && ! has "$1" xvfb
}
has_no_sound_server() { ! has "$1" pipewire && ! has "$1" pipewire-pulse && ! has "$1" pulseaudio; }
asks_for_test_tools() { asks_for "$1" xvfb && asks_for "$1" libgtest-dev && asks_for "$1" sox; }
takes_pipewire_only() { asks_for "$1" pulseaudio-utils && installs_none_of "$1" pulseaudio; }
takes_both_servers() { asks_for "$1" pulseaudio && asks_for "$1" pipewire-pulse && asks_for "$1" wireplumber; }
refuses_pulseaudio() {
    ! simulated_apt "$1" install --no-install-recommends --no-remove pulseaudio >"$MF_TMP/refused.plan" 2>&1
}

mf_setup_tmp
# apt's cache of the package lists, made once for every plan here; that of
# this machine's own status file beside it, for the packages' details.
export MARROWFEN_APT_LISTS_CACHE=$MF_TMP/srcpkgcache.bin
MF_DROP="pulseaudio pulseaudio-utils pulseaudio-module-bluetooth ${TEST_TOOLS[*]} fonts-comic-neue"

make_machine "$MF_TMP/gnome" "$MF_DROP" "pipewire-audio pipewire-alsa pipewire-pulse wireplumber" ||
    mf_die "cannot make the PipeWire desktop's status file"
make_machine "$MF_TMP/bare" "$MF_DROP pipewire pipewire-pulse pipewire-audio pipewire-alsa wireplumber" "" ||
    mf_die "cannot make the bare machine's status file"

make_machine "$MF_TMP/kde" "$MF_DROP pipewire pipewire-pulse pipewire-audio pipewire-alsa wireplumber" "pulseaudio" ||
    mf_die "cannot make the PulseAudio desktop's status file"

mf_check "the PipeWire desktop has pipewire-audio, no pulseaudio, no test tool" is_pipewire_desktop gnome
mf_check "the PipeWire desktop has no broken package" unbroken gnome
mf_check "the bare machine has no sound server" has_no_sound_server bare
mf_check "the PulseAudio desktop has no broken package" unbroken kde
mf_check "the bare machine has no broken package" unbroken bare

for machine in gnome kde bare; do
    mf_check "$machine, play: apt's plan succeeds" plan "$machine" play
    mf_check "$machine, play: it installs what is missing for building" asks_for "$machine-play" fonts-comic-neue
    mf_check "$machine, play: no test tool, no sound server" installs_none_of "$machine-play" "${TEST_TOOLS[@]}"
    mf_check "$machine, play: nothing removed" removes_nothing "$machine-play"
    mf_check "$machine, test: apt's plan succeeds" plan "$machine" test
    mf_check "$machine, test: the test tools" asks_for_test_tools "$machine-test"
    mf_check "$machine, test: nothing removed" removes_nothing "$machine-test"
done
mf_check "gnome, test: PipeWire's tools, no pulseaudio" takes_pipewire_only gnome-test
mf_check "bare, test: PulseAudio and PipeWire both" takes_both_servers bare-test
# PipeWire's Pulse service would take a PulseAudio desktop's socket at the
# next login.
mf_check "kde, test: PulseAudio stays the one sound server" installs_none_of kde-test pipewire-pulse wireplumber

# What deps.sh guards against: pulseaudio on the desktop removes its sound
# set-up, unless --no-remove stops apt.
simulated_apt gnome install --no-install-recommends pulseaudio >"$MF_TMP/force.plan" 2>&1
mf_check "without --no-remove, pulseaudio would remove pipewire-audio" grep -q '^Remv pipewire-audio' "$MF_TMP/force.plan"
mf_check "with --no-remove, apt refuses pulseaudio" refuses_pulseaudio gnome
for f in "$MF_TMP"/*.plan; do
    mf_log "$(basename "$f" .plan): $(grep -h -E '^(E:|[0-9]+ upgraded)' "$f")"
done
mf_finish
