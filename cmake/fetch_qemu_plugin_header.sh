#!/usr/bin/env bash
# fetch_qemu_plugin_header.sh DIR: puts qemu's TCG plugin header, from the
# same upstream version as this machine's qemu-user, into DIR/qemu-plugin.h.
#
# The plugin API is versioned: a plugin must be built against the header of
# the qemu that loads it. The header comes out of qemu's upstream tarball from
# Debian's archive (debian_source.sh: lists, cache and lock under DIR/apt; the
# machine's release names the suite), checked against the SHA-256 that the
# signed source index gives for it. Only the one header is taken out of the
# tarball; the tarball is then deleted. A header already in DIR for the same
# version is not fetched again.
#
# Prints one line on standard error and exits 1 when anything fails; the
# details are in DIR/fetch.log.
set -euo pipefail
mkdir -p "$1"
dir="$(cd "$1" && pwd)"  # absolute: apt takes relative Dir:: paths from /
log="$dir/fetch.log"
. "$(dirname "${BASH_SOURCE[0]}")/debian_source.sh"

fail() {
    echo "qemu plugin header: $1 (details in $log)" >&2
    exit 1
}

# 1:7.2+dfsg-7+deb12u18+b3 -> 7.2+dfsg: the epoch and the Debian revision go.
installed="$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null)" ||
    fail "qemu-user is not installed"
upstream="${installed#*:}"
upstream="${upstream%-*}"
stamp="$dir/qemu-plugin.h.version"
if [ -f "$dir/qemu-plugin.h" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$upstream" ]; then
    exit 0
fi
: >"$log"

suite="${PALENDRO_DEBIAN_SUITE:-$(. /etc/os-release && echo "${VERSION_CODENAME:-}")}"
[ -n "$suite" ] || fail "cannot tell this machine's Debian release"
apt="$dir/apt"
# The release and its point updates: a newer Debian revision of the same
# upstream version packs the same tarball.
debian_source_find "$apt" qemu "$upstream" "$suite" "$suite-updates"
debian_source_download "$apt" qemu
tarball="$DEBIAN_SOURCE_FILE"

rm -rf "$dir/unpack"
mkdir -p "$dir/unpack"
tar -xf "$apt/download/$tarball" -C "$dir/unpack" --wildcards '*/include/qemu/qemu-plugin.h' \
    >>"$log" 2>&1 || fail "cannot take include/qemu/qemu-plugin.h out of $tarball"
header="$(find "$dir/unpack" -path '*/include/qemu/qemu-plugin.h' | head -1)"
[ -n "$header" ] || fail "$tarball holds no include/qemu/qemu-plugin.h"
mv "$header" "$dir/qemu-plugin.h"
echo "$upstream" >"$stamp"
echo "$tarball sha256 $DEBIAN_SOURCE_SHA256 (qemu $DEBIAN_SOURCE_VERSION)" >>"$log"
rm -rf "$dir/unpack" "$apt"
