#include "kiss_output.h"
#include "../system/code_pages.h"
#include "../words/failure_words.h"
#include "../words/messages.h"
#include "../system/path_names.h"

#include <string.h>

#include "../../cel/kiss_file_writer.h"

enum {
    PALETTE_COLOURS = 256,  // a palette file always holds 256 colours, 24 bits each
    HOST_PATH_SLACK = 8,    // the host's path buffer leaves room for the plug-in to add ".kcf"
    STAND_IN_TRIES = 1000,  // stand-in names tried before giving up
};

static bool isProtected(const std::wstring& path, const ProtectedFiles& protectedFiles)
{
    const FileIdentity identity = identifyFile(path.c_str());
    for (const FileIdentity& file : protectedFiles)
        if (sameFile(identity, file))
            return true;
    return false;
}

// `path` in the ANSI code page, when every character of it has a place there.
static bool inAnsi(const std::wstring& path, std::string* ansi)
{
    bool lost = false;
    *ansi = encodeText(path, CP_ACP, &lost);
    return !lost;
}

static std::wstring fromAnsi(const std::string& ansi)
{
    return decodeText(ansi.c_str(), CP_ACP);
}

// ---------------------------------------------------------------------------
// Writing under a stand-in name.

// A name of plain letters in `folder`, with `destination`'s extension when
// that is plain too, and free both as it is and as palette mode would name it.
static std::wstring standInName(const std::wstring& folder, const std::wstring& destination)
{
    std::wstring extension = extensionOf(destination);
    for (wchar_t c : extension)
        if (c > 0x7E)
            extension.clear();
    for (unsigned n = GetCurrentProcessId() % 9000; n < GetCurrentProcessId() % 9000 + STAND_IN_TRIES; ++n) {
        const std::wstring stem = L"porvane" + number(n);
        if (GetFileAttributesW(inFolder(folder, stem + extension).c_str()) == INVALID_FILE_ATTRIBUTES &&
            GetFileAttributesW(inFolder(folder, stem + kissPaletteExtension()).c_str()) == INVALID_FILE_ATTRIBUTES)
            return stem + extension;
    }
    return L"";
}

struct FinalRename {
    std::wstring from, to;
};

static BOOL renameToFinalName(const void* context)
{
    const FinalRename* r = (const FinalRename*)context;
    return MoveFileExW(r->from.c_str(), r->to.c_str(), MOVEFILE_REPLACE_EXISTING);
}

static DWORD finalNameAttributes(const void* context)
{
    return GetFileAttributesW(((const FinalRename*)context)->to.c_str());
}

// Runs `write` on the ANSI form of `destination`, or of a stand-in for it,
// which it may rename as palette mode does; `*written` is the name the file
// has in the end. Returns what `write` returned, or 0 when the stand-in
// could not be made or renamed, with `*failure` set.
template <typename Write>
static bool writeUnderAnsiName(const std::wstring& destination, Write write, std::wstring* written,
                               std::wstring* failure)
{
    std::string ansi;
    if (inAnsi(destination, &ansi)) {
        const bool ok = write(&ansi);
        *written = ok ? fromAnsi(ansi) : destination;
        return ok;
    }
    *written = destination;
    std::wstring folder = folderPart(destination);
    if (folder.empty())
        folder = L".";
    const std::wstring standIn = standInName(folder, destination);
    wchar_t previous[MAX_PATH];
    const DWORD previousLength = GetCurrentDirectoryW(MAX_PATH, previous);
    if (standIn.empty() || previousLength == 0 || previousLength >= MAX_PATH ||
        !SetCurrentDirectoryW(folder.c_str())) {
        *failure = whyNotWritten(destination);
        return false;
    }
    ansi.assign(standIn.begin(), standIn.end());  // plain letters: the same in every code page
    const bool ok = write(&ansi);
    SetCurrentDirectoryW(previous);
    // Palette mode may have changed the extension: the real name follows.
    const std::wstring stem = nameWithoutExtension(standIn), done = fromAnsi(ansi);
    const std::wstring finished = inFolder(folder, done);
    *written = besideFile(destination, nameWithoutExtension(destination) + done.substr(stem.size()));
    if (GetFileAttributesW(finished.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ok;  // nothing was written: `write` said why
    const DWORD attributes = GetFileAttributesW(written->c_str());
    const FinalRename rename = {finished, *written};
    if ((attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) ||
        !retryWhileHeld(renameToFinalName, finalNameAttributes, &rename)) {
        *failure = whyNotWritten(*written);
        DeleteFileW(finished.c_str());
        return false;
    }
    return ok;
}

// A file the converter writes itself, through the plug-in's writer, under
// `path`. Returns 0 with the reason in words.
template <typename Write>
static int writeNamed(const std::wstring& path, Write write, std::wstring* failure)
{
    std::wstring written;
    failure->clear();
    if (writeUnderAnsiName(path, write, &written, failure))
        return 1;
    if (failure->empty())
        *failure = whyNotWritten(path);
    return 0;
}

// ---------------------------------------------------------------------------

CelOutcome exportCel(const Plugin& plugin, const SourcePicture& picture, const std::wstring& destination,
                     const ProtectedFiles& protectedFiles, ProgressCallback progress, LONG userValue)
{
    CelOutcome outcome = {EXPORT_WRITE_ERROR, destination, L""};
    if (isProtected(destination, protectedFiles)) {
        outcome.failure = text(MSG_IS_A_PICTURE);
        return outcome;
    }
    if (destination.size() >= MAX_PATH) {
        outcome.failure = text(MSG_NAME_TOO_LONG);
        return outcome;
    }
    auto createPicture = [&](std::string* ansi) {
        char path[MAX_PATH * 2 + HOST_PATH_SLACK] = "";  // a double-byte character may take two
        if (ansi->size() >= MAX_PATH)
            return false;
        ansi->copy(path, ansi->size());
        PictureHandover handover = picture.handover;  // the plug-in takes the handles by address
        outcome.status = plugin.createPicture(path, 0, &handover.header, &handover.bits, &handover.info, progress,
                                              userValue);
        *ansi = path;
        return outcome.status == EXPORT_OK;
    };
    std::wstring failure;
    const bool renamed = writeUnderAnsiName(destination, createPicture, &outcome.written, &failure);
    if (outcome.status == EXPORT_OK && !renamed)
        outcome.status = EXPORT_WRITE_ERROR;
    if (outcome.status != EXPORT_OK)
        outcome.failure = failure.empty() ? exportStatusInWords(outcome.status, outcome.written) : failure;
    return outcome;
}

int writePalette(const std::vector<uint32_t>& palette, const std::wstring& path, const ProtectedFiles& protectedFiles,
                 std::wstring* failure)
{
    if (isProtected(path, protectedFiles)) {
        *failure = text(MSG_IS_A_PICTURE);
        return 0;
    }
    uint8_t colours[3 * PALETTE_COLOURS];
    memset(colours, 0, sizeof colours);
    for (size_t i = 0; i < palette.size() && i < PALETTE_COLOURS; ++i) {  // red, green, blue
        colours[3 * i] = (uint8_t)(palette[i] >> 16);
        colours[3 * i + 1] = (uint8_t)(palette[i] >> 8);
        colours[3 * i + 2] = (uint8_t)palette[i];
    }
    CelHeader header;
    header.mark = CEL_MARK_PALETTE;
    header.depth = 24;
    header.width = PALETTE_COLOURS;
    header.height = 1;
    return writeNamed(path, [&](std::string* ansi) {
        return writeKissFile(ansi->c_str(), header, colours, sizeof colours) == KISS_WRITTEN;
    }, failure);
}

int writeTextFile(const std::string& text, const std::wstring& path, std::wstring* failure)
{
    return writeNamed(path, [&](std::string* ansi) {
        return writeWholeFile(ansi->c_str(), (const uint8_t*)text.data(), (DWORD)text.size()) == KISS_WRITTEN;
    }, failure);
}
