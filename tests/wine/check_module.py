#!/usr/bin/python3
"""Checks the built porvane.xpi as a host machine sees it.

The host loads the file with LoadLibrary and finds the four functions by name,
so it must be a 32-bit x86 DLL exporting exactly those undecorated names
(ordinals 1 to 4, alphabetical), and it must load where only the DLLs Windows
ships are present: no compiler runtime may be imported.

Usage: /usr/bin/python3 check_module.py porvane.xpi   (needs Debian's python3-pefile)
"""
import sys

import pefile

EXPECTED_EXPORTS = [(1, "ConfigurationDlg"), (2, "CreatePicture"), (3, "GetPluginInfo"), (4, "IsSupported")]
ALLOWED_IMPORTS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll"}


def decode(name):
    return name.decode("ascii", "replace") if isinstance(name, bytes) else name


def main(argv):
    pe = pefile.PE(argv[1])
    failures = []

    def check(what, actual, expected):
        if actual == expected:
            print("ok    %s: %r" % (what, actual))
            return True
        print("FAIL  %s: %r, expected %r" % (what, actual, expected))
        failures.append(what)
        return False

    check("machine (i386)", hex(pe.FILE_HEADER.Machine), hex(0x14C))
    check("optional header magic (PE32)", hex(pe.OPTIONAL_HEADER.Magic), hex(0x10B))
    check("IMAGE_FILE_DLL set", pe.is_dll(), True)
    exports = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if check("has an export directory", exports is not None, True):
        check("module name in the export directory", decode(pe.get_string_at_rva(exports.struct.Name)),
              "porvane.xpi")
        # Every slot of the address table counts: an ordinal-only export would
        # be one the host does not know.
        check("exports (ordinal, name)", sorted((s.ordinal, decode(s.name)) for s in exports.symbols),
              EXPECTED_EXPORTS)
        check("functions and names in the export table",
              (exports.struct.NumberOfFunctions, exports.struct.NumberOfNames), (4, 4))
        check("forwarded exports", [decode(s.name) for s in exports.symbols if s.forwarder is not None], [])
    imports = [decode(entry.dll) for attribute in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT")
               for entry in getattr(pe, attribute, [])]
    check("imports beyond KERNEL32, USER32, ADVAPI32 and msvcrt",
          [name for name in imports if name.lower() not in ALLOWED_IMPORTS], [])
    print("%d failed" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
