#!/usr/bin/python3
"""Puts the release zip together (scripts/release.sh runs it after the build).

    /usr/bin/python3 scripts/release_zip.py BUILD_DIR DATE OUTPUT_DIR

BUILD_DIR holds the built porvane.xpi and porvane-host.exe; DATE (seconds
since 1970) dates every entry, so that the zip depends only on what goes in.
Writes OUTPUT_DIR/porvane-VERSION-win32.zip and prints its name.

The readmes are filled from docs/readme-*.txt.in: every {{NAME}} there is a
fact the code holds (the version, the registry key and value, the identity
string, the About box, the result codes), read here from the sources and
looked for in the built plug-in, so a readme cannot fall behind the code.
Every result code the plug-in can return must be explained in each readme,
and README.md and README.ja.md must state the same facts as the code.
Windows' Notepad shows the text files as meant: UTF-8 with a byte-order mark
for the readmes, CRLF line ends for all.
"""
import hashlib
import os
import re
import sys
import time
import zipfile

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


def facts_from_sources():
    facts = {
        "VERSION": c_string("plugin/version.h", r'#define PORVANE_VERSION "([^"]*)"'),
        "SETTINGS_KEY": "HKEY_CURRENT_USER\\" + c_string("settings/settings_store.h",
                                                          r'#define SETTINGS_KEY_PATH "((?:[^"\\]|\\.)*)"'),
        "SETTING_NAME": c_string("settings/settings_store.h", r'#define PALETTE_SETTING_NAME "([^"]*)"'),
        "DESCRIPTION": c_string("plugin/identity.cpp", r'"([^"]*)",\s*// description'),
        "ABOUT_TITLE": c_string("settings/about_box.cpp", r'aboutTitle\[\] = "([^"]*)"'),
        "ABOUT_NOTICE": c_string("settings/about_box.cpp", r'aboutNotice\[\] = "([^"]*)"'),
    }
    codes = re.findall(r"^\s*(EXPORT_[A-Z_]+) = (-?\d+),", source("plugin/host_records.h"), re.M)
    if not codes:
        raise ReleaseError("plugin/host_records.h: no result codes found")
    facts.update(codes)
    return facts, [name for name, _ in codes]


def check_in_plugin(facts, plugin_path):
    """The strings the plug-in shows must be the ones compiled into it."""
    with open(plugin_path, "rb") as f:
        plugin = f.read()
    for name in ("VERSION", "DESCRIPTION", "ABOUT_TITLE", "ABOUT_NOTICE", "SETTING_NAME"):
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
    facts, result_codes = facts_from_sources()
    check_in_plugin(facts, os.path.join(built, "porvane.xpi"))
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
