#!/usr/bin/env bash
# Writes the audio demo's song, "Harbour Lights": 21 seconds of plucked
# notes made by ffmpeg, as FLAC with its title tag, into the folder $1,
# with its lyrics beside it.
set -euo pipefail
out="$1"
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$out"
# A note every half second, each a fourth above the last (folded into one
# octave), fading as a plucked string does.
notes='0.25*sin(2*PI*t*220*pow(2\,mod(floor(t*2)*5\,12)/12))*exp(-4*mod(t\,0.5))'
ffmpeg -nostdin -loglevel error -y -f lavfi -i "aevalsrc=${notes}:s=44100:d=21" \
  -metadata title="Harbour Lights" -c:a flac "$out/harbour-lights.flac"
cp "$here/harbour-lights.lrc" "$out/harbour-lights.lrc"
