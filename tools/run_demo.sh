#!/usr/bin/env bash
# Runs the demo from the folder that holds the music module. With a display
# (or any option given) it runs as asked; without a display and without
# options it records 20 s headless into out/ and says where the files are.
set -euo pipefail
bin="$1"; shift
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
if [ $# -gt 0 ] || [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin" "$@"
fi
mkdir -p out
"$bin" --headless --frames 1200 --record out/palendro.y4m --wav out/palendro.wav \
       --screenshot 600:out/palendro.png
echo "recorded: $root/out/palendro.y4m (video), $root/out/palendro.wav (sound), $root/out/palendro.png"
if command -v ffmpeg >/dev/null; then
    ffmpeg -loglevel error -y -i out/palendro.y4m -i out/palendro.wav -c:v libx264 -pix_fmt yuv420p \
           -c:a aac -shortest out/palendro.mp4 && echo "playable: $root/out/palendro.mp4"
fi
