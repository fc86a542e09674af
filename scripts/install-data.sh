#!/usr/bin/env bash
# Fills the game's data folder: the sound files, and a record file with the
# three default records when there is none yet (an existing one is kept).
#   scripts/install-data.sh DATA_DIR
set -euo pipefail

if (($# != 1)); then
    echo "usage: $0 DATA_DIR" >&2
    exit 2
fi
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
data=$1

mkdir -p "$data"

shopt -s nullglob
sounds=("$repo"/assets/sounds/*.fez)
if ((${#sounds[@]} == 0)); then
    echo "install-data: no sound files in $repo/assets/sounds" >&2
else
    cp -f "${sounds[@]}" "$data"/
fi

records=$data/Vorask7.fez
if [[ ! -e $records ]]; then
    # Three records of 43 bytes (Beginner, Intermediate, Expert): a 40-byte
    # name padded with blanks, then a 3-byte time.
    tmp=$(mktemp "$data/.Vorask7.XXXXXX")
    for _ in 1 2 3; do
        printf '%-40s%-3s' Anonymous 999
    done >"$tmp"
    size=$(stat -c %s "$tmp")
    if ((size != 129)); then
        rm -f "$tmp"
        echo "install-data: the default record file came out $size bytes, not 129" >&2
        exit 1
    fi
    chmod 644 "$tmp"
    # No-clobber rename: a record file that appeared meanwhile stays.
    if ! mv -n "$tmp" "$records" || [[ -e $tmp ]]; then
        rm -f "$tmp"
    fi
fi
