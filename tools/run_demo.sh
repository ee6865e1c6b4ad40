#!/usr/bin/env bash
# Runs the demo from the folder that holds the music module. With a display
# (or any option given) it runs as asked; without a display and without
# options it records 20 s headless into out/ and says where the files are:
# the MP4 (when ffmpeg is there), the WAV and a PNG. The raw Y4M it recorded
# for the MP4 is removed once the MP4 is made (it is 276 MB); without ffmpeg,
# or when the mux fails, it is kept as the video.
# PALENDRO_RUN_OUT: another folder than out/ (for tests).
set -euo pipefail
bin="$1"; shift
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
mkdir -p out  # where the README's examples and F12 put their files
if [ $# -gt 0 ] || [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$bin" "$@"
fi
out="${PALENDRO_RUN_OUT:-$root/out}"
mkdir -p "$out"
rm -f "$out/palendro.mp4"
"$bin" --headless --frames 1200 --record "$out/palendro.y4m" --wav "$out/palendro.wav" \
       --screenshot "600:$out/palendro.png"
# The WAV and the Y4M cover the same frames (0..1199): they mux as they are.
if command -v ffmpeg >/dev/null; then
    if ffmpeg -loglevel error -nostdin -y -i "$out/palendro.y4m" -i "$out/palendro.wav" \
              -c:v libx264 -pix_fmt yuv420p -c:a aac "$out/palendro.mp4"; then
        rm -f "$out/palendro.y4m"
        echo "recorded: $out/palendro.mp4 (video and sound), $out/palendro.wav (sound), $out/palendro.png"
        exit 0
    fi
    rm -f "$out/palendro.mp4"
    echo "run_demo: ffmpeg could not make the MP4; the Y4M is kept" >&2
fi
echo "recorded: $out/palendro.y4m (video), $out/palendro.wav (sound), $out/palendro.png"
