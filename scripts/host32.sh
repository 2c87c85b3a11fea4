#!/usr/bin/env bash
# Prints "yes" when 32-bit Wine can run here, "no" otherwise: the host must run 32-bit (i386)
# programs (a two-instruction i386 program is assembled, linked and run; some kernels cannot
# execute them at all) and 32-bit Wine (wine32:i386) must be installed. With --cpu only the
# first question is asked (setup asks it before installing). ODR_HOST32=yes|no overrides
# the answer (for trying the other kind of host's path).
set -uo pipefail

if [[ ${ODR_HOST32:-} == yes || ${ODR_HOST32:-} == no ]]; then
    echo "$ODR_HOST32"
    exit 0
fi
if [[ ${1:-} != --cpu ]] &&
    ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q '^install ok installed$'; then
    echo no
    exit 0
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
if printf '.globl _start\n_start: mov $1,%%eax\n xor %%ebx,%%ebx\n int $0x80\n' |
    as --32 -o "$dir/t.o" - 2>/dev/null &&
    ld -m elf_i386 -o "$dir/t" "$dir/t.o" 2>/dev/null &&
    "$dir/t" 2>/dev/null; then
    echo yes
else
    echo no
fi
