#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and `make run` need, only those that are
# missing, and says what it does. 64-bit Wine everywhere; 32-bit Wine (with the i386
# architecture, ~400 packages) only where this host runs 32-bit programs. A mirror that
# fails mid-sync is asked again; if 32-bit Wine still cannot be installed, the tests take
# the path of a host without it (the 64-bit build runs the Wine tests).
set -euo pipefail

packages=(
    make cmake g++ binutils libgtest-dev googletest clang-format
    gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-win32
    gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
    gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
    wine wine64 fonts-wine
    xvfb xdotool imagemagick x11-utils procps nsis zip python3
)
# `setup.sh fuzz`: clang with libFuzzer as well, for `make fuzz`.
[[ ${1:-} == fuzz ]] && packages+=(clang)
host32=no
if command -v as >/dev/null && command -v ld >/dev/null; then
    host32=$(bash "$(dirname "$0")/host32.sh" --cpu)
fi
if [[ $host32 == yes ]]; then
    echo "setup: this host runs 32-bit programs: 32-bit Wine is wanted too"
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
want32=no
[[ $host32 == yes ]] && ! installed wine32:i386 && want32=yes
if [[ ${#missing[@]} -eq 0 && $want32 == no ]]; then
    echo "setup: all needed packages are installed"
    exit 0
fi

all_missing=("${missing[@]}")
[[ $want32 == yes ]] && all_missing+=(wine32:i386)
echo "setup: missing packages: ${all_missing[*]}"
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
# A mirror caught mid-sync serves an index that does not match its release file; the lists
# already fetched are used if asking again does not help.
for attempt in 1 2 3; do
    echo "setup: apt-get update"
    "${sudo[@]}" apt-get update -q && break
    if ((attempt == 3)); then
        echo "setup: apt-get update failed three times: going on with the package lists as they are"
    else
        echo "setup: apt-get update failed (attempt $attempt of 3): asking again in 20 s"
        sleep 20
    fi
done
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "setup: apt-get install ${missing[*]} (Wine takes about a minute)"
    "${sudo[@]}" apt-get install -y -q "${missing[@]}"
fi
if [[ $want32 == yes ]]; then
    echo "setup: apt-get install wine32:i386"
    if ! "${sudo[@]}" apt-get install -y -q wine32:i386; then
        echo "setup: 32-bit Wine could not be installed (see apt's message above): the 32-bit"
        echo "setup: programs get their import check only, the 64-bit build runs the Wine tests"
    fi
fi
echo "setup: done"
