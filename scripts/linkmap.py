#!/usr/bin/env python3
"""Where the bytes of the shipped programs go: links each program of a Windows build again
with a link map (BUILD/PROGRAM.map, the program itself untouched) and prints its code and
data (.text, .eh_frame, .rdata, .data) by origin (the product, each library) and its
largest objects, and names any runtime member the programs do without (KEPT_OUT) that a
change has linked again; with --check that fails (the test imports.runtime).
    python3 scripts/linkmap.py [--check] BUILD [PROGRAM...]   (default: odrstat odrcfg)
"""
import collections
import os
import re
import subprocess
import sys

SECTIONS = ('.text', '.eh_frame', '.rdata', '.data')

# Runtime library members the programs do without, each tens of KB, and what stands in.
KEPT_OUT = {
    'mingw_pformat.o': 'the C99 printf; format through platform/Format.h',
    'strtodg.o': "the C library's strtod; the readers read their own decimals",
    'functexcept.o': "the C++ library's error raisers; main/LibraryErrors.cpp defines them",
    'cow-stdexcept.o': 'the copy-on-write exception strings; main/LibraryErrors.cpp',
    'cp-demangle.o': 'the name demangler; main/TerminateHandler.cpp',
}


def relink(build, program):
    """Runs the build's own link command with a map and a scratch output; the map's path."""
    with open(os.path.join(build, 'CMakeFiles', program + '.dir', 'link.txt')) as f:
        lines = f.read().splitlines()
    link = next(line for line in lines if ' -o ' + program + '.exe' in line)
    scratch = os.path.join(build, program + '.map.exe')
    the_map = os.path.join(build, program + '.map')
    link = link.replace(' -o ' + program + '.exe',
                        ' -o ' + scratch + ' -Wl,-Map,' + the_map)
    subprocess.run(link, shell=True, cwd=build, check=True)
    os.remove(scratch)
    return the_map


def contributions(the_map):
    """{origin: bytes} and {product object: bytes} over SECTIONS."""
    origins, objects = collections.Counter(), collections.Counter()
    output = None
    with open(the_map) as f:
        for line in f:
            head = re.match(r'^(\.\S+)\s+0x[0-9a-f]+\s+0x[0-9a-f]+', line)
            if head:
                output = head.group(1)
                continue
            if line.strip() and not line.startswith(' '):
                output = None  # past the output sections
                continue
            part = re.match(r'^\s+(?:\.\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$', line)
            if not part or output not in SECTIONS:
                continue
            size, source = int(part.group(1), 16), part.group(2).strip()
            member = re.match(r'(?:.*/)?(lib[^/(]+\.a)\((.*)\)$', source)
            if '.ltrans' in source:
                # Link-time optimised: the whole product as one object.
                origins['product'] += size
            elif member and not member.group(1).startswith('libodr'):
                origins[member.group(1)] += size
            elif member or 'objects.a(' in source:
                origins['product'] += size
                objects[re.search(r'\(([^)]*)\)$', source).group(1)] += size
            else:
                origins['start-up objects'] += size
    return origins, objects


def linked_again(the_map):
    """The members of KEPT_OUT that the map shows linked."""
    with open(the_map) as f:
        text = f.read()
    return [m for m in KEPT_OUT if re.search(r'[(-]' + re.escape(m) + r'\)', text)]


def main():
    args = sys.argv[1:]
    check = bool(args) and args[0] == '--check'
    if check:
        args = args[1:]
    if not args:
        sys.exit(__doc__)
    build = os.path.abspath(args[0])
    failed = False
    for program in args[1:] or ['odrstat', 'odrcfg']:
        if not os.path.exists(os.path.join(build, program + '.exe')):
            print(f'{program}.exe is not built in {build}')
            failed = True
            continue
        the_map = relink(build, program)
        origins, objects = contributions(the_map)
        size = os.path.getsize(os.path.join(build, program + '.exe'))
        print(f'== {program}.exe ({size} bytes): code and data by origin')
        for member in linked_again(the_map):
            print(f'  FAIL: links {member} again: {KEPT_OUT[member]}')
            failed = True
        for name, n in origins.most_common():
            print(f'  {name:22s} {n / 1024:7.1f} KB')
        if not objects:
            print('  (the product is optimised at link time as one object: configure the build'
                  ' with -DODR_LTO=OFF for its objects)')
            continue
        print('  largest objects of the product:')
        for name, n in objects.most_common(12):
            print(f'    {name:28s} {n / 1024:6.1f} KB')
    if check and failed:
        sys.exit(1)


if __name__ == '__main__':
    main()
