#!/usr/bin/env bash
# The web page (./dev web): builds the program and the simulated handheld
# with Debian's emscripten into build-web/, puts the page together in
# out/web/ (index.html, palendro.js, palendro.wasm, bellwarm_harmonic.xm) and
# serves that folder on 127.0.0.1:PORT (default 8000).
#   web/web.sh            build and serve
#   web/web.sh --build    only build
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-web"
out="$root/out/web"

# emcc runs its JavaScript tools with the first node on the path; where that
# is not Debian's own, it does not see the modules Debian's packages put in
# /usr/share/nodejs and stops with "Cannot find module 'acorn'".
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

# The toolchain file directly rather than emcmake, which asks node for an
# option that today's node refuses (the build runs its art packer under node).
toolchain="$(dirname "$(readlink -f "$(command -v emcc)")")/cmake/Modules/Platform/Emscripten.cmake"
[ -f "$toolchain" ] || toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
# libmikmod's source is fetched once, into the PC build's folder, for both.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DPALENDRO_MIKMOD_CACHE="$root/build/_deps/libmikmod" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target palendro_web

mkdir -p "$out"
cp "$root/web/page/index.html" "$build/web/palendro.js" "$build/web/palendro.wasm" \
    "$root/bellwarm_harmonic.xm" "$out/"
echo "web: the page is in $out" >&2
[ "${1:-}" = --build ] && exit 0

exec python3 "$root/web/serve.py" "${PORT:-8000}" "$out"
