#!/usr/bin/python3
"""Puts the release zip together (scripts/release.sh runs it after the build).

    /usr/bin/python3 scripts/release_zip.py BUILD_DIR DATE OUTPUT_DIR

BUILD_DIR holds the built porvane.xpi and porvane-host.exe; DATE (seconds
since 1970) dates every entry, so that the zip depends only on what goes in.
Writes OUTPUT_DIR/porvane-VERSION-win32.zip and prints its name.

The readmes are filled from docs/readme-*.txt.in: every {{NAME}} there is a
fact the code holds, so a readme cannot fall behind the code. The version,
the registry key and value and the result codes come from the headers that
define them (base/version.h, settings/settings_store.h,
base/host_records.h) and are looked for in the built plug-in; the identity
string and the About box's texts come from the built plug-in itself: the
strings GetPluginInfo hands the host, and the ones the About box formats.
Every result code the plug-in can return must be explained in each readme,
and README.md and README.ja.md must state the same facts as the code.
Windows' Notepad shows the text files as meant: UTF-8 with a byte-order mark
for the readmes, CRLF line ends for all.
"""
import hashlib
import os
import re
import struct
import sys
import time
import zipfile

import pefile

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAMS = ["porvane.xpi", "porvane-host.exe"]
README_LANGUAGES = ["ja", "en"]


class ReleaseError(Exception):
    pass


def source(path):
    with open(os.path.join(TOP, path), encoding="utf-8") as f:
        return f.read()


def c_string(path, pattern):
    """The C string literal that `pattern` (with one group for it) finds in `path`."""
    found = re.search(pattern, source(path))
    if not found:
        raise ReleaseError("%s: no match for %s" % (path, pattern))
    return re.sub(r"\\(.)", r"\1", found.group(1))


def facts_from_headers():
    facts = {
        "VERSION": c_string("base/version.h", r'#define PORVANE_VERSION "([^"]*)"'),
        "SETTINGS_KEY": "HKEY_CURRENT_USER\\" + c_string("settings/settings_store.h",
                                                          r'#define SETTINGS_KEY_PATH "((?:[^"\\]|\\.)*)"'),
        "SETTING_NAME": c_string("settings/settings_store.h", r'#define PALETTE_SETTING_NAME "([^"]*)"'),
    }
    codes = re.findall(r"^\s*(EXPORT_[A-Z_]+) = (-?\d+),", source("base/host_records.h"), re.M)
    if not codes:
        raise ReleaseError("base/host_records.h: no result codes found")
    facts.update(codes)
    return facts, [name for name, _ in codes]


class Plugin:
    """The built porvane.xpi as the loader maps it.

    Its code refers to its data by absolute addresses, each listed in the
    base relocations (the loader adjusts them when it moves the module). A
    dword the relocations list is therefore certainly an address, which is
    what lets the strings be found from the code that uses them.
    """

    def __init__(self, path):
        try:
            self.pe = pefile.PE(path)
        except pefile.PEFormatError as error:
            raise ReleaseError("%s: %s" % (path, error))
        self.path = path
        self.base = self.pe.OPTIONAL_HEADER.ImageBase
        self.image = self.pe.get_memory_mapped_image()
        self.addresses = {entry.rva for block in getattr(self.pe, "DIRECTORY_ENTRY_BASERELOC", [])
                          for entry in block.entries
                          if entry.type == pefile.RELOCATION_TYPE["IMAGE_REL_BASED_HIGHLOW"]}

    def address_at(self, rva):
        """The relative address stored at `rva`, or None when none is stored there."""
        if rva not in self.addresses:
            return None
        return struct.unpack_from("<I", self.image, rva)[0] - self.base

    def string_at(self, rva):
        """The zero-terminated printable ASCII string at `rva`, or None."""
        if rva is None or not 0 <= rva < len(self.image):
            return None
        end = self.image.find(b"\0", rva)
        text = self.image[rva:end]
        if end < 0 or not text or any(byte < 0x20 and byte != 0x0A or byte > 0x7E for byte in text):
            return None
        return text.decode("ascii")

    def export(self, name):
        for symbol in self.pe.DIRECTORY_ENTRY_EXPORT.symbols:
            if symbol.name == name.encode("ascii"):
                return symbol.address
        raise ReleaseError("%s exports no %s" % (self.path, name))

    def identity(self):
        """The four strings GetPluginInfo hands the host for items 0 to 3: its
        code reads them from a table of four string addresses."""
        start = self.export("GetPluginInfo")
        for rva in range(start, start + 96):
            table = self.address_at(rva)
            if table is None:
                continue
            items = [self.string_at(self.address_at(table + 4 * index)) for index in range(4)]
            if all(item is not None for item in items):
                return items
        raise ReleaseError("%s: the table of identity strings GetPluginInfo reads was not found" % self.path)

    def calls_of(self, dll, function):
        """Where the code calls an imported function: call [its import slot]."""
        slots = [entry.address - self.base for module in self.pe.DIRECTORY_ENTRY_IMPORT
                 if module.dll.decode("ascii").lower() == dll.lower()
                 for entry in module.imports if entry.name == function.encode("ascii")]
        found = []
        for slot in slots:
            for at in re.finditer(re.escape(b"\xff\x15" + struct.pack("<I", slot + self.base)), self.image):
                if at.start() + 2 in self.addresses:
                    found.append(at.start())
        return found

    def string_arguments(self, call):
        """The string addresses the code stores into the argument slots
        ([esp + offset]) in the 64 bytes before `call`, by offset; the last
        store to a slot wins."""
        arguments = {}
        for at in range(max(0, call - 64), call):
            if self.image[at:at + 3] == b"\xc7\x04\x24":    # mov dword [esp], imm32
                offset, value_at = 0, at + 3
            elif self.image[at:at + 3] == b"\xc7\x44\x24":  # mov dword [esp + disp8], imm32
                offset, value_at = self.image[at + 3], at + 4
            else:
                continue
            text = self.string_at(self.address_at(value_at))
            if text is not None and value_at + 4 <= call:
                arguments[offset] = text
        return arguments

    def about_box(self, version):
        """The title and the notice the About box shows: the About text is
        wsprintfA(buffer, format, title, version, notice), the one call of
        wsprintfA whose arguments include the version."""
        for call in self.calls_of("user32.dll", "wsprintfA"):
            arguments = self.string_arguments(call)
            values = [arguments.get(offset) for offset in (4, 8, 12, 16)]
            if None in values or values[2] != version or values[0].count("%s") != 3 or "%" in "".join(values[1:]):
                continue
            pattern, title, _, notice = values
            text = pattern.replace("%s", "\0").split("\0")
            text = text[0] + title + text[1] + version + text[2] + notice + text[3]
            if not text.startswith(title + " Version " + version) or not text.endswith(notice):
                raise ReleaseError("%s: the About box reads %r, not title, version and notice as the readmes say"
                                   % (self.path, text))
            return title, notice
        raise ReleaseError("%s: the About box's texts were not found (no call of wsprintfA with the version %r)"
                           % (self.path, version))


def facts_from_plugin(facts, plugin_path):
    plugin = Plugin(plugin_path)
    identity = plugin.identity()
    title, notice = plugin.about_box(facts["VERSION"])
    facts = dict(facts, DESCRIPTION=identity[1], ABOUT_TITLE=title, ABOUT_NOTICE=notice)
    return facts


def check_in_plugin(facts, plugin_path):
    """The facts the headers define must be the ones compiled into the plug-in."""
    with open(plugin_path, "rb") as f:
        plugin = f.read()
    for name in ("VERSION", "SETTING_NAME"):
        if facts[name].encode("ascii") + b"\0" not in plugin:
            raise ReleaseError("%s %r is not in %s" % (name, facts[name], plugin_path))
    key_path = facts["SETTINGS_KEY"].split("\\", 1)[1]
    if key_path.encode("ascii") + b"\0" not in plugin:
        raise ReleaseError("the settings key %r is not in %s" % (key_path, plugin_path))


def check_readmes(facts):
    """README.md and README.ja.md tell the same facts in their own words: they must name them as the code does."""
    for readme in ("README.md", "README.ja.md"):
        text = " ".join(source(readme).split())  # a line break inside a fact is a space in Markdown
        for name in ("VERSION", "DESCRIPTION", "ABOUT_TITLE", "ABOUT_NOTICE", "SETTINGS_KEY", "SETTING_NAME"):
            if facts[name] not in text:
                raise ReleaseError("%s does not say %r (%s)" % (readme, facts[name], name))


def fill(template_path, facts, required):
    text = source(template_path)
    used = set(re.findall(r"\{\{([A-Z_]+)\}\}", text))
    unknown = used - set(facts)
    if unknown:
        raise ReleaseError("%s: no such fact: %s" % (template_path, ", ".join(sorted(unknown))))
    left_out = set(required) - used
    if left_out:
        raise ReleaseError("%s does not explain %s" % (template_path, ", ".join(sorted(left_out))))
    return re.sub(r"\{\{([A-Z_]+)\}\}", lambda m: facts[m.group(1)], text)


def windows_text(text, byte_order_mark):
    body = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
    return (b"\xef\xbb\xbf" if byte_order_mark else b"") + body


def add(archive, name, data, date):
    entry = zipfile.ZipInfo(name, date_time=time.gmtime(date)[:6])
    entry.create_system = 3  # Unix, so that the permissions below hold
    entry.external_attr = 0o100644 << 16
    entry.compress_type = zipfile.ZIP_DEFLATED
    archive.writestr(entry, data, compresslevel=9)


def main(argv):
    if len(argv) != 4:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    built, date, output = argv[1], int(argv[2]), argv[3]
    facts, result_codes = facts_from_headers()
    check_in_plugin(facts, os.path.join(built, "porvane.xpi"))
    facts = facts_from_plugin(facts, os.path.join(built, "porvane.xpi"))
    check_readmes(facts)

    folder = "porvane-%s-win32" % facts["VERSION"]
    files = {}
    for program in PROGRAMS:
        with open(os.path.join(built, program), "rb") as f:
            files[program] = f.read()
    files["SHA256SUMS.txt"] = windows_text(
        "".join("%s  %s\n" % (hashlib.sha256(files[p]).hexdigest(), p) for p in PROGRAMS), False)
    for language in README_LANGUAGES:
        text = fill("docs/readme-%s.txt.in" % language, facts, result_codes)
        files["readme-%s.txt" % language] = windows_text(text, True)
    files["LICENSE.txt"] = windows_text(source("LICENSE"), False)

    os.makedirs(output, exist_ok=True)
    zip_path = os.path.join(output, folder + ".zip")
    with zipfile.ZipFile(zip_path + ".part", "w") as archive:
        for name in sorted(files):
            add(archive, folder + "/" + name, files[name], date)
    os.replace(zip_path + ".part", zip_path)
    print(zip_path)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except (ReleaseError, OSError) as error:
        print("release: %s" % error, file=sys.stderr)
        sys.exit(1)
