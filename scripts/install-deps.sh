#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing. Wine keeps its
# recommended packages (fonts, X extensions): the painting tests were made with them.
set -eu
packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
          g++-mingw-w64-x86-64-posix wine64 xvfb xclip xdotool x11-utils "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=; [ "$(id -u)" -eq 0 ] || SUDO=sudo
# Another program (an update, another install) may hold the package manager's lock: wait for
# it rather than fail.
lock_wait=(-o DPkg::Lock::Timeout=600)
$SUDO apt-get "${lock_wait[@]}" update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get "${lock_wait[@]}" install -y -q "${missing[@]}"
