#!/usr/bin/env python3
"""Moves symbols of a shared library from one version of a needed library
to an older one it also needs, in place (docs/HANDHELD.md):

  retarget-symbol-version.py FILE LIBRARY NEW OLD SYMBOL...

Every dynamic symbol of FILE bound to version NEW of LIBRARY must be one of
SYMBOL...; each is bound to version OLD of LIBRARY instead (which FILE must
already need), and NEW is dropped from FILE's version needs. Only the
.gnu.version and .gnu.version_r sections change. For the port's sdl12-compat:
  retarget-symbol-version.py libSDL-1.2.so.0 libc.so.6 GLIBC_2.34 GLIBC_2.17 dlopen dlsym dlclose
64-bit little-endian ELF files only (aarch64)."""
import struct
import sys


def fail(message):
    sys.exit(f"retarget-symbol-version: FAILED: {message}")


def main(path, library, new, old, *symbols):
    with open(path, 'rb') as file:
        elf = bytearray(file.read())
    if elf[:4] != b'\x7fELF' or elf[4] != 2 or elf[5] != 1:
        fail(f"{path} is not a 64-bit little-endian ELF file")
    shoff, = struct.unpack_from('<Q', elf, 0x28)
    shentsize, shnum = struct.unpack_from('<HH', elf, 0x3a)
    sections = {}   # type: (offset, size, link)
    for i in range(shnum):
        _, kind, _, _, offset, size, link = struct.unpack_from('<IIQQQQI', elf, shoff + i * shentsize)
        sections.setdefault(kind, (offset, size, link))
    try:
        dynsym, versym, verneed = sections[11], sections[0x6fffffff], sections[0x6ffffffe]
    except KeyError:
        fail(f"{path} has no dynamic symbols with versions")
    strings = struct.unpack_from('<IIQQQQ', elf, shoff + dynsym[2] * shentsize)[4]

    def string(at):
        start = strings + at
        return elf[start:elf.index(0, start)].decode()

    # The version needs of LIBRARY: [(its offset, index, name)], in chain order.
    at, entries, chain = verneed[0], None, None
    while True:
        _, count, file_name, aux, following = struct.unpack_from('<HHIII', elf, at)
        if string(file_name) == library:
            chain, entry = at, at + aux
            entries = []
            for _ in range(count):
                _, _, index, name, step = struct.unpack_from('<IHHII', elf, entry)
                entries.append((entry, index, string(name)))
                entry += step
            break
        if not following:
            fail(f"{path} needs nothing from {library}")
        at += following
    found = {name: (offset, index) for offset, index, name in entries}
    if new not in found or old not in found:
        fail(f"{path} does not need both {new} and {old} of {library}")
    new_index, old_index = found[new][1], found[old][1]

    moved = []
    for i in range(dynsym[1] // 24):
        name = string(struct.unpack_from('<I', elf, dynsym[0] + i * 24)[0])
        slot = versym[0] + i * 2
        if struct.unpack_from('<H', elf, slot)[0] & 0x7fff == new_index:
            if name not in symbols:
                fail(f"{path} also takes {name} from {new} of {library}")
            struct.pack_into('<H', elf, slot, old_index)
            moved.append(name)
    if sorted(moved) != sorted(symbols):
        fail(f"{path} takes {', '.join(moved) or 'nothing'} from {new} of {library}, not {', '.join(symbols)}")

    # Unlink NEW from the chain of LIBRARY's version needs.
    position = [offset for offset, _, _ in entries].index(found[new][0])
    step = struct.unpack_from('<I', elf, found[new][0] + 12)[0]
    if position == 0:
        struct.pack_into('<I', elf, chain + 8, struct.unpack_from('<I', elf, chain + 8)[0] + step)
    else:
        previous = entries[position - 1][0]
        struct.pack_into('<I', elf, previous + 12,
                         struct.unpack_from('<I', elf, previous + 12)[0] + step if step else 0)
    struct.pack_into('<H', elf, chain + 2, len(entries) - 1)
    with open(path, 'wb') as file:
        file.write(elf)
    print(f"{path}: {', '.join(moved)} now from {old} of {library}; {new} no longer needed")


if __name__ == '__main__':
    if len(sys.argv) < 6:
        fail("usage: retarget-symbol-version.py FILE LIBRARY NEW OLD SYMBOL...")
    main(*sys.argv[1:])
