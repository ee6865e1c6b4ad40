#!/usr/bin/env bash
# fetch_mikmod.sh DIR VERSION SHA256: puts libmikmod's upstream source tree,
# VERSION as Debian's trixie ships it, into DIR/libmikmod-VERSION.
#
# The tarball comes from Debian's archive with apt-get through a source list
# of its own (lists, cache and lock under DIR/apt; the machine's apt setup is
# only read, to find its Debian mirror), is checked against the SHA-256 that
# the signed source index gives for it and against SHA256 (the version the
# project is pinned to), then unpacked. A tarball already in DIR that matches
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
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

fail() {
    echo "libmikmod $version: $1 (details in $log)" >&2
    exit 1
}

mkdir -p "$dir"
[ -f "$tree/.palendro-unpacked" ] && exit 0
: >"$log"

sha_of() { sha256sum "$1" | cut -d' ' -f1; }

if [ ! -f "$dir/$tarball" ] || [ "$(sha_of "$dir/$tarball")" != "$pinned" ]; then
    command -v apt-get >/dev/null || fail "cannot fetch the source: apt-get is not on this machine"
    [ -r "$keyring" ] || fail "cannot fetch the source: no Debian archive keyring at $keyring"
    # The machine's own Debian mirror (not its security or updates archive).
    mirror="${PALENDRO_DEBIAN_MIRROR:-}"
    if [ -z "$mirror" ]; then
        mirror="$(apt-get indextargets --format '$(LABEL)|$(RELEASE)|$(REPO_URI)' 2>>"$log" |
            awk -F'|' '$1 == "Debian" { print $3; exit }')"
    fi
    if [ -z "$mirror" ]; then
        mirror="$(apt-get indextargets --format '$(RELEASE)|$(REPO_URI)' 2>>"$log" |
            awk -F'|' '$1 !~ /-/ && $2 !~ /security/ { print $2; exit }')"
    fi
    [ -n "$mirror" ] || fail "cannot fetch the source: no Debian mirror in this machine's apt sources"

    apt="$dir/apt"
    rm -rf "$apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/download"
    echo "deb-src [signed-by=$keyring] $mirror $suite main" >"$apt/sources.list"
    opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
          -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
          -o Dir::Etc::Preferences=/dev/null -o Dir::Etc::PreferencesParts=/dev/null
          -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)" -q)
    apt-get "${opts[@]}" update >>"$log" 2>&1 ||
        fail "cannot read Debian's $suite source index from $mirror"
    # A mirror that cannot be reached is only a warning to apt-get update.
    compgen -G "$apt/lists/*_${suite}_main_source_Sources*" >/dev/null ||
        fail "cannot read Debian's $suite source index from $mirror"

    # The Debian revision that packs this upstream version, and the index's checksum.
    record="$(apt-cache "${opts[@]}" showsrc libmikmod 2>>"$log" |
        awk -v v="$version" '/^Package:/ { keep = 0 }
            /^Version:/ { keep = index($2, v "-") == 1; if (keep) n++ } keep && n == 1')"
    debver="$(echo "$record" | awk '/^Version:/ { print $2; exit }')"
    [ -n "$debver" ] || fail "Debian's $suite has no libmikmod $version source"
    indexed="$(echo "$record" | awk -v f="$tarball" '/^Checksums-Sha256:/ { s = 1; next }
            /^[^ ]/ { s = 0 } s && $3 == f { print $1; exit }')"
    [ -n "$indexed" ] || fail "the $suite source index gives no SHA-256 for $tarball"
    [ "$indexed" = "$pinned" ] ||
        fail "the $suite source index gives SHA-256 $indexed for $tarball, the project is pinned to $pinned"

    (cd "$apt/download" && apt-get "${opts[@]}" source --download-only --tar-only \
        "libmikmod=$debver" >>"$log" 2>&1) || fail "cannot download $tarball from $mirror"
    [ -f "$apt/download/$tarball" ] || fail "apt-get did not leave $tarball"
    got="$(sha_of "$apt/download/$tarball")"
    [ "$got" = "$pinned" ] || fail "$tarball has SHA-256 $got, the source index gives $pinned"
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
