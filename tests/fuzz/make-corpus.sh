#!/usr/bin/env bash
# Writes the seed corpus (corpus/): a few tiny CAF files as the recorder writes them (16-bit
# mono PCM, by sox through libsndfile), and broken ones made from them.
set -euo pipefail
cd "$(dirname "$0")"
out=corpus
rm -rf "$out" && mkdir "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
caf() { sox -n -r "$1" -c "$2" -b 16 -e signed-integer -L "$3" synth "$4" sine 440; }
caf 12000 1 "$tmp/mono.caf" 0.002
caf 48000 1 "$tmp/mono48.caf" 0.001
caf 12000 2 "$tmp/stereo.caf" 0.001
cp "$tmp/mono.caf" "$out/mono-12k"
cp "$tmp/mono48.caf" "$out/mono-48k"
cp "$tmp/stereo.caf" "$out/stereo"
size=$(stat -c %s "$tmp/mono.caf")
head -c 8 "$tmp/mono.caf" >"$out/file-header-only"
head -c 40 "$tmp/mono.caf" >"$out/desc-cut-short"
head -c $((size - 10)) "$tmp/mono.caf" >"$out/audio-cut-short"
# Every chunk size set to all ones (a data chunk still being written says -1).
python3 - "$tmp/mono.caf" "$out/sizes-unknown" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
pos = 8
while pos + 12 <= len(data):
    size = int.from_bytes(data[pos + 4:pos + 12], 'big', signed=True)
    data[pos + 4:pos + 12] = b'\xff' * 8
    if size < 0:
        break
    pos += 12 + size
open(sys.argv[2], 'wb').write(data)
PY
printf 'caff\0\1\0\0' >"$out/magic-only"
printf 'RIFF\44\0\0\0WAVEfmt ' >"$out/not-caf"
