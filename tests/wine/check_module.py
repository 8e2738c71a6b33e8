#!/usr/bin/python3
"""Checks the built porvane.xpi as a host machine will see it.

The host loads the file with LoadLibrary and finds the four functions by name,
so the file must be a 32-bit x86 DLL exporting exactly those undecorated names
(ordinals 1 to 4, alphabetical), and it must load on a machine that has only
the DLLs Windows ships: no compiler runtime may be imported.

Usage: /usr/bin/python3 check_module.py path/to/porvane.xpi
"""

import sys

try:
    import pefile
except ImportError:
    sys.stderr.write("check_module.py: Debian's pefile is needed (python3-pefile; run /usr/bin/python3)\n")
    sys.exit(2)

MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
EXPECTED_MODULE_NAME = "porvane.xpi"
EXPECTED_EXPORTS = [(1, "ConfigurationDlg"), (2, "CreatePicture"), (3, "GetPluginInfo"), (4, "IsSupported")]
ALLOWED_IMPORTS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll"}
# Runtimes that a static link must have absorbed; named separately so that a
# failure says what went wrong with the link rather than just "not allowed".
COMPILER_RUNTIMES = ("libgcc", "libstdc++", "libwinpthread")


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, condition, description, detail=""):
        if condition:
            self.passed += 1
            print("ok    %s" % description)
        else:
            self.failed += 1
            print("FAIL  %s%s" % (description, (": " + detail) if detail else ""))
        return condition


def decode(name):
    if name is None:
        return None
    return name.decode("ascii", "replace") if isinstance(name, bytes) else str(name)


def imported_dlls(pe):
    names = []
    for attribute in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for entry in getattr(pe, attribute, []):
            names.append(decode(entry.dll))
    return names


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: check_module.py path/to/porvane.xpi\n")
        return 2
    path = argv[1]
    try:
        pe = pefile.PE(path)
    except (OSError, pefile.PEFormatError) as error:
        print("FAIL  %s cannot be read as a PE file: %s" % (path, error))
        print("0 passed, 1 failed")
        return 1

    checks = Checks()
    machine = pe.FILE_HEADER.Machine
    checks.check(machine == MACHINE_I386, "machine is i386 (0x14c)", "found 0x%x" % machine)
    magic = pe.OPTIONAL_HEADER.Magic
    checks.check(magic == PE32_MAGIC, "optional header is PE32 (32-bit)", "found magic 0x%x" % magic)
    checks.check(pe.is_dll(), "file is a DLL (IMAGE_FILE_DLL set)",
                 "characteristics 0x%x" % pe.FILE_HEADER.Characteristics)

    export_directory = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if checks.check(export_directory is not None, "file has an export directory"):
        module_name = decode(pe.get_string_at_rva(export_directory.struct.Name))
        checks.check(module_name == EXPECTED_MODULE_NAME, "export directory names the module %r" % EXPECTED_MODULE_NAME,
                     "found %r" % module_name)

        # Every slot of the address table counts, named or not: an unnamed
        # ordinal-only export would be an export the contract does not have.
        exports = [(symbol.ordinal, decode(symbol.name)) for symbol in export_directory.symbols]
        exports.sort(key=lambda pair: pair[0])
        checks.check(exports == EXPECTED_EXPORTS, "exports are exactly %s" % EXPECTED_EXPORTS, "found %s" % exports)
        table = export_directory.struct
        checks.check(table.NumberOfFunctions == len(EXPECTED_EXPORTS) and table.NumberOfNames == len(EXPECTED_EXPORTS),
                     "export table holds 4 functions and 4 names",
                     "found %d functions, %d names" % (table.NumberOfFunctions, table.NumberOfNames))
        forwarded = [decode(symbol.name) for symbol in export_directory.symbols if symbol.forwarder is not None]
        checks.check(not forwarded, "no export is forwarded to another DLL", "forwarded: %s" % forwarded)

    dlls = imported_dlls(pe)
    lowered = [name.lower() for name in dlls]
    runtimes = [name for name in dlls if name.lower().startswith(COMPILER_RUNTIMES)]
    checks.check(not runtimes, "no compiler runtime DLL is imported", "imports %s" % runtimes)
    unexpected = [name for name, low in zip(dlls, lowered) if low not in ALLOWED_IMPORTS]
    checks.check(not unexpected, "imports only KERNEL32, USER32, ADVAPI32 and msvcrt",
                 "also imports %s (all imports: %s)" % (unexpected, dlls))

    print("%d passed, %d failed" % (checks.passed, checks.failed))
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
