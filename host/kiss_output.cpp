#include "kiss_output.h"
#include "failure_words.h"

#include <string.h>

#include "../cel/kiss_file_writer.h"

enum {
    PALETTE_COLOURS = 256,  // a palette file always holds 256 colours, 24 bits each
    HOST_PATH_SLACK = 8,    // the host's path buffer leaves room for the plug-in to add ".kcf"
};

static bool isProtected(const std::string& path, const ProtectedFiles& protectedFiles)
{
    const FileIdentity identity = identifyFile(path.c_str());
    for (const FileIdentity& file : protectedFiles)
        if (sameFile(identity, file))
            return true;
    return false;
}

CelOutcome exportCel(const Plugin& plugin, const SourcePicture& picture, const std::string& destination,
                     const ProtectedFiles& protectedFiles, ProgressCallback progress, LONG userValue)
{
    CelOutcome outcome = {false, EXPORT_WRITE_ERROR, destination, ""};
    if (isProtected(destination, protectedFiles)) {
        outcome.failure = "it is one of the pictures being converted";
        return outcome;
    }
    if (destination.size() >= MAX_PATH) {
        outcome.failure = "the name is too long (at most 259 characters)";
        return outcome;
    }
    char path[MAX_PATH + HOST_PATH_SLACK] = "";
    destination.copy(path, destination.size());
    PictureHandover handover = picture.handover;  // the plug-in takes the handles by address
    outcome.handedOver = true;
    outcome.status = plugin.createPicture(path, 0, &handover.header, &handover.bits, &handover.info, progress,
                                          userValue);
    outcome.written = path;
    if (outcome.status != EXPORT_OK)
        outcome.failure = exportStatusInWords(outcome.status, outcome.written);
    return outcome;
}

int writePalette(const SourcePicture& picture, const std::string& path, const ProtectedFiles& protectedFiles,
                 std::string* failure)
{
    if (isProtected(path, protectedFiles)) {
        *failure = "it is one of the pictures being converted";
        return 0;
    }
    uint8_t colours[3 * PALETTE_COLOURS];
    memset(colours, 0, sizeof colours);
    for (size_t i = 0; i < picture.colours.size() && i < PALETTE_COLOURS; ++i) {  // red, green, blue
        colours[3 * i] = (uint8_t)(picture.colours[i] >> 16);
        colours[3 * i + 1] = (uint8_t)(picture.colours[i] >> 8);
        colours[3 * i + 2] = (uint8_t)picture.colours[i];
    }
    CelHeader header;
    header.mark = CEL_MARK_PALETTE;
    header.depth = 24;
    header.width = PALETTE_COLOURS;
    header.height = 1;
    if (writeKissFile(path.c_str(), header, colours, sizeof colours) != KISS_WRITTEN) {
        *failure = whyNotWritten(path);
        return 0;
    }
    return 1;
}
