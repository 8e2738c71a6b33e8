// What a destination becomes when palette mode writes a palette there,
// written out by hand: the tests' oracle for the rename, shared by the Wine
// tests, the stress run and the fuzz target. Names are relative to a folder
// that holds the dotted folders listed below.
#ifndef PORVANE_PALETTE_RENAMES_H
#define PORVANE_PALETTE_RENAMES_H

struct PaletteRename {
    const char* given;
    const char* result;
};

const PaletteRename paletteRenames[] = {
    {"strip.cel", "strip.kcf"},
    {"strip", "strip.kcf"},            // backslash six from the end: no extension, append
    {"strip.jpeg", "strip.kcf"},
    {"strip.tiff2", "strip.kcf"},      // full stop six from the end
    {"colour", "colour"},              // backslash seven from the end: out of reach
    {"strip.backup", "strip.backup"},  // full stop seven from the end
    {"a.b", "a.kcf"},
    {"ab", "ab.kcf"},
    {"ab.c.d", "ab.c.kcf"},            // the last full stop starts the extension
    {"strip.", "strip.kcf"},
    {"STRIP.CEL", "STRIP.kcf"},
    // A separator met first ends the search: the folder's full stop is no
    // extension. Windows takes a slash for a backslash, and so does porvane.
    {"v1.2\\abc", "v1.2\\abc.kcf"},
    {"v1.2/abc", "v1.2/abc.kcf"},
    {"v1.2/x", "v1.2/x.kcf"},
    {"v1.2/a.b", "v1.2/a.kcf"},
    {"v1.2/colour", "v1.2/colour"},
    {"v1.2/s.cel", "v1.2/s.kcf"},
    {"v1.2\\w.x/y", "v1.2\\w.x/y.kcf"},
    {"v1.2/w.x\\y.cel", "v1.2/w.x\\y.kcf"},
};
const int paletteRenameCount = sizeof paletteRenames / sizeof paletteRenames[0];

// The folders the names above go through, parents first.
const char* const paletteRenameFolders[] = {"v1.2", "v1.2\\w.x"};

#endif
