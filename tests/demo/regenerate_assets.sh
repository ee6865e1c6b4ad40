#!/usr/bin/env bash
# Reruns the asset generators into a scratch folder and compares each output
# with the committed file in demo/assets/.
#   regenerate_assets.sh MAKE_PICTURE MAKE_FONT ROOT
set -euo pipefail
make_picture="$1" make_font="$2" root="$3"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
"$make_picture" "$tmp/picture.ycbcr"
"$make_font" /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf "$tmp/font_glyphs.bin" "$tmp/font_map.bin"
python3 "$root/tools/text/make_scroll_text.py" "$tmp/scroll_text.txt"
status=0
for f in picture.ycbcr font_glyphs.bin font_map.bin scroll_text.txt; do
    if cmp -s "$tmp/$f" "$root/demo/assets/$f"; then
        echo "same: $f"
    else
        echo "DIFFERS: $f (rerun tools/make_assets.sh and review)"
        status=1
    fi
done
exit $status
