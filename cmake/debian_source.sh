# debian_source.sh, sourced by the fetch scripts: an upstream tarball out of
# Debian's source archive, through apt-get with a source list of its own.
#
# Lists, cache and lock live under the caller's folder; the machine's apt setup
# is only read, to find its Debian mirror. The tarball's SHA-256 is checked
# against the one the signed source index gives for it.
#
# The caller defines fail MESSAGE (prints one line and exits) and log (the
# file that collects apt's own output) before calling these.

debian_source_keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# debian_source_find APTDIR PACKAGE UPSTREAM SUITE...: reads the SUITEs'
# source indexes (the first one must be there) and sets DEBIAN_SOURCE_VERSION
# (the first Debian revision that packs upstream version UPSTREAM),
# DEBIAN_SOURCE_FILE (its upstream tarball) and DEBIAN_SOURCE_SHA256 (the
# index's checksum of that tarball).
debian_source_find() {
    local apt="$1" package="$2" upstream="$3"
    shift 3
    local suites=("$@") mirror="${PALENDRO_DEBIAN_MIRROR:-}" suite record
    command -v apt-get >/dev/null || fail "cannot fetch the source: apt-get is not on this machine"
    [ -r "$debian_source_keyring" ] ||
        fail "cannot fetch the source: no Debian archive keyring at $debian_source_keyring"
    # The machine's own Debian mirror (not its security archive).
    if [ -z "$mirror" ]; then
        mirror="$(apt-get indextargets --format '$(LABEL)|$(RELEASE)|$(REPO_URI)' 2>>"$log" |
            awk -F'|' '$1 == "Debian" { print $3; exit }')"
    fi
    if [ -z "$mirror" ]; then
        mirror="$(apt-get indextargets --format '$(RELEASE)|$(REPO_URI)' 2>>"$log" |
            awk -F'|' '$1 !~ /-/ && $2 !~ /security/ { print $2; exit }')"
    fi
    [ -n "$mirror" ] || fail "cannot fetch the source: no Debian mirror in this machine's apt sources"

    rm -rf "$apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/download"
    for suite in "${suites[@]}"; do
        echo "deb-src [signed-by=$debian_source_keyring] $mirror $suite main"
    done >"$apt/sources.list"
    debian_source_opts=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
                        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache"
                        -o Dir::Etc::Preferences=/dev/null -o Dir::Etc::PreferencesParts=/dev/null
                        -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)" -q)
    apt-get "${debian_source_opts[@]}" update >>"$log" 2>&1 ||
        fail "cannot read Debian's ${suites[0]} source index from $mirror"
    # A mirror that cannot be reached is only a warning to apt-get update.
    compgen -G "$apt/lists/*_${suites[0]}_main_source_Sources*" >/dev/null ||
        fail "cannot read Debian's ${suites[0]} source index from $mirror"

    # 1:7.2+dfsg-7+deb12u18 packs upstream 7.2+dfsg: the epoch and the Debian revision go.
    record="$(apt-cache "${debian_source_opts[@]}" showsrc "$package" 2>>"$log" |
        awk -v v="$upstream" '/^Package:/ { keep = 0 }
            /^Version:/ { u = $2; sub(/^[0-9]+:/, "", u); sub(/-[^-]*$/, "", u)
                          keep = (u == v); if (keep) n++ } keep && n == 1')"
    DEBIAN_SOURCE_VERSION="$(echo "$record" | awk '/^Version:/ { print $2; exit }')"
    [ -n "$DEBIAN_SOURCE_VERSION" ] || fail "Debian's ${suites[0]} has no $package $upstream source"
    read -r DEBIAN_SOURCE_SHA256 DEBIAN_SOURCE_FILE < <(echo "$record" |
        awk '/^Checksums-Sha256:/ { s = 1; next }
             /^[^ ]/ { s = 0 } s && $3 ~ /\.orig\.tar\./ { print $1, $3; exit }') || true
    [ -n "${DEBIAN_SOURCE_SHA256:-}" ] ||
        fail "the ${suites[0]} source index gives no SHA-256 for $package's upstream tarball"
}

# debian_source_download APTDIR PACKAGE: downloads the tarball that
# debian_source_find named into APTDIR/download and checks its SHA-256.
debian_source_download() {
    local apt="$1" package="$2" got
    (cd "$apt/download" && apt-get "${debian_source_opts[@]}" source --download-only --tar-only \
        "$package=$DEBIAN_SOURCE_VERSION" >>"$log" 2>&1) ||
        fail "cannot download $DEBIAN_SOURCE_FILE"
    [ -f "$apt/download/$DEBIAN_SOURCE_FILE" ] || fail "apt-get did not leave $DEBIAN_SOURCE_FILE"
    got="$(sha256sum "$apt/download/$DEBIAN_SOURCE_FILE" | cut -d' ' -f1)"
    [ "$got" = "$DEBIAN_SOURCE_SHA256" ] ||
        fail "$DEBIAN_SOURCE_FILE has SHA-256 $got, the source index gives $DEBIAN_SOURCE_SHA256"
}
