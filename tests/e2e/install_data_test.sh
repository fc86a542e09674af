#!/usr/bin/env bash
# The data folder the play command fills: the sounds, and a default record
# file only where there is none, so a player's best times are never lost.
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

data=$(mktemp -d "${TMPDIR:-/tmp}/marrowfen-data.XXXXXX")
trap 'rm -rf "$data"' EXIT
install() { bash "$MF_REPO/scripts/install-data.sh" "$1" >/dev/null; }

install "$data/fresh"
mf_check "a fresh folder gets the 129-byte default record file" \
    cmp -s "$data/fresh/Vorask7.fez" <(mf_default_records)
for sound in Vorask1 Vorask2 Vorask3 Vorask4 Vorask5 Vorask6; do
    mf_check "$sound.fez is installed as 16-bit PCM wave audio" \
        bash -c "soxi '$data/fresh/$sound.fez' | grep -q 'Sample Encoding: 16-bit Signed Integer PCM'"
done

# A player's records survive a second install.
printf '%-40s%-3s' "Zebulon Quirk" 42 >"$data/fresh/Vorask7.fez"
cp "$data/fresh/Vorask7.fez" "$data/kept"
install "$data/fresh"
mf_check "an existing record file is kept byte for byte" cmp -s "$data/fresh/Vorask7.fez" "$data/kept"

# A folder in the record file's place is left alone, and so are the sounds.
mkdir -p "$data/odd/Vorask7.fez"
install "$data/odd"
mf_check "a folder in the record file's place is left alone" test -d "$data/odd/Vorask7.fez"
mf_check "the sounds are installed beside it all the same" test -s "$data/odd/Vorask1.fez"

mf_finish
