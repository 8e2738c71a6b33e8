#!/usr/bin/python3
"""Checks the settings dialog template compiled into porvane.xpi.

    /usr/bin/python3 check_dialog_template.py porvane.xpi

The host shows the dialog from the template as stored in the module, so the
bytes are what counts, not resources/porvane.rc: a resource compiler that
writes the class by name, adds WS_GROUP or BS_NOTIFY, mangles the Japanese
texts or turns "\\n" into CR LF would go unnoticed in the source. This reads
RT_DIALOG 100 out of the module's resource directory, decodes it as a
DLGTEMPLATE and its DLGITEMTEMPLATEs field by field, and compares every field.
It also checks that the dialog is the module's only resource.

Prints one line per failed check and ends with 'N passed, M failed'; exits 1
when any check failed.
"""
import struct
import sys

import pefile

RT_DIALOG = 5
DIALOG_ID = 100
LANGUAGE = 0x0411  # Japanese (Japan)

WS_CHILD = 0x40000000
WS_VISIBLE = 0x10000000
WS_TABSTOP = 0x00010000
BS_PUSHBUTTON = 0x0
BS_DEFPUSHBUTTON = 0x1
BS_CHECKBOX = 0x2
BS_MULTILINE = 0x2000
DS_SETFONT = 0x40
BUTTON_CLASS = 0x0080

DIALOG = {
    "style": 0x10C800C0,  # WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
    "exstyle": 0x00000400,  # WS_EX_CONTEXTHELP
    "x": 0,
    "y": 0,
    "cx": 150,
    "cy": 70,
    "menu": None,
    "class": None,
    "title": "設定",
    "pointsize": 11,
    "font": "ＭＳ ゴシック",
}

CONTROLS = [
    {"id": 1, "text": "OK", "x": 40, "y": 55, "cx": 35, "cy": 12,
     "style": WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {"id": 2, "text": "ｷｬﾝｾﾙ", "x": 80, "y": 55, "cx": 35, "cy": 12,
     "style": WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    {"id": 101, "text": "[256×1×24bitColor]\nのファイルならばKissパレットにする", "x": 7, "y": 7, "cx": 140, "cy": 20,
     "style": WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX | BS_MULTILINE},
]


class Truncated(Exception):
    pass


class Reader:
    """Little-endian reader over the template bytes that knows its offset."""

    def __init__(self, data):
        self.data = data
        self.at = 0

    def take(self, fmt):
        size = struct.calcsize(fmt)
        if self.at + size > len(self.data):
            raise Truncated("the template ends at byte %d, inside a field at %d" % (len(self.data), self.at))
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += size
        return values[0] if len(values) == 1 else values

    def align(self):
        self.at = (self.at + 3) & ~3

    def text(self):
        """A zero-terminated UTF-16LE string."""
        units = []
        while True:
            unit = self.take("H")
            if unit == 0:
                break
            units.append(unit)
        return struct.pack("<%dH" % len(units), *units).decode("utf-16-le", errors="surrogatepass")

    def name_or_ordinal(self):
        """sz_Or_Ord: 0 for none, 0xFFFF and an ordinal, or a string."""
        first = self.take("H")
        if first == 0:
            return None
        if first == 0xFFFF:
            return ("ordinal", self.take("H"))
        self.at -= 2
        return self.text()


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def equal(self, what, actual, expected):
        if actual == expected:
            self.passed += 1
            return True
        self.failed += 1
        show = lambda v: hex(v) if isinstance(v, int) and not isinstance(v, bool) else repr(v)
        print("FAIL %s: %s, expected %s" % (what, show(actual), show(expected)))
        return False

    def fail(self, what):
        self.failed += 1
        print("FAIL " + what)


def resource_entries(pe):
    """Every (type, name, language, data entry) in the resource directory."""
    found = []
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    if directory is None:
        return found
    for rtype in directory.entries:
        type_key = rtype.id if rtype.name is None else str(rtype.name)
        for name in rtype.directory.entries if hasattr(rtype, "directory") else []:
            name_key = name.id if name.name is None else str(name.name)
            for language in name.directory.entries if hasattr(name, "directory") else []:
                found.append((type_key, name_key, language.id, language.data))
    return found


def check_template(data, checks):
    reader = Reader(data)
    first_words = struct.unpack_from("<HH", data, 0) if len(data) >= 4 else (0, 0)
    if not checks.equal("template kind (dlgVer, signature): DLGTEMPLATEEX is not wanted",
                        first_words == (1, 0xFFFF), False):
        return

    style, exstyle, cdit, x, y, cx, cy = reader.take("IIHhhhh")
    checks.equal("dialog style", style, DIALOG["style"])
    checks.equal("dialog extended style", exstyle, DIALOG["exstyle"])
    checks.equal("control count", cdit, len(CONTROLS))
    for field, value in zip(("x", "y", "cx", "cy"), (x, y, cx, cy)):
        checks.equal("dialog " + field, value, DIALOG[field])
    checks.equal("dialog menu", reader.name_or_ordinal(), DIALOG["menu"])
    checks.equal("dialog class", reader.name_or_ordinal(), DIALOG["class"])
    checks.equal("dialog title", reader.text(), DIALOG["title"])
    if checks.equal("DS_SETFONT, so that a font follows", bool(style & DS_SETFONT), True):
        checks.equal("font point size", reader.take("H"), DIALOG["pointsize"])
        checks.equal("font name", reader.text(), DIALOG["font"])

    for index in range(cdit):
        reader.align()
        expected = CONTROLS[index] if index < len(CONTROLS) else {}
        label = "control %d (id %s)" % (index + 1, expected.get("id", "?"))
        style, exstyle, x, y, cx, cy, control_id = reader.take("IIhhhhH")
        checks.equal(label + " style", style, expected.get("style"))
        checks.equal(label + " extended style", exstyle, 0)
        for field, value in zip(("x", "y", "cx", "cy"), (x, y, cx, cy)):
            checks.equal(label + " " + field, value, expected.get(field))
        checks.equal(label + " id", control_id, expected.get("id"))
        checks.equal(label + " class (the button ordinal)", reader.name_or_ordinal(), ("ordinal", BUTTON_CLASS))
        checks.equal(label + " text", reader.name_or_ordinal(), expected.get("text"))
        extra = reader.take("H")
        checks.equal(label + " creation data size", extra, 0)
        reader.at += extra

    # Nothing may follow the last control but the padding to a DWORD.
    rest = data[reader.at:]
    checks.equal("bytes after the last control", len(rest) <= 3 and rest.strip(b"\0") == b"", True)


def main(argv):
    if len(argv) != 2:
        print("usage: check_dialog_template.py porvane.xpi", file=sys.stderr)
        return 2
    checks = Checks()
    pe = pefile.PE(argv[1], fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])

    entries = resource_entries(pe)
    checks.equal("resources in the module (type, name, language)",
                 [(t, n, lang) for t, n, lang, _ in entries], [(RT_DIALOG, DIALOG_ID, LANGUAGE)])
    dialogs = [data for t, n, lang, data in entries if t == RT_DIALOG and n == DIALOG_ID]
    if not dialogs:
        checks.fail("RT_DIALOG %d is missing" % DIALOG_ID)
    else:
        entry = dialogs[0].struct
        data = pe.get_data(entry.OffsetToData, entry.Size)
        checks.equal("template bytes read", len(data), entry.Size)
        try:
            check_template(data, checks)
        except Truncated as error:
            checks.fail(str(error))

    print("%d passed, %d failed" % (checks.passed, checks.failed))
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
