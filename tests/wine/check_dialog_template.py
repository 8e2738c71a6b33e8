#!/usr/bin/python3
"""Checks the settings dialog template compiled into porvane.xpi.

    /usr/bin/python3 check_dialog_template.py porvane.xpi

The host shows the dialog from the template as stored in the module, so the
bytes are what counts, not resources/porvane.rc: a resource compiler that
writes the class by name, adds WS_GROUP or BS_NOTIFY, mangles the Japanese
texts or turns "\\n" into CR LF would go unnoticed in the source. This decodes
RT_DIALOG 100 as a DLGTEMPLATE and its DLGITEMTEMPLATEs and compares every
field, and checks that the dialog is the module's only resource.
"""
import struct
import sys

import pefile

RT_DIALOG, DIALOG_ID, LANGUAGE = 5, 100, 0x0411  # Japanese (Japan)
WS_CHILD_VISIBLE_TABSTOP = 0x40000000 | 0x10000000 | 0x00010000
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_CHECKBOX, BS_MULTILINE = 0x0, 0x1, 0x2, 0x2000
DS_SETFONT = 0x40
BUTTON_CLASS = ("ordinal", 0x0080)

DIALOG = {
    "style": 0x10C800C0,  # WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
    "exstyle": 0x00000400,  # WS_EX_CONTEXTHELP
    "x": 0, "y": 0, "cx": 150, "cy": 70,
    "menu": None, "class": None, "title": "設定", "pointsize": 11, "font": "ＭＳ ゴシック",
}

CONTROLS = [
    {"id": 1, "text": "OK", "x": 40, "y": 55, "cx": 35, "cy": 12,
     "style": WS_CHILD_VISIBLE_TABSTOP | BS_DEFPUSHBUTTON},
    {"id": 2, "text": "ｷｬﾝｾﾙ", "x": 80, "y": 55, "cx": 35, "cy": 12,
     "style": WS_CHILD_VISIBLE_TABSTOP | BS_PUSHBUTTON},
    {"id": 101, "text": "[256×1×24bitColor]\nのファイルならばKissパレットにする", "x": 7, "y": 7, "cx": 140, "cy": 20,
     "style": WS_CHILD_VISIBLE_TABSTOP | BS_CHECKBOX | BS_MULTILINE},
]


class Reader:
    """Little-endian fields of the template; struct.error past its end."""

    def __init__(self, data):
        self.data = data
        self.at = 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize(fmt)
        return values[0] if len(values) == 1 else values

    def text(self):
        """A zero-terminated UTF-16LE string."""
        start = self.at
        while self.take("H") != 0:
            pass
        return self.data[start:self.at - 2].decode("utf-16-le", errors="surrogatepass")

    def name_or_ordinal(self):
        """sz_Or_Ord: 0 for none, 0xFFFF and an ordinal, or a string."""
        first = self.take("H")
        if first in (0, 0xFFFF):
            return None if first == 0 else ("ordinal", self.take("H"))
        self.at -= 2
        return self.text()


class Checks:
    def __init__(self):
        self.passed = self.failed = 0

    def equal(self, what, actual, expected):
        if actual == expected:
            self.passed += 1
            return True
        self.failed += 1
        show = lambda v: hex(v) if isinstance(v, int) and not isinstance(v, bool) else repr(v)
        print("FAIL %s: %s, expected %s" % (what, show(actual), show(expected)))
        return False


def check_template(data, checks):
    reader = Reader(data)
    if not checks.equal("DLGTEMPLATEEX signature (not wanted)", data[:4] == b"\x01\x00\xff\xff", False):
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
        reader.at = (reader.at + 3) & ~3
        expected = CONTROLS[index] if index < len(CONTROLS) else {}
        label = "control %d (id %s) " % (index + 1, expected.get("id", "?"))
        style, exstyle, x, y, cx, cy, control_id = reader.take("IIhhhhH")
        checks.equal(label + "style", style, expected.get("style"))
        checks.equal(label + "extended style", exstyle, 0)
        for field, value in zip(("x", "y", "cx", "cy", "id"), (x, y, cx, cy, control_id)):
            checks.equal(label + field, value, expected.get(field))
        checks.equal(label + "class (the button ordinal)", reader.name_or_ordinal(), BUTTON_CLASS)
        checks.equal(label + "text", reader.name_or_ordinal(), expected.get("text"))
        extra = reader.take("H")
        checks.equal(label + "creation data size", extra, 0)
        reader.at += extra

    # Nothing may follow the last control but the padding to a DWORD.
    rest = data[reader.at:]
    checks.equal("bytes after the last control", len(rest) <= 3 and rest.strip(b"\0") == b"", True)


def main(argv):
    checks = Checks()
    pe = pefile.PE(argv[1], fast_load=True)
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    key = lambda entry: entry.id if entry.name is None else str(entry.name)
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    entries = [(key(rtype), key(name), language.id, language.data)
               for rtype in (root.entries if root else [])
               for name in (rtype.directory.entries if hasattr(rtype, "directory") else [])
               for language in (name.directory.entries if hasattr(name, "directory") else [])]
    checks.equal("resources in the module (type, name, language)",
                 [entry[:3] for entry in entries], [(RT_DIALOG, DIALOG_ID, LANGUAGE)])
    dialogs = [entry[3].struct for entry in entries if entry[:2] == (RT_DIALOG, DIALOG_ID)]
    if checks.equal("RT_DIALOG %d present" % DIALOG_ID, bool(dialogs), True):
        data = pe.get_data(dialogs[0].OffsetToData, dialogs[0].Size)
        checks.equal("template bytes read", len(data), dialogs[0].Size)
        try:
            check_template(data, checks)
        except struct.error as error:
            checks.equal("template complete (%s)" % error, False, True)

    print("%d passed, %d failed" % (checks.passed, checks.failed))
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
