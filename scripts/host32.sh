#!/usr/bin/env bash
# Prints "yes" when this host runs 32-bit (i386) programs, "no" otherwise: a two-instruction
# i386 program is assembled, linked and run. Some kernels cannot execute them at all, and
# 32-bit Wine cannot start there. ODR_HOST32=yes|no overrides the answer (for trying the
# other kind of host's path).
set -uo pipefail

if [[ ${ODR_HOST32:-} == yes || ${ODR_HOST32:-} == no ]]; then
    echo "$ODR_HOST32"
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
