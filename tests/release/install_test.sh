#!/usr/bin/env bash
# Installs the release zip as a user would, in the fresh Wine prefix of the
# session it runs in, and uses it:
#   scripts/wine-session.sh tests/release/install_test.sh porvane-VERSION-win32.zip
# Unzipped into a download folder, the release must hold its six files and
# their checksums must hold; both programs may import only DLLs that Windows
# ships; porvane.xpi goes into a folder standing for the host's plug-in
# folder, and the unzipped porvane-host.exe, started elsewhere, loads it
# from there, reads its identity and exports a sample picture, whose cel is
# compared with one built here from the picture's own bytes.
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
zip=$(realpath "$1")
folder=$(basename "$zip" .zip)
drive_c="$WINEPREFIX/drive_c"
failures=0

ok() { echo "ok    $*"; }
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }
windows_path() { local path=${1#"$drive_c"}; printf 'C:%s' "${path//\//\\}"; }

downloads="$drive_c/users/Public/Downloads"
mkdir -p "$downloads"
unzip -q "$zip" -d "$downloads"
release="$downloads/$folder"
listed=$(cd "$downloads" && find . -type f | sort | tr '\n' ' ')
expected=""
for name in LICENSE.txt SHA256SUMS.txt porvane-host.exe porvane.xpi readme-en.txt readme-ja.txt; do
    expected+="./$folder/$name "
done
[ "$listed" = "$expected" ] && ok "the zip holds $folder/ and its six files" || fail "the zip holds: $listed"
(cd "$release" && sha256sum --check --quiet SHA256SUMS.txt) && ok "SHA256SUMS.txt matches" || fail "SHA256SUMS.txt"

/usr/bin/python3 - "$release" <<'PY' && ok "readmes: UTF-8 with a byte-order mark, CRLF line ends" || fail "readmes"
import sys
for language in ("ja", "en"):
    data = open("%s/readme-%s.txt" % (sys.argv[1], language), "rb").read()
    data.decode("utf-8")
    assert data.startswith(b"\xef\xbb\xbf"), language + ": no byte-order mark"
    assert data.count(b"\n") > 50 and data.count(b"\n") == data.count(b"\r\n"), language + ": not CRLF"
PY

/usr/bin/python3 - "$release/porvane.xpi" "$release/porvane-host.exe" <<'PY' && ok "imports: Windows system DLLs only" || fail "imports"
import sys
import pefile
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "gdi32.dll", "shell32.dll", "comdlg32.dll",
                "comctl32.dll", "ole32.dll", "oleaut32.dll", "shlwapi.dll", "version.dll", "msvcrt.dll"}
for program in sys.argv[1:]:
    pe = pefile.PE(program)
    dlls = {entry.dll.decode("ascii").lower() for attribute in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT")
            for entry in getattr(pe, attribute, [])}
    print("      %s: %s" % (program.rsplit("/", 1)[-1], " ".join(sorted(dlls))))
    assert dlls and dlls <= WINDOWS_DLLS, "%s imports %s" % (program, sorted(dlls - WINDOWS_DLLS))
PY

# Moved rather than copied, so that the plug-in folder holds the only copy.
plugins="$drive_c/Program Files/Picture program/Plug-ins"
mkdir -p "$plugins"
mv "$release/porvane.xpi" "$plugins/"
pictures="$drive_c/users/Public/Pictures"
mkdir -p "$pictures"
cp "$top/samples/doll-face-8bit.bmp" "$pictures/"
host=(wine "$(windows_path "$release/porvane-host.exe")" --plugin "$(windows_path "$plugins/porvane.xpi")")
cd "$pictures" || exit 1

identity=$("${host[@]}" info </dev/null 2>&1)
description=$(grep -a -A2 'shows as' "$release/readme-en.txt" | sed -n 's/^  \([^ ].*\)\r$/\1/p')
[ -n "$description" ] || fail "readme-en.txt names no identity"
for expected in T0XN "$description" CEL .cel; do
    grep -q -F -- "$expected" <<<"$identity" && ok "identity: $expected" || fail "identity lacks '$expected': $identity"
done

"${host[@]}" export doll-face-8bit.bmp "$(windows_path "$pictures/doll-face.cel")" </dev/null >/dev/null 2>&1
/usr/bin/python3 - "$pictures/doll-face-8bit.bmp" "$pictures/doll-face.cel" <<'PY' && ok "the exported cel" || fail "the exported cel"
import struct, sys
bmp = open(sys.argv[1], "rb").read()
offset, = struct.unpack_from("<I", bmp, 10)
width, height, _, bits = struct.unpack_from("<iiHH", bmp, 18)
assert bits == 8 and height > 0, "the sample is an 8-bit bottom-up picture"
stride = (width + 3) // 4 * 4
rows = [bmp[offset + row * stride:offset + row * stride + width] for row in reversed(range(height))]
expected = b"KiSS" + bytes([0x20, 8, 0, 0]) + struct.pack("<HH", width, height) + bytes(20) + b"".join(rows)
assert open(sys.argv[2], "rb").read() == expected
PY

echo "$failures failed"
[ "$failures" -eq 0 ]
