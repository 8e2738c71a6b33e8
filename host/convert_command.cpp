#include "convert_command.h"
#include "../cel/cel_format.h"
#include "console_text.h"
#include "failure_words.h"
#include "kiss_output.h"
#include "path_names.h"

// The --to folder, made when it is missing.
static bool makeFolder(const std::string& folder)
{
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        complain("%s is a file, not a folder: nothing converted\n", folder.c_str());
        return false;
    }
    if (!CreateDirectoryA(folder.c_str(), NULL)) {
        complain("cannot make the folder %s: %s; nothing converted\n", folder.c_str(), whyNotWritten(folder).c_str());
        return false;
    }
    return true;
}

// What every picture of a run shares.
struct RunContext {
    const Plugin& plugin;
    const ConvertRequest& request;
    ProtectedFiles pictures;  // no destination may be one of them
    char celExtension[16];    // as the plug-in names it (its identity string 3)
};

static bool convert(const RunContext& run, const std::string& path, std::string* line)
{
    SourcePicture picture;
    std::string reason;
    if (!openSourcePicture(path, run.request.transparency, &picture, &reason)) {
        *line += ": not converted: " + reason;
        return false;
    }
    const std::string name = nameWithoutExtension(path);
    auto destination = [&](const std::string& extension) {
        return run.request.toFolder.empty() ? besideFile(path, name + extension)
                                            : inFolder(run.request.toFolder, name + extension);
    };
    const CelOutcome cel = exportCel(run.plugin, picture, destination(run.celExtension), run.pictures, NULL, 0);
    *line += " -> " + cel.written;
    bool converted = cel.status == EXPORT_OK;
    if (!converted) {
        *line += ": not written: " + cel.failure;
    } else {
        *line += "  " + describePicture(picture);
        if (run.request.palettes && isIndexed(picture)) {
            const std::string palette = destination(KISS_PALETTE_EXTENSION);
            std::string failure;
            converted = writePalette(picture, palette, run.pictures, &failure);
            *line += " and palette " + palette + (converted ? "" : " not written: " + failure);
        }
        if (!picture.note.empty())
            *line += " (" + picture.note + ")";
    }
    closeSourcePicture(&picture);
    return converted;
}

int convertPictures(const Plugin& plugin, const ConvertRequest& request)
{
    if (!request.toFolder.empty() && !makeFolder(request.toFolder))
        return 1;
    RunContext run = {plugin, request, {}, ""};
    plugin.getPluginInfo(3, run.celExtension, sizeof run.celExtension);
    for (const std::string& picture : request.pictures)
        run.pictures.push_back(identifyFile(picture.c_str()));

    const size_t count = request.pictures.size();
    size_t converted = 0;
    for (size_t i = 0; i < count; ++i) {
        std::string line = "[" + std::to_string(i + 1) + "/" + std::to_string(count) + "] " + request.pictures[i];
        if (convert(run, request.pictures[i], &line))
            ++converted;
        say("%s\n", line.c_str());
    }
    const char* pictures = count == 1 ? "picture" : "pictures";
    if (converted == count) {
        say("%u %s converted.\n", (unsigned)count, pictures);
        return 0;
    }
    say("%u of %u %s converted; %u failed.\n", (unsigned)converted, (unsigned)count, pictures,
        (unsigned)(count - converted));
    return 1;
}

// The host's progress callback; `stopAt` is the host's user value.
static LONG WINAPI reportProgress(LONG numerator, LONG denominator, LONG stopAt)
{
    say("  progress %ld/%ld\n", (long)numerator, (long)denominator);
    return numerator == stopAt ? 1 : 0;
}

int exportAsHost(const Plugin& plugin, const std::string& picturePath, const std::string& destination,
                 const TransparencyChoice& transparency, LONG stopAt)
{
    SourcePicture picture;
    std::string reason;
    if (!openSourcePicture(picturePath, transparency, &picture, &reason)) {
        complain("%s: %s\n", picturePath.c_str(), reason.c_str());
        return 2;
    }
    const ProtectedFiles pictures = {identifyFile(picturePath.c_str())};
    say("%s: %s%s\n", picturePath.c_str(), describePicture(picture).c_str(),
        picture.note.empty() ? "" : (" (" + picture.note + ")").c_str());
    const CelOutcome cel = exportCel(plugin, picture, destination, pictures, reportProgress, stopAt);
    closeSourcePicture(&picture);
    if (!cel.handedOver) {
        complain("%s: not written: %s\n", destination.c_str(), cel.failure.c_str());
        return 2;
    }
    if (cel.status == EXPORT_OK)
        say("  written (0): %s\n", cel.written.c_str());
    else
        say("  not written (%ld): %s: %s\n", (long)cel.status, cel.written.c_str(), cel.failure.c_str());
    return cel.status == EXPORT_OK ? 0 : 1;
}
