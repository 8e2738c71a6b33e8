#include "kiss_output.h"

#include <string.h>

#include "../../cel/kiss_file_writer.h"
#include "../system/code_pages.h"
#include "../system/path_names.h"

enum {
    HOST_PATH_SLACK = 8,    // the host's path buffer leaves room for the plug-in to add ".kcf"
    STAND_IN_TRIES = 1000,  // stand-in names tried before giving up
};

bool isProtected(const std::wstring& path, const ProtectedFiles& protectedFiles)
{
    if (protectedFiles.empty())
        return false;  // nothing to open the file for
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
        const std::wstring stem = L"porvane" + std::to_wstring(n);
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
// could not be made or renamed. On failure `*error` is the system's error of
// the step that failed.
template <typename Write>
static bool writeUnderAnsiName(const std::wstring& destination, Write write, std::wstring* written, DWORD* error)
{
    std::string ansi;
    if (inAnsi(destination, &ansi)) {
        const bool ok = write(&ansi);
        *error = ok ? ERROR_SUCCESS : GetLastError();
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
        *error = GetLastError();
        return false;
    }
    ansi.assign(standIn.begin(), standIn.end());  // plain letters: the same in every code page
    const bool ok = write(&ansi);
    *error = ok ? ERROR_SUCCESS : GetLastError();
    SetCurrentDirectoryW(previous);
    // Palette mode may have changed the extension: the real name follows.
    const std::wstring stem = nameWithoutExtension(standIn), done = fromAnsi(ansi);
    const std::wstring finished = inFolder(folder, done);
    *written = besideFile(destination, nameWithoutExtension(destination) + done.substr(stem.size()));
    if (GetFileAttributesW(finished.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ok;  // nothing was written: `write` said why
    const DWORD attributes = GetFileAttributesW(written->c_str());
    const FinalRename rename = {finished, *written};
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        *error = ERROR_ACCESS_DENIED;  // as Windows refuses to replace it (Wine does not)
    } else if (!retryWhileHeld(renameToFinalName, finalNameAttributes, &rename)) {
        *error = GetLastError();
    } else {
        return ok;
    }
    DeleteFileW(finished.c_str());
    return false;
}

static bool isTooLong(const std::wstring& path)
{
    return path.size() > MAX_NAME_CHARACTERS;
}

// A file the converter writes itself, through the plug-in's writer, under
// `path`.
template <typename Write>
static WriteProblem writeNamed(const std::wstring& path, const ProtectedFiles& protectedFiles, Write write)
{
    if (isProtected(path, protectedFiles))
        return {WRITE_IS_A_PICTURE, path};
    if (isTooLong(path))
        return {WRITE_NAME_TOO_LONG, path};
    std::wstring written;
    DWORD error = ERROR_SUCCESS;
    if (writeUnderAnsiName(path, write, &written, &error))
        return {};
    return diagnoseWriteFailure(written, error);
}

// ---------------------------------------------------------------------------

CelOutcome exportCel(const Plugin& plugin, const SourcePicture& picture, const std::wstring& destination,
                     const ProtectedFiles& protectedFiles, ProgressCallback progress, LONG userValue)
{
    CelOutcome outcome = {EXPORT_WRITE_ERROR, destination, {}};
    if (isProtected(destination, protectedFiles)) {
        outcome.problem = {WRITE_IS_A_PICTURE, destination};
        return outcome;
    }
    if (isTooLong(destination)) {
        outcome.problem = {WRITE_NAME_TOO_LONG, destination};
        return outcome;
    }
    auto createPicture = [&](std::string* ansi) {
        char path[MAX_PATH * 2 + HOST_PATH_SLACK] = "";  // a double-byte character may take two
        if (ansi->size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        ansi->copy(path, ansi->size());
        PictureHandover handover = picture.handover;  // the plug-in takes the handles by address
        outcome.status = plugin.createPicture(path, 0, &handover.header, &handover.bits, &handover.info, progress,
                                              userValue);
        *ansi = path;
        return outcome.status == EXPORT_OK;
    };
    DWORD error = ERROR_SUCCESS;
    const bool renamed = writeUnderAnsiName(destination, createPicture, &outcome.written, &error);
    if (outcome.status == EXPORT_OK && !renamed)
        outcome.status = EXPORT_WRITE_ERROR;
    switch (outcome.status) {
    case EXPORT_OK: break;
    case EXPORT_ABORTED: outcome.problem = {WRITE_STOPPED, outcome.written}; break;
    case EXPORT_NO_MEMORY: outcome.problem = {WRITE_NO_MEMORY, outcome.written}; break;
    case EXPORT_WRITE_ERROR: outcome.problem = diagnoseWriteFailure(outcome.written, error); break;
    default: outcome.problem = {WRITE_PLUGIN_ANSWERED, outcome.written, outcome.status}; break;
    }
    return outcome;
}

WriteProblem writePalette(const std::vector<uint32_t>& palette, const std::wstring& path,
                          const ProtectedFiles& protectedFiles)
{
    return writePaletteGroups({palette}, path, protectedFiles);
}

std::string paletteFile(const std::vector<std::vector<uint32_t>>& groups)
{
    CelHeader header;
    header.mark = CEL_MARK_PALETTE;
    header.depth = KISS_PALETTE_BITS;
    header.width = KISS_PALETTE_COLOURS;
    header.height = (uint16_t)groups.size();  // the palette groups
    std::string file(CEL_HEADER_BYTES + 3 * KISS_PALETTE_COLOURS * groups.size(), '\0');
    encodeCelHeader(header, (uint8_t*)&file[0]);
    for (size_t group = 0; group < groups.size(); ++group) {
        char* entry = &file[CEL_HEADER_BYTES + 3 * KISS_PALETTE_COLOURS * group];
        for (size_t i = 0; i < groups[group].size() && i < KISS_PALETTE_COLOURS; ++i, entry += 3) {
            const uint32_t colour = groups[group][i];  // red, green, blue
            entry[0] = (char)(colour >> 16), entry[1] = (char)(colour >> 8), entry[2] = (char)colour;
        }
    }
    return file;
}

WriteProblem writePaletteGroups(const std::vector<std::vector<uint32_t>>& groups, const std::wstring& path,
                                const ProtectedFiles& protectedFiles)
{
    const std::string file = paletteFile(groups);
    return writeNamed(path, protectedFiles, [&](std::string* ansi) {
        return writeWholeFile(ansi->c_str(), (const uint8_t*)file.data(), (DWORD)file.size()) == KISS_WRITTEN;
    });
}

WriteProblem writeTextFile(const std::string& text, const std::wstring& path)
{
    return writeNamed(path, ProtectedFiles(), [&](std::string* ansi) {
        return writeWholeFile(ansi->c_str(), (const uint8_t*)text.data(), (DWORD)text.size()) == KISS_WRITTEN;
    });
}

WriteProblem writeBytesFile(const uint8_t* bytes, size_t size, const std::wstring& path,
                            const ProtectedFiles& protectedFiles)
{
    const uint64_t bytesToWrite = size;  // a size_t of 64 bits natively
    if (bytesToWrite > 0xFFFFFFFFu)
        return {WRITE_CANNOT_CREATE, path};
    return writeNamed(path, protectedFiles, [&](std::string* ansi) {
        return writeWholeFile(ansi->c_str(), bytes, (DWORD)size) == KISS_WRITTEN;
    });
}
