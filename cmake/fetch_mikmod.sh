#!/usr/bin/env bash
# fetch_mikmod.sh DIR VERSION SHA256: puts libmikmod's upstream source tree,
# VERSION as Debian's trixie ships it, into DIR/libmikmod-VERSION.
#
# The tarball comes from Debian's archive (debian_source.sh: lists, cache and
# lock under DIR/apt), is checked against the SHA-256 that the signed source
# index gives for it and against SHA256 (the version the project is pinned
# to), then unpacked. A tarball already in DIR that matches
# is not fetched again; an unpacked tree already there is left as it is.
#
# Prints one line on standard error and exits 1 when anything fails; the
# details are in DIR/fetch.log.
set -euo pipefail
dir="$1" version="$2" pinned="$3"
suite=trixie
tarball="libmikmod_${version}.orig.tar.gz"
tree="$dir/libmikmod-$version"
log="$dir/fetch.log"

fail() {
    echo "libmikmod $version: $1 (details in $log)" >&2
    exit 1
}

mkdir -p "$dir"
[ -f "$tree/.palendro-unpacked" ] && exit 0
: >"$log"

sha_of() { sha256sum "$1" | cut -d' ' -f1; }
. "$(dirname "${BASH_SOURCE[0]}")/debian_source.sh"

if [ ! -f "$dir/$tarball" ] || [ "$(sha_of "$dir/$tarball")" != "$pinned" ]; then
    apt="$dir/apt"
    debian_source_find "$apt" libmikmod "$version" "$suite"
    [ "$DEBIAN_SOURCE_FILE" = "$tarball" ] ||
        fail "the $suite source index names $DEBIAN_SOURCE_FILE, not $tarball"
    [ "$DEBIAN_SOURCE_SHA256" = "$pinned" ] ||
        fail "the $suite source index gives SHA-256 $DEBIAN_SOURCE_SHA256 for $tarball, the project is pinned to $pinned"
    debian_source_download "$apt" libmikmod
    mv "$apt/download/$tarball" "$dir/$tarball"
    rm -rf "$apt"
fi

rm -rf "$tree" "$dir/unpack"
mkdir -p "$dir/unpack"
tar -xzf "$dir/$tarball" -C "$dir/unpack" >>"$log" 2>&1 || fail "cannot unpack $tarball"
[ -d "$dir/unpack/libmikmod-$version/playercode" ] || fail "$tarball holds no libmikmod-$version tree"
mv "$dir/unpack/libmikmod-$version" "$tree"
rmdir "$dir/unpack"
touch "$tree/.palendro-unpacked"
