#!/usr/bin/env bash
# Rewrites the generated assets in demo/assets/ from the generators.
#   tools/make_assets.sh [BUILD_DIR] [OUT_DIR]
# BUILD_DIR holds the built make_picture and make_font (default: build);
# OUT_DIR defaults to demo/assets. A preview of the picture is left in
# /tmp/palendro_picture.png.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
out="${2:-$root/demo/assets}"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
cmake --build "$build" --target make_picture make_font >/dev/null
mkdir -p "$out"
"$build/tools/make_picture" "$out/picture.ycbcr" "${PALENDRO_PREVIEW:-/tmp/palendro_picture.png}"
"$build/tools/make_font" "$font" "$out/font_glyphs.bin" "$out/font_map.bin"
python3 "$root/tools/text/make_scroll_text.py" "$out/scroll_text.txt"
