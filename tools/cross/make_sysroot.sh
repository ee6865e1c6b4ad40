#!/usr/bin/env bash
# Builds the armel sysroot for the handheld cross build: Debian's armel
# libraries that Palendro links (libmikmod, and SDL2 for the simulator's
# window) with everything they need at run time, unpacked into
# one directory instead of installed through multiarch.
#
# Why unpacked: Debian's security archive carries no armel, so packages the
# host has from it (zlib1g, libpcre2, libexpat ...) are newer than their armel
# twins, and multiarch "same" packages must match versions: apt refuses the
# installation. Unpacking the armel .debs side by side has no such coupling.
# The C and C++ runtime come from the cross compiler (/usr/arm-linux-gnueabi).
#
#   tools/cross/make_sysroot.sh DIR     (idempotent: does nothing when DIR is complete)
set -euo pipefail
dest="$1"
stamp="$dest/.complete"
[ -f "$stamp" ] && exit 0

# The libraries' run-time closure, and their development files alone (their own
# dependencies are headers of libraries linked only indirectly).
ROOTS=(libsdl2-2.0-0:armel libmikmod3:armel)
DEV=(libsdl2-dev libmikmod-dev)
# Provided by the cross toolchain; a second copy would shadow it.
SKIP='^(libc6|libc6-dev|libgcc-s1|libstdc\+\+6|gcc-12-base|linux-libc-dev|libcrypt1|libcrypt-dev|libnsl2|libnsl-dev|libtirpc3|libtirpc-dev)$'

if ! dpkg --print-foreign-architectures | grep -qx armel; then
    dpkg --add-architecture armel
    apt-get update -q >/dev/null
elif ! apt-cache show libmikmod3:armel >/dev/null 2>&1; then
    apt-get update -q >/dev/null
fi

# Run-time closure of the roots, without recommends; virtual names (<...>) dropped.
mapfile -t pkgs < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
        --no-breaks --no-replaces --no-enhances "${ROOTS[@]}" 2>/dev/null |
    grep -v '^ ' | grep ':armel$' | sed 's/:armel$//' | grep -Ev "$SKIP" | sort -u)
pkgs+=("${DEV[@]}")

debs="$dest.debs"
mkdir -p "$debs" "$dest"
chmod 777 "$debs"  # apt's download user writes there
(cd "$debs" && apt-get download -q "${pkgs[@]/%/:armel}" >/dev/null)
for deb in "$debs"/*.deb; do dpkg-deb -x "$deb" "$dest"; done

# Absolute symlinks (libz.so -> /lib/...) would point at the host: make them relative.
find "$dest" -type l -lname '/*' | while read -r link; do
    target="$(readlink "$link")"
    ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$dest$target")" "$link"
done
echo "${#pkgs[@]} packages" >"$stamp"
