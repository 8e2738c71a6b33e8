#include "export_command.h"

#include <functional>

#include "../../cel/cel_format.h"
#include "../../settings/palette_setting.h"
#include "../choosing/shared_palette.h"
#include "../handover/keeping_writer.h"
#include "../handover/kiss_output.h"
#include "../pictures/picture_list.h"
#include "../pictures/read_picture.h"
#include "../system/console_text.h"
#include "../system/path_names.h"
#include "../words/messages.h"
#include "../words/cel_words.h"
#include "../words/problem_words.h"

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
        complain(text(MSG_TO_NOT_MADE, {folder, inWords(diagnoseWriteFailure(folder, GetLastError()))}));
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
    std::wstring shownFrom;    // the folder names are shown relative to; empty: as they are
};

// `path` as its line shows it: relative to the run's folder, where the
// pictures were given by their full names (dropped from Explorer), so that
// a line does not repeat the same long folder twice.
static std::wstring shown(const RunContext& run, const std::wstring& path)
{
    const std::wstring& folder = run.shownFrom;
    if (!folder.empty() && path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
        (path[folder.size()] == L'\\' || path[folder.size()] == L'/'))
        return path.substr(folder.size() + 1);
    return path;
}

// The one folder every picture lies in, when each was given by its full
// name; empty otherwise.
static std::wstring commonFullFolder(const ConvertRequest& request, const PictureList& list)
{
    for (const std::wstring& given : request.pictures)
        if (!isFullPath(given))
            return L"";
    std::wstring folder;
    for (const std::wstring& picture : list.pictures) {
        if (!folder.empty() && folderPart(picture) != folder)
            return L"";
        folder = folderPart(picture);
    }
    return request.toFolder.empty() || request.toFolder == folder ? folder : L"";
}

// Converts one picture; `*line` gets what became of it.
static bool convert(const RunContext& run, const std::wstring& path, const std::wstring& destination,
                    std::wstring* line)
{
    SourcePicture picture;
    PictureProblem problem;
    if (!openSourcePicture(path, run.request.transparency, run.paletteMode, &picture, &problem)) {
        *line = text(MSG_LINE_NOT_CONVERTED, {shown(run, path), inWords(problem)});
        return false;
    }
    const CelOutcome cel = exportCel(run.plugin, picture, destination, run.pictures, run.progress, run.userValue);
    bool converted = cel.status == EXPORT_OK;
    if (!converted) {
        *line = text(MSG_LINE_NOT_WRITTEN, {shown(run, path), shown(run, cel.written), inWords(cel.problem)});
    } else {
        std::wstring what = describeCel(picture);
        if (run.request.palettes && isIndexed(picture)) {
            const std::wstring palette = besideFile(destination, nameWithoutExtension(destination) + kissPaletteExtension());
            // A palette she may have tuned in a palette editor is kept, not lost.
            const std::string file = paletteFile({picture.colours});
            const Placing placing = placeKeepingOld((const uint8_t*)file.data(), file.size(), palette, run.pictures);
            converted = placing.placed != PLACED_NOT;
            what = converted ? text(MSG_AND_PALETTE, {what, shown(run, palette)})
                             : text(MSG_PALETTE_NOT_WRITTEN, {what, shown(run, palette), inWords(placing.problem)});
            if (placing.placed == PLACED_OLD_KEPT)
                what = text(MSG_PALETTE_KEPT, {what, shown(run, placing.kept)});
        }
        if (!picture.notes.empty())
            what = text(MSG_LINE_NOTE, {what, inWords(picture.notes)});
        *line = text(MSG_LINE_CONVERTED, {shown(run, path), shown(run, cel.written), what});
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

// Each picture read and its colours counted, one palette chosen for them
// all, then each read again and written as an 8-bit cel on it, so that no
// more than one picture is held at a time. A picture that cannot be read is
// left out of the palette.
static size_t convertOnSharedPalette(const RunContext& run, const PictureList& list,
                                     const std::function<void(const std::wstring&)>& numbered)
{
    const uint32_t white = 0xFFFFFF;  // colour 0, the playfield's, where the cels are shown on their own
    SharedPalette palette(white);
    std::vector<PictureProblem> problems(list.pictures.size());
    auto readInFullColour = [&](size_t i, DecodedPicture* picture, std::vector<CelNote>* notes) {
        return readPicture(list.pictures[i], picture, &problems[i]) &&
               toFullColour(picture, run.request.transparency, notes, &problems[i]);
    };
    size_t counted = 0;
    for (size_t i = 0; i < list.pictures.size(); ++i) {
        DecodedPicture picture;
        std::vector<CelNote> notes;
        if (!readInFullColour(i, &picture, &notes))
            continue;
        if (!palette.count(picture)) {
            problems[i] = {PICTURE_TOO_MANY_FOR_ONE_PALETTE, (int64_t)SharedPalette::mostPixels()};
            continue;
        }
        ++counted;
    }
    const bool chosen = counted > 0 && palette.choose();
    size_t converted = 0;
    for (size_t i = 0; i < list.pictures.size(); ++i) {
        const std::wstring& path = list.pictures[i];
        DecodedPicture picture;
        std::vector<CelNote> notes;
        CelChoice cel;
        SourcePicture source;
        if (problems[i].code == PICTURE_READ && !chosen)
            problems[i] = {PICTURE_TOO_MANY_FOR_ONE_PALETTE, (int64_t)SharedPalette::mostPixels()};
        if (problems[i].code == PICTURE_READ && readInFullColour(i, &picture, &notes) &&
            (!palette.celFor(picture, run.request.dither, &cel) ||
             !makeSourcePicture(cel, picture.width, picture.height, &source)))
            problems[i] = {PICTURE_NO_MEMORY};
        if (problems[i].code != PICTURE_READ) {
            numbered(text(MSG_LINE_NOT_CONVERTED, {shown(run, path), inWords(problems[i])}));
            continue;
        }
        const std::wstring destination = celDestination(run, path);
        const CelOutcome outcome = exportCel(run.plugin, source, destination, run.pictures, NULL, 0);
        closeSourcePicture(&source);
        if (outcome.status != EXPORT_OK) {
            numbered(text(MSG_LINE_NOT_WRITTEN, {shown(run, path), shown(run, outcome.written), inWords(outcome.problem)}));
            continue;
        }
        notes.insert(notes.end(), cel.notes.begin(), cel.notes.end());
        std::wstring what = text(MSG_CEL_ON_SHARED_PALETTE, {number(picture.width), number(picture.height)});
        if (!notes.empty())
            what = text(MSG_LINE_NOTE, {what, inWords(notes)});
        numbered(text(MSG_LINE_CONVERTED, {shown(run, path), shown(run, outcome.written), what}));
        ++converted;
    }
    if (!chosen)
        return converted;
    // A bare name goes with the cels.
    const std::wstring& name = run.request.sharedPalette;
    const std::wstring where = !folderPart(name).empty() ? name
                               : !run.request.toFolder.empty() ? inFolder(run.request.toFolder, name)
                                                               : besideFile(list.pictures.front(), name);
    // A palette she may have tuned since the last run is kept, not lost.
    const std::string file = paletteFile({palette.colours()});
    const Placing placing = placeKeepingOld((const uint8_t*)file.data(), file.size(), where, run.pictures);
    std::wstring line = sharedPaletteLine(where, palette.partColours(), palette.visibleColours(), palette.exact(),
                                          placing.problem);
    if (placing.placed == PLACED_OLD_KEPT)
        line = text(MSG_PALETTE_KEPT, {line, shown(run, placing.kept)});
    say(line);
    return placing.placed != PLACED_NOT ? converted : 0;
}

int convertPictures(const Plugin& plugin, const ConvertRequest& request)
{
    if (!request.toFolder.empty() && !makeFolder(request.toFolder))
        return 1;
    const PictureList list = listPictures(request.pictures);
    RunContext run = {plugin, request, paletteModeOn(), {}, identityString(plugin, PLUGIN_CEL_EXTENSION), NULL, 0, L""};
    for (const std::wstring& picture : list.pictures)
        run.pictures.push_back(identifyFile(picture.c_str()));
    run.shownFrom = commonFullFolder(request, list);
    if (!run.shownFrom.empty())
        say(text(MSG_IN_FOLDER, {run.shownFrom}));

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
                      stopAt >= 0 ? reportProgress : NULL, stopAt, L""};
    std::wstring line;
    const bool converted = convert(run, picture, destination, &line);
    say(L"[1/1] " + line);
    sayHowItWent(converted ? 1 : 0, 1, PictureList());
    return converted ? 0 : 1;
}
