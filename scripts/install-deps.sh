#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing. Wine keeps its
# recommended packages (fonts, X extensions): the painting tests were made with them.
# Then fetches Debian's source of the regular-expression library (PCRE2) into build/deps/, for
# the Windows build, which compiles it statically: nothing of it is kept in the repository.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev libpcre2-dev dpkg-dev
          g++-mingw-w64-x86-64-posix wine64 xvfb xclip xdotool x11-utils imagemagick "$@")
SUDO=; [ "$(id -u)" -eq 0 ] || SUDO=sudo
# Another program (an update, another install) may hold the package manager's lock: wait for
# it rather than fail.
lock_wait=(-o DPkg::Lock::Timeout=600)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get "${lock_wait[@]}" update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get "${lock_wait[@]}" install -y -q "${missing[@]}"
fi

deps=$root/build/deps
if ! ls -d "$deps"/pcre2-*/CMakeLists.txt >/dev/null 2>&1; then
    lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    if ! grep -Eqs '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' "${lists[@]}"; then
        # Source lines for the main archive the machine already uses (not the security one:
        # it keeps no source packages of the versions the main archive has).
        src=/etc/apt/sources.list.d/quennet-deb-src.sources
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            awk 'BEGIN { RS = ""; ORS = "\n\n" }
                 /URIs:[^\n]*debian-security/ { next }
                 /Types:[^\n]*deb/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
                /etc/apt/sources.list.d/debian.sources | $SUDO tee "$src" >/dev/null
        else
            grep -hE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
                grep -v security | sed 's/^[[:space:]]*deb[[:space:]]/deb-src /' |
                $SUDO tee /etc/apt/sources.list.d/quennet-deb-src.list >/dev/null
        fi
        $SUDO apt-get "${lock_wait[@]}" update -q
    fi
    mkdir -p "$deps"
    (cd "$deps" && apt-get source -q pcre2)
fi
