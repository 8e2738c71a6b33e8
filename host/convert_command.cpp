#include "convert_command.h"
#include "../cel/cel_format.h"
#include "console_text.h"
#include "file_access.h"
#include "kiss_palette.h"
#include "path_names.h"
#include "source_picture.h"
#include "write_failure.h"

std::string exportStatusInWords(LONG status, const std::string& destination)
{
    switch (status) {
    case EXPORT_OK: return "written";
    case EXPORT_ABORTED: return "stopped by the progress callback";
    case EXPORT_NO_MEMORY: return "not enough memory for this picture";
    case EXPORT_WRITE_ERROR: return whyNotWritten(destination);
    default: return "the plug-in answered " + std::to_string(status);
    }
}

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

// Every picture of the run: no destination may be one of them.
static std::vector<FileIdentity> runPictures;

// The cel's extension, as the plug-in names it (its identity string 3).
static char celExtension[16];

static bool isAPicture(const std::string& destination)
{
    const FileIdentity identity = identifyFile(destination.c_str());
    for (const FileIdentity& picture : runPictures)
        if (sameFile(identity, picture))
            return true;
    return false;
}

// The cel through the plug-in; `destination` becomes the name it was
// written under (palette mode may change it).
static bool exportCel(const Plugin& plugin, SourcePicture& picture, std::string* destination, std::string* failure)
{
    if (isAPicture(*destination)) {
        *failure = "it is one of the pictures being converted";
        return false;
    }
    if (destination->size() >= MAX_PATH) {
        *failure = "the name is too long (at most 259 characters)";
        return false;
    }
    char path[MAX_PATH + 8] = "";  // the plug-in may add four characters
    destination->copy(path, destination->size());
    LONG status = plugin.createPicture(path, 0, &picture.handover.header, &picture.handover.bits,
                                       &picture.handover.info, NULL, 0);
    if (status != EXPORT_OK) {
        *failure = exportStatusInWords(status, *destination);
        return false;
    }
    *destination = path;
    return true;
}

static bool writePalette(const SourcePicture& picture, const std::string& palette, std::string* line)
{
    if (!isIndexed(picture.layout)) {
        *line += ", no palette (truecolour picture)";
        return true;
    }
    uint8_t bytes[KISS_PALETTE_BYTES];
    makeKissPalette(picture.colourTable, picture.layout.colours, bytes);
    if (isAPicture(palette)) {
        *line += ", palette " + palette + " not written: it is one of the pictures being converted";
        return false;
    }
    if (!writeWholeFile(palette.c_str(), bytes, sizeof bytes)) {
        *line += ", palette " + palette + " not written: " + whyNotWritten(palette);
        return false;
    }
    *line += ", palette " + palette;
    return true;
}

static bool convert(const Plugin& plugin, const ConvertRequest& request, const std::string& path, std::string* line)
{
    SourcePicture picture;
    std::string reason;
    if (!openSourcePicture(path, &picture, &reason)) {
        *line += ": not converted: " + reason;
        return false;
    }
    const std::string name = nameWithoutExtension(path);
    auto destination = [&](const std::string& extension) {
        return request.toFolder.empty() ? besideFile(path, name + extension)
                                        : inFolder(request.toFolder, name + extension);
    };
    std::string cel = destination(celExtension), failure;
    bool converted = exportCel(plugin, picture, &cel, &failure);
    *line += " -> " + cel;
    if (!converted) {
        *line += ": not written: " + failure;
    } else {
        *line += "  " + describePicture(picture.layout);
        if (request.palettes)
            converted = writePalette(picture, destination(KISS_PALETTE_EXTENSION), line);
    }
    closeSourcePicture(&picture);
    return converted;
}

int convertPictures(const Plugin& plugin, const ConvertRequest& request)
{
    if (!request.toFolder.empty() && !makeFolder(request.toFolder))
        return 1;
    plugin.getPluginInfo(3, celExtension, sizeof celExtension);
    runPictures.clear();
    for (const std::string& picture : request.pictures)
        runPictures.push_back(identifyFile(picture.c_str()));

    const size_t count = request.pictures.size();
    size_t converted = 0;
    for (size_t i = 0; i < count; ++i) {
        std::string line = "[" + std::to_string(i + 1) + "/" + std::to_string(count) + "] " + request.pictures[i];
        if (convert(plugin, request, request.pictures[i], &line))
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
