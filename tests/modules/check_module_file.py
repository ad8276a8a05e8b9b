#!/usr/bin/env python3
"""Checks one built gauge module file from its bytes.

A module must load on a bare Windows, from 98 to 11: a PE32 DLL that names
itself "<gauge>.gau" in its export directory, exports exactly ImportTable
(ordinal 1) and Linkage (ordinal 2), both data, imports only the Windows
functions it is allowed, carries no C runtime start-up, asks for no system
newer than 4.0, and uses the x87 unit only.

usage: check_module_file.py --objdump OBJDUMP MODULE [DLL:FUNCTION ...]
"""
import argparse
import re
import struct
import subprocess
import sys

IMAGE_SCN_MEM_EXECUTE = 0x20000000
IMAGE_FILE_DLL = 0x2000

# Registers and instructions the processors of the simulator's day lack:
# MMX and SSE registers, and the P6 additions (cmov, fcomi).
NEWER_CODE = re.compile(r"%xmm|%ymm|%mm[0-7]|\bcmov|\bf(u)?comip?\b|\bfcmov")


class Image:
    def __init__(self, data):
        self.data = data
        (pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size, self.characteristics) = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        opt = pe + 24
        (self.magic,) = struct.unpack_from("<H", data, opt)
        (self.entry,) = struct.unpack_from("<I", data, opt + 16)
        self.os_version = struct.unpack_from("<HH", data, opt + 40)
        self.subsystem_version = struct.unpack_from("<HH", data, opt + 48)
        (self.directory_count,) = struct.unpack_from("<I", data, opt + 92)
        self.directories = [struct.unpack_from("<II", data, opt + 96 + 8 * i)
                            for i in range(min(self.directory_count, 16))]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            name, vsize, rva, raw_size, raw_ptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            (flags,) = struct.unpack_from("<I", data, table + 40 * i + 36)
            self.sections.append((name.rstrip(b"\0").decode(), rva, max(vsize, raw_size), raw_ptr, flags))

    def section_of(self, rva):
        for section in self.sections:
            if section[1] <= rva < section[1] + section[2]:
                return section
        return None

    def offset(self, rva):
        section = self.section_of(rva)
        if section is None:
            raise ValueError("RVA 0x%X lies in no section" % rva)
        return rva - section[1] + section[3]

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")


def check(path, objdump, allowed):
    faults = []
    data = open(path, "rb").read()
    image = Image(data)
    expected_name = path.rsplit("/", 1)[-1]

    if image.machine != 0x14C or image.magic != 0x10B:
        faults.append("not a 32-bit x86 PE32 image")
    if not image.characteristics & IMAGE_FILE_DLL:
        faults.append("not marked as a DLL")
    if image.os_version > (4, 0) or image.subsystem_version > (4, 0):
        faults.append("asks for OS %d.%d and subsystem %d.%d, newer than 4.0"
                      % (image.os_version + image.subsystem_version))
    names = {section[0] for section in image.sections}
    for runtime_section in (".CRT", ".tls"):
        if runtime_section in names:
            faults.append("carries a %s section: C runtime start-up is linked in" % runtime_section)
    if image.directories[9][0]:
        faults.append("has a TLS directory: C runtime start-up is linked in")
    entry_section = image.section_of(image.entry)
    if entry_section is None or not entry_section[4] & IMAGE_SCN_MEM_EXECUTE:
        faults.append("entry point 0x%X is not in code" % image.entry)

    # Exports.
    export_rva = image.directories[0][0]
    if not export_rva:
        faults.append("has no export directory")
    else:
        (name_rva, base, functions, count, functions_rva, names_rva, ordinals_rva) = struct.unpack_from(
            "<IIIIIII", data, image.offset(export_rva) + 12)
        if image.text(name_rva) != expected_name:
            faults.append("export directory names it %r, not %r" % (image.text(name_rva), expected_name))
        exports = {}
        for i in range(count):
            (ordinal_index,) = struct.unpack_from("<H", data, image.offset(ordinals_rva) + 2 * i)
            exports[image.text(image.u32(names_rva + 4 * i))] = (base + ordinal_index,
                                                                 image.u32(functions_rva + 4 * ordinal_index))
        if functions != 2 or set(exports) != {"ImportTable", "Linkage"}:
            faults.append("exports %s, not exactly ImportTable and Linkage" % sorted(exports))
        for name, ordinal in (("ImportTable", 1), ("Linkage", 2)):
            if name in exports:
                got_ordinal, rva = exports[name]
                if got_ordinal != ordinal:
                    faults.append("%s has ordinal %d, not %d" % (name, got_ordinal, ordinal))
                section = image.section_of(rva)
                if section is None or section[4] & IMAGE_SCN_MEM_EXECUTE:
                    faults.append("%s is not data" % name)

    # Imports.
    imports = set()
    import_rva = image.directories[1][0]
    while import_rva:
        lookup, _, _, dll_rva, thunks = struct.unpack_from("<IIIII", data, image.offset(import_rva))
        if not dll_rva:
            break
        dll = image.text(dll_rva).lower()
        entry = lookup or thunks
        while image.u32(entry):
            value = image.u32(entry)
            function = "#%d" % (value & 0xFFFF) if value & 0x80000000 else image.text(value + 2)
            imports.add("%s:%s" % (dll, function))
            entry += 4
        import_rva += 20
    for imported in sorted(imports - set(allowed)):
        faults.append("imports %s, which it may not" % imported)

    # Code.
    listing = subprocess.run([objdump, "-d", path], check=True, capture_output=True, text=True).stdout
    newer = [line.strip() for line in listing.splitlines() if NEWER_CODE.search(line.split("\t")[-1] if "\t" in line else "")]
    for line in newer[:10]:
        faults.append("uses an instruction newer than the Pentium's: %s" % line)
    return faults, sorted(imports)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("module")
    parser.add_argument("allowed", nargs="*", help="DLL:FUNCTION the module may import")
    args = parser.parse_args()
    faults, imports = check(args.module, args.objdump, [a.lower().split(":")[0] + ":" + a.split(":")[1]
                                                       for a in args.allowed])
    print("%s imports: %s" % (args.module, ", ".join(imports) or "nothing"))
    for fault in faults:
        print("FAULT: %s: %s" % (args.module, fault))
    print("%d passed, %d failed" % (1 if not faults else 0, 1 if faults else 0))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
