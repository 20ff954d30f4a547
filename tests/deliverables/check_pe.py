#!/usr/bin/env python3
"""check_pe.py ARCH BIN

The two deliverables read as files, with no Windows and no Wine, so that
the binaries users get are checked on every machine, also on one that
cannot run them: the processor and subsystem, the hardening flags, the
library's exports and their ordinals (other programs call it by either),
the DLLs imported at load time (any other DLL is searched for beside the
program first, where a planted copy would run), the version record the
caption shows and the manifest. ARCH is x86 (the deliverables) or x64 (the
build the Windows suites run on where 32-bit programs cannot run); BIN is
the folder holding Quillan.exe and Morvask.dll.

Prints one line per check and closes with "N passed, N failed".
"""
import os
import struct
import sys

MACHINE = {"x86": 0x014C, "x64": 0x8664}
MAGIC = {"x86": 0x10B, "x64": 0x20B}
MANIFEST_ARCH = {"x86": "x86", "x64": "amd64"}

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
IMAGE_FILE_DLL = 0x2000
HIGH_ENTROPY_VA = 0x0020
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
NO_SEH = 0x0400
SUBSYSTEM_WINDOWS_GUI = 2
DIR_EXPORT, DIR_IMPORT, DIR_RESOURCE, DIR_BASERELOC, DIR_DELAY_IMPORT = 0, 1, 2, 5, 13
RT_VERSION, RT_MANIFEST = 16, 24

# Ordinals 1 to 14 in ascending byte order of the names, as every caller
# since the first version relies on; the UTF-16 forms follow.
LIBRARY_EXPORTS = {
    "MRVK0_Beep": 1, "MRVK0_CreateShortCut": 2, "MRVK0_FolderExist": 3,
    "MRVK0_GetFileSize": 4, "MRVK0_GetFileVersionString": 5,
    "MRVK0_GetGlobalMemory": 6, "MRVK0_GetModuleName": 7,
    "MRVK0_GetSplitItem": 8, "MRVK0_GetVersionNum": 9,
    "MRVK0_GetVersionString": 10, "MRVK0_GetWindowPands": 11,
    "MRVK0_ReadTextToBuffer": 12, "MRVK0_SplitPath": 13, "m_ModuleName": 14,
    "MRVK0_CreateShortCutW": 15, "MRVK0_FolderExistW": 16,
    "MRVK0_GetFileSizeW": 17, "MRVK0_GetFileVersionStringW": 18,
    "MRVK0_ReadTextToBufferW": 19,
}
# What the program takes from the library by name at load time.
PROGRAM_USES = sorted([
    "MRVK0_CreateShortCutW", "MRVK0_FolderExistW", "MRVK0_GetFileSizeW",
    "MRVK0_GetFileVersionStringW", "MRVK0_GetGlobalMemory",
    "MRVK0_GetVersionString", "MRVK0_GetWindowPands", "MRVK0_ReadTextToBufferW",
])
# DLLs the system always maps from its own folder (and the library).
PROGRAM_DLLS = ["kernel32.dll", "morvask.dll", "msvcrt.dll", "user32.dll"]
LIBRARY_DLLS = ["kernel32.dll", "msvcrt.dll", "user32.dll"]


class Image:
    """A PE image read as bytes: headers, sections, directories."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        if self.data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", self.data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", self.data, opt)[0]
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", self.data, opt + 68)
        self.wide = self.magic == 0x20B
        dirs = opt + (112 if self.wide else 96)
        count = struct.unpack_from("<I", self.data, dirs - 4)[0]
        self.dirs = [struct.unpack_from("<II", self.data, dirs + 8 * i) for i in range(count)]
        self.sections = []
        at = opt + optional_size
        for i in range(sections):
            vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", self.data, at + 40 * i + 8)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr))

    def offset(self, rva):
        for vaddr, size, rawptr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + rawptr
        raise ValueError("address 0x%x outside every section" % rva)

    def u16(self, rva):
        return struct.unpack_from("<H", self.data, self.offset(rva))[0]

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def cstr(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def directory(self, index):
        return self.dirs[index] if index < len(self.dirs) else (0, 0)

    def imports(self):
        """DLL name (lower case) -> sorted imported names ("#n" for an ordinal)."""
        result = {}
        rva, size = self.directory(DIR_IMPORT)
        if not size:
            return result
        step, flag = (8, 1 << 63) if self.wide else (4, 1 << 31)
        while True:
            original, _, _, name, first = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if not name:
                return result
            names = []
            thunk = original or first
            while True:
                value = struct.unpack_from("<Q" if self.wide else "<I", self.data, self.offset(thunk))[0]
                if not value:
                    break
                names.append("#%d" % (value & 0xFFFF) if value & flag else self.cstr(value + 2))
                thunk += step
            result[self.cstr(name).lower()] = sorted(names)
            rva += 20

    def exports(self):
        """(DLL name, {exported name: ordinal})."""
        rva, size = self.directory(DIR_EXPORT)
        if not size:
            return "", {}
        name, base, _, count, functions, names, ordinals = struct.unpack_from(
            "<IIIIIII", self.data, self.offset(rva) + 12)
        del functions
        result = {}
        for i in range(count):
            result[self.cstr(self.u32(names + 4 * i))] = base + self.u16(ordinals + 2 * i)
        return self.cstr(name), result

    def resources(self, kind):
        """The data of every resource of one type, in tree order."""
        root, size = self.directory(DIR_RESOURCE)
        if not size:
            return []

        def entries(table):
            named, ids = struct.unpack_from("<HH", self.data, self.offset(root + table) + 12)
            for i in range(named + ids):
                yield struct.unpack_from("<II", self.data, self.offset(root + table) + 16 + 8 * i)

        found = []

        def walk(table, depth):
            for ident, target in entries(table):
                if depth == 0 and ident != kind:
                    continue
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, depth + 1)
                else:
                    data_rva, data_size = struct.unpack_from("<II", self.data, self.offset(root + target))
                    start = self.offset(data_rva)
                    found.append(self.data[start:start + data_size])

        walk(0, 0)
        return found


def version_strings(block):
    """A version record's string values as {"041104b0/FileVersion": text}
    and its translations under "Translation"."""
    values = {}

    def parse(at, end, path):
        while at + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", block, at)
            if length == 0:
                return
            key_end = at + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            here = path + [key]
            if kind == 1 and value_length:
                text = block[value_at:value_at + 2 * value_length].decode("utf-16-le")
                values["/".join(here[2:])] = text.rstrip("\0")
                children = (value_at + 2 * value_length + 3) & ~3
            else:
                if key == "Translation":
                    values["Translation"] = list(struct.unpack_from(
                        "<%dH" % (value_length // 2), block, value_at))
                children = (value_at + value_length + 3) & ~3
            parse(children, at + length, here)
            at = (at + length + 3) & ~3

    parse(0, len(block), [])
    return values


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def expect(self, what, expected, got):
        if expected == got:
            self.passed += 1
            print("ok   %s" % what)
        else:
            self.failed += 1
            print("FAIL %s: expected %r, got %r" % (what, expected, got))

    def flag(self, what, value, bit, wanted=True):
        self.expect(what, wanted, bool(value & bit))


def check_common(checks, name, image, arch):
    checks.expect(name + ": processor", hex(MACHINE[arch]), hex(image.machine))
    checks.expect(name + ": optional header (PE32 or PE32+)", hex(MAGIC[arch]), hex(image.magic))
    flags = image.dll_characteristics
    checks.flag(name + ": loads at a random base (DYNAMIC_BASE)", flags, DYNAMIC_BASE)
    checks.flag(name + ": data never executed (NX_COMPAT)", flags, NX_COMPAT)
    if arch == "x86":
        checks.flag(name + ": declares it registers no SEH handlers (NO_SEH)", flags, NO_SEH)
    else:
        checks.flag(name + ": random base anywhere in 64 bits (HIGH_ENTROPY_VA)", flags, HIGH_ENTROPY_VA)
    checks.flag(name + ": relocations kept", image.characteristics, IMAGE_FILE_RELOCS_STRIPPED, False)
    checks.expect(name + ": has relocations, so it can be moved",
                  True, image.directory(DIR_BASERELOC)[1] > 0)
    # A delay-loaded DLL is searched for like an imported one.
    checks.expect(name + ": no delay-loaded DLLs", 0, image.directory(DIR_DELAY_IMPORT)[1])


def check_program(checks, path, arch):
    image = Image(path)
    check_common(checks, "Quillan.exe", image, arch)
    checks.expect("Quillan.exe: GUI subsystem", SUBSYSTEM_WINDOWS_GUI, image.subsystem)
    checks.flag("Quillan.exe: a program, not a DLL", image.characteristics, IMAGE_FILE_DLL, False)
    imports = image.imports()
    checks.expect("Quillan.exe: imports only known DLLs and the library",
                  PROGRAM_DLLS, sorted(imports))
    checks.expect("Quillan.exe: takes these functions from Morvask.dll by name",
                  PROGRAM_USES, imports.get("morvask.dll"))

    versions = [version_strings(block) for block in image.resources(RT_VERSION)]
    checks.expect("Quillan.exe: one version record", 1, len(versions))
    record = versions[0] if versions else {}
    checks.expect("Quillan.exe: FileVersion of the Japanese Unicode string table",
                  "1, 7, 0, 1016", record.get("041104b0/FileVersion"))
    checks.expect("Quillan.exe: translation Japanese, Unicode",
                  [0x0411, 0x04B0], record.get("Translation"))

    manifests = image.resources(RT_MANIFEST)
    checks.expect("Quillan.exe: one manifest", 1, len(manifests))
    manifest = manifests[0].decode("utf-8", "replace") if manifests else ""
    wanted = 'processorArchitecture="%s"' % MANIFEST_ARCH[arch]
    # The program's own identity and the common controls it asks for: a
    # manifest naming another processor stops the program from starting.
    checks.expect("Quillan.exe: manifest names the processor twice (" + wanted + ")",
                  2, manifest.count(wanted))
    checks.expect("Quillan.exe: manifest asks for common controls 6", True,
                  'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in manifest)


def check_library(checks, path, arch):
    image = Image(path)
    check_common(checks, "Morvask.dll", image, arch)
    checks.flag("Morvask.dll: a DLL", image.characteristics, IMAGE_FILE_DLL)
    checks.expect("Morvask.dll: imports only DLLs the system maps from its own folder",
                  LIBRARY_DLLS, sorted(image.imports()))
    name, exports = image.exports()
    checks.expect("Morvask.dll: export directory's name", "Morvask.dll", name)
    checks.expect("Morvask.dll: exports with their ordinals, undecorated",
                  sorted(LIBRARY_EXPORTS.items()), sorted(exports.items()))


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in MACHINE:
        print("usage: check_pe.py x86|x64 BIN")
        return 2
    arch, folder = sys.argv[1], sys.argv[2]
    checks = Checks()
    print("Checking the %s binaries in %s" % (arch, folder))
    for name, check in (("Quillan.exe", check_program), ("Morvask.dll", check_library)):
        try:
            check(checks, os.path.join(folder, name), arch)
        except (OSError, ValueError, struct.error) as error:
            checks.failed += 1
            print("FAIL %s: cannot be read as an image: %s" % (name, error))
    print("%d passed, %d failed" % (checks.passed, checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main())
