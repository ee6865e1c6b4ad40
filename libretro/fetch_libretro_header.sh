#!/usr/bin/env bash
# fetch_libretro_header.sh DIR: puts the libretro API header into
# DIR/libretro.h.
#
# The header is libretro-common's (MIT), as Debian's bookworm source package
# libretro-nestopia carries it (the frontend's own source tarball is not in
# Debian's archive). The upstream tarball comes out of Debian's archive
# (cmake/debian_source.sh: lists, cache and lock under DIR/apt), is checked
# against the SHA-256 the signed source index gives and against the one
# pinned here, and only the one header is kept. A header already in DIR from
# the same tarball is not fetched again.
#
# Prints one line on standard error and exits 1 when anything fails; the
# details are in DIR/fetch.log.
set -euo pipefail
mkdir -p "$1"
dir="$(cd "$1" && pwd)"  # absolute: apt takes relative Dir:: paths from /
log="$dir/fetch.log"
. "$(dirname "${BASH_SOURCE[0]}")/../cmake/debian_source.sh"

package=libretro-nestopia
upstream=1.52.0+20230102.gitcb1e24e
pinned=2ca43347b3d772d18280196fa5f04a7b19737bde8b9f8da6a8698db3036c3340
member=libretro-common/include/libretro.h

fail() {
    echo "libretro header: $1 (details in $log)" >&2
    exit 1
}

stamp="$dir/libretro.h.sha256"
if [ -f "$dir/libretro.h" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$pinned" ]; then
    exit 0
fi
: >"$log"

apt="$dir/apt"
debian_source_find "$apt" "$package" "$upstream" bookworm bookworm-updates
[ "$DEBIAN_SOURCE_SHA256" = "$pinned" ] ||
    fail "the source index gives SHA-256 $DEBIAN_SOURCE_SHA256 for $DEBIAN_SOURCE_FILE, pinned is $pinned"
debian_source_download "$apt" "$package"
tarball="$DEBIAN_SOURCE_FILE"

rm -rf "$dir/unpack"
mkdir -p "$dir/unpack"
tar -xf "$apt/download/$tarball" -C "$dir/unpack" --wildcards "*/$member" >>"$log" 2>&1 ||
    fail "cannot take $member out of $tarball"
header="$(find "$dir/unpack" -path "*/$member" | head -1)"
[ -n "$header" ] || fail "$tarball holds no $member"
mv "$header" "$dir/libretro.h"
echo "$pinned" >"$stamp"
echo "$tarball sha256 $DEBIAN_SOURCE_SHA256 ($package $DEBIAN_SOURCE_VERSION)" >>"$log"
rm -rf "$dir/unpack" "$apt"
