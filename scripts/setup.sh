#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need, only those that are
# missing, and says what it does. 64-bit Wine everywhere; 32-bit Wine (with the i386
# architecture, ~400 packages) only where this host runs 32-bit programs.
set -euo pipefail

packages=(
    make cmake g++ binutils libgtest-dev googletest clang-format
    gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-win32
    gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
    wine wine64
    xvfb xdotool imagemagick x11-utils procps nsis zip
)
# `setup.sh fuzz`: clang with libFuzzer as well, for `make fuzz`.
[[ ${1:-} == fuzz ]] && packages+=(clang)
host32=no
if command -v as >/dev/null && command -v ld >/dev/null; then
    host32=$(bash "$(dirname "$0")/host32.sh")
fi
if [[ $host32 == yes ]]; then
    echo "setup: this host runs 32-bit programs: 32-bit Wine is installed too"
    packages+=(wine32:i386)
else
    echo "setup: this host cannot run 32-bit programs (or binutils is missing): 64-bit Wine only"
fi

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if [[ ${#missing[@]} -eq 0 ]]; then
    echo "setup: all needed packages are installed"
    exit 0
fi

echo "setup: missing packages: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    if command -v sudo >/dev/null; then
        sudo=(sudo)
    else
        echo "setup: run as root (or install sudo) to install them" >&2
        exit 1
    fi
fi
export DEBIAN_FRONTEND=noninteractive
if [[ $host32 == yes ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture (for 32-bit Wine)"
    "${sudo[@]}" dpkg --add-architecture i386
fi
echo "setup: apt-get update"
"${sudo[@]}" apt-get update -q
echo "setup: apt-get install ${missing[*]} (Wine takes about a minute)"
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
echo "setup: done"
