#!/usr/bin/env bash
# fetch_qemu_plugin_header.sh DIR: puts qemu's TCG plugin header, from the
# same upstream version as this machine's qemu-user, into DIR/qemu-plugin.h.
#
# The plugin API is versioned: a plugin must be built against the header of
# the qemu that loads it. The header comes out of qemu's upstream tarball from
# Debian's archive, fetched with apt-get through a source list of its own
# (lists, cache and lock under DIR/apt; the machine's apt setup is only read,
# to find its Debian mirror and release), checked against the SHA-256 that the
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
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

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

command -v apt-get >/dev/null || fail "cannot fetch the source: apt-get is not on this machine"
[ -r "$keyring" ] || fail "cannot fetch the source: no Debian archive keyring at $keyring"
suite="${PALENDRO_DEBIAN_SUITE:-$(. /etc/os-release && echo "${VERSION_CODENAME:-}")}"
[ -n "$suite" ] || fail "cannot tell this machine's Debian release"
mirror="${PALENDRO_DEBIAN_MIRROR:-}"
if [ -z "$mirror" ]; then
    mirror="$(apt-get indextargets --format '$(LABEL)|$(RELEASE)|$(REPO_URI)' 2>>"$log" |
        awk -F'|' '$1 == "Debian" { print $3; exit }')"
fi
[ -n "$mirror" ] || fail "cannot fetch the source: no Debian mirror in this machine's apt sources"

apt="$dir/apt"
rm -rf "$apt"
mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/download"
# The release and its point updates: a newer Debian revision of the same
# upstream version packs the same tarball.
{
    echo "deb-src [signed-by=$keyring] $mirror $suite main"
    echo "deb-src [signed-by=$keyring] $mirror $suite-updates main"
} >"$apt/sources.list"
opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
      -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
      -o Dir::Etc::Preferences=/dev/null -o Dir::Etc::PreferencesParts=/dev/null
      -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)" -q)
apt-get "${opts[@]}" update >>"$log" 2>&1 || fail "cannot read Debian's $suite source index from $mirror"
compgen -G "$apt/lists/*_${suite}_main_source_Sources*" >/dev/null ||
    fail "cannot read Debian's $suite source index from $mirror"

# A Debian revision that packs this upstream version, and the index's checksum
# of its upstream tarball.
record="$(apt-cache "${opts[@]}" showsrc qemu 2>>"$log" |
    awk -v v="$upstream" '/^Package:/ { keep = 0 }
        /^Version:/ { u = $2; sub(/^[0-9]+:/, "", u); sub(/-[^-]*$/, "", u)
                      keep = (u == v); if (keep) n++ } keep && n == 1')"
debver="$(echo "$record" | awk '/^Version:/ { print $2; exit }')"
[ -n "$debver" ] || fail "Debian's $suite has no qemu $upstream source"
read -r indexed tarball < <(echo "$record" | awk '/^Checksums-Sha256:/ { s = 1; next }
        /^[^ ]/ { s = 0 } s && $3 ~ /\.orig\.tar\./ { print $1, $3; exit }')
[ -n "${indexed:-}" ] || fail "the $suite source index gives no SHA-256 for qemu's upstream tarball"

(cd "$apt/download" && apt-get "${opts[@]}" source --download-only --tar-only \
    "qemu=$debver" >>"$log" 2>&1) || fail "cannot download $tarball from $mirror"
[ -f "$apt/download/$tarball" ] || fail "apt-get did not leave $tarball"
got="$(sha256sum "$apt/download/$tarball" | cut -d' ' -f1)"
[ "$got" = "$indexed" ] || fail "$tarball has SHA-256 $got, the source index gives $indexed"

rm -rf "$dir/unpack"
mkdir -p "$dir/unpack"
tar -xf "$apt/download/$tarball" -C "$dir/unpack" --wildcards '*/include/qemu/qemu-plugin.h' \
    >>"$log" 2>&1 || fail "cannot take include/qemu/qemu-plugin.h out of $tarball"
header="$(find "$dir/unpack" -path '*/include/qemu/qemu-plugin.h' | head -1)"
[ -n "$header" ] || fail "$tarball holds no include/qemu/qemu-plugin.h"
mv "$header" "$dir/qemu-plugin.h"
echo "$upstream" >"$stamp"
echo "$tarball sha256 $got (qemu $debver)" >>"$log"
rm -rf "$dir/unpack" "$apt"
