#include "export_command.h"

#include <functional>

#include "../../cel/cel_format.h"
#include "../../settings/palette_setting.h"
#include "../system/console_text.h"
#include "../words/failure_words.h"
#include "../handover/kiss_output.h"
#include "../words/messages.h"
#include "../system/path_names.h"
#include "../pictures/picture_list.h"
#include "../choosing/shared_palette.h"

// The --to folder and every missing folder above it.
bool makeFolder(const std::wstring& folder)
{
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        complain(text(MSG_TO_IS_A_FILE, {folder}));
        return false;
    }
    const std::wstring parent = folderPart(folder);
    if (!parent.empty() && parent != folder && !makeFolder(parent))
        return false;
    if (!CreateDirectoryW(folder.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
        complain(text(MSG_TO_NOT_MADE, {folder, whyNotWritten(folder)}));
        return false;
    }
    return true;
}

static bool paletteModeOn()
{
    DWORD setting = 0;
    return readPaletteSetting(&setting) && setting == PALETTE_MODE_ON;
}

// What every picture of a run shares.
struct RunContext {
    const Plugin& plugin;
    const ConvertRequest& request;
    bool paletteMode;
    ProtectedFiles pictures;  // no destination may be one of them
    std::wstring celExtension; // as the plug-in names it
    ProgressCallback progress;
    LONG userValue;
};

// Converts one picture; `*line` gets what became of it.
static bool convert(const RunContext& run, const std::wstring& path, const std::wstring& destination,
                    std::wstring* line)
{
    SourcePicture picture;
    std::wstring reason;
    if (!openSourcePicture(path, run.request.transparency, run.paletteMode, &picture, &reason)) {
        *line = text(MSG_LINE_NOT_CONVERTED, {path, reason});
        return false;
    }
    const CelOutcome cel = exportCel(run.plugin, picture, destination, run.pictures, run.progress, run.userValue);
    bool converted = cel.status == EXPORT_OK;
    if (!converted) {
        *line = text(MSG_LINE_NOT_WRITTEN, {path, cel.written, cel.failure});
    } else {
        std::wstring what = describePicture(picture);
        if (run.request.palettes && isIndexed(picture)) {
            const std::wstring palette = besideFile(destination, nameWithoutExtension(destination) + kissPaletteExtension());
            std::wstring failure;
            converted = writePalette(picture.colours, palette, run.pictures, &failure);
            what = converted ? text(MSG_AND_PALETTE, {what, palette})
                             : text(MSG_PALETTE_NOT_WRITTEN, {what, palette, failure});
        }
        if (!picture.note.empty())
            what = text(MSG_LINE_NOTE, {what, picture.note});
        *line = text(MSG_LINE_CONVERTED, {path, cel.written, what});
    }
    closeSourcePicture(&picture);
    return converted;
}

static std::wstring counted(size_t count, MessageId one, MessageId many)
{
    return count == 1 ? text(one) : text(many, {number((long long)count)});
}

// "3 pictures converted; 2 KiSS files and 1 other file skipped."
static void sayHowItWent(size_t converted, size_t count, const PictureList& list)
{
    std::wstring summary;
    if (count == 0)
        summary = text(MSG_NOTHING_TO_CONVERT);
    else if (converted == count)
        summary = counted(count, MSG_CONVERTED_ONE, MSG_CONVERTED_MANY);
    else
        summary = text(MSG_CONVERTED_SOME, {number((long long)converted), number((long long)count),
                                            number((long long)(count - converted))});
    std::wstring skipped;
    if (list.kissFiles > 0)
        skipped = counted(list.kissFiles, MSG_KISS_FILES_ONE, MSG_KISS_FILES_MANY);
    if (list.otherFiles > 0) {
        const std::wstring others = counted(list.otherFiles, MSG_OTHER_FILES_ONE, MSG_OTHER_FILES_MANY);
        skipped = skipped.empty() ? others : text(MSG_AND, {skipped, others});
    }
    say(skipped.empty() ? text(MSG_SUMMARY_END, {summary}) : text(MSG_SKIPPED, {summary, skipped}));
}

// Where each picture's cel goes.
static std::wstring celDestination(const RunContext& run, const std::wstring& path)
{
    const std::wstring name = nameWithoutExtension(path) + run.celExtension;
    return run.request.toFolder.empty() ? besideFile(path, name) : inFolder(run.request.toFolder, name);
}

// Every picture read first, one palette chosen for them all, then each an
// 8-bit cel on it; a picture that cannot be read is left out of the palette.
static size_t convertOnSharedPalette(const RunContext& run, const PictureList& list,
                                     const std::function<void(const std::wstring&)>& numbered)
{
    struct Part {
        DecodedPicture picture;
        std::wstring failure;  // empty: read
        std::wstring note;
    };
    std::vector<Part> parts(list.pictures.size());
    std::vector<const DecodedPicture*> read;
    for (size_t i = 0; i < parts.size(); ++i) {
        Part& part = parts[i];
        if (readPicture(list.pictures[i], &part.picture, &part.failure) &&
            toFullColour(&part.picture, run.request.transparency, &part.note, &part.failure))
            read.push_back(&part.picture);
        else if (part.failure.empty())
            part.failure = text(MSG_CANNOT_READ);
    }
    SharedPalette palette;
    const bool chosen = chooseSharedPalette(read, 0xFFFFFFu, &palette);
    size_t converted = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::wstring& path = list.pictures[i];
        CelChoice cel;
        SourcePicture picture;
        std::wstring failure = parts[i].failure;
        if (failure.empty() && !chosen)
            failure = text(MSG_SHARED_PALETTE_TOO_MANY_PIXELS);
        if (failure.empty() &&
            (!celOnSharedPalette(parts[i].picture, palette, run.request.dither, &cel) ||
             !makeSourcePicture(cel, parts[i].picture.width, parts[i].picture.height, &picture, &failure)) &&
            failure.empty())
            failure = text(MSG_NO_MEMORY);
        if (!failure.empty()) {
            numbered(text(MSG_LINE_NOT_CONVERTED, {path, failure}));
            continue;
        }
        const std::wstring destination = celDestination(run, path);
        const CelOutcome outcome = exportCel(run.plugin, picture, destination, run.pictures, NULL, 0);
        closeSourcePicture(&picture);
        if (outcome.status != EXPORT_OK) {
            numbered(text(MSG_LINE_NOT_WRITTEN, {path, outcome.written, outcome.failure}));
            continue;
        }
        std::wstring what = text(MSG_CEL_ON_SHARED_PALETTE, {number(parts[i].picture.width), number(parts[i].picture.height)});
        if (!parts[i].note.empty())
            what = text(MSG_LINE_NOTE, {what, parts[i].note});
        numbered(text(MSG_LINE_CONVERTED, {path, outcome.written, what}));
        ++converted;
    }
    if (!chosen || read.empty())
        return converted;
    // A bare name goes with the cels.
    const std::wstring& name = run.request.sharedPalette;
    const std::wstring where = !folderPart(name).empty() ? name
                               : !run.request.toFolder.empty() ? inFolder(run.request.toFolder, name)
                                                               : besideFile(list.pictures.front(), name);
    std::wstring failure;
    if (!writePalette(palette.colours, where, run.pictures, &failure))
        say(text(MSG_SHARED_PALETTE_NOT_WRITTEN, {where, failure}));
    else if (palette.exact)
        say(text(MSG_SHARED_PALETTE_EXACT, {where, number((long long)palette.partColours)}));
    else
        say(text(MSG_SHARED_PALETTE_REDUCED,
                 {where, number((long long)palette.partColours), number((long long)palette.colours.size() - 1)}));
    return failure.empty() ? converted : 0;
}

int convertPictures(const Plugin& plugin, const ConvertRequest& request)
{
    if (!request.toFolder.empty() && !makeFolder(request.toFolder))
        return 1;
    const PictureList list = listPictures(request.pictures);
    RunContext run = {plugin, request, paletteModeOn(), {}, identityString(plugin, PLUGIN_CEL_EXTENSION), NULL, 0};
    for (const std::wstring& picture : list.pictures)
        run.pictures.push_back(identifyFile(picture.c_str()));

    const size_t count = list.pictures.size() + list.unmatched.size();
    size_t converted = 0, at = 0;
    auto numbered = [&](const std::wstring& line) {
        say(L"[" + number((long long)++at) + L"/" + number((long long)count) + L"] " + line);
    };
    for (const std::wstring& name : list.unmatched)
        numbered(text(MSG_NO_FILE_MATCHES, {name}));
    if (!request.sharedPalette.empty()) {
        converted = convertOnSharedPalette(run, list, numbered);
    } else {
        for (const std::wstring& path : list.pictures) {
            std::wstring line;
            if (convert(run, path, celDestination(run, path), &line))
                ++converted;
            numbered(line);
        }
    }
    sayHowItWent(converted, count, list);
    return converted == count ? 0 : 1;
}

// The host's progress callback; `stopAt` is the host's user value.
static LONG WINAPI reportProgress(LONG numerator, LONG denominator, LONG stopAt)
{
    say(text(MSG_PROGRESS, {number(numerator), number(denominator)}));
    return numerator == stopAt ? 1 : 0;
}

int exportAsHost(const Plugin& plugin, const std::wstring& picture, const std::wstring& destination,
                 const TransparencyChoice& transparency, LONG stopAt)
{
    ConvertRequest request;
    request.transparency = transparency;
    RunContext run = {plugin, request, paletteModeOn(), {identifyFile(picture.c_str())}, L"",
                      stopAt >= 0 ? reportProgress : NULL, stopAt};
    std::wstring line;
    const bool converted = convert(run, picture, destination, &line);
    say(L"[1/1] " + line);
    sayHowItWent(converted ? 1 : 0, 1, PictureList());
    return converted ? 0 : 1;
}
