#include "source_picture.h"
#include "file_access.h"

#include <string.h>

#include "../cel/cel_format.h"

static std::string whyNotOpened(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "there is no such file";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "it is in use by another program";
    case ERROR_ACCESS_DENIED:
        return "it cannot be opened (a folder, or no permission to read it)";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "not enough memory to read it";
    default:
        return "it cannot be read (Windows error " + std::to_string(error) + ")";
    }
}

// The same limits the plug-in has.
int fitsKissCel(const BmpLayout& layout, std::string* reason)
{
    if (layout.width > CEL_MAX_DIMENSION || layout.rows > CEL_MAX_DIMENSION) {
        *reason = "too large for a KiSS cel (at most 65,535 pixels a side)";
        return 0;
    }
    if ((int64_t)celRowBytes(layout.depth, layout.width) * layout.rows > CEL_MAX_BLOCK_BYTES) {
        *reason = "too large for a KiSS cel (its pixels would take more than 2 GB)";
        return 0;
    }
    return 1;
}

int openSourcePicture(const std::string& path, SourcePicture* picture, std::string* reason)
{
    memset(picture, 0, sizeof *picture);
    FileBytes file;
    if (!readWholeFile(path.c_str(), &file)) {
        *reason = whyNotOpened(GetLastError());
        return 0;
    }
    int ready = readBmpLayout(file.data, file.size, &picture->layout, reason) && fitsKissCel(picture->layout, reason) &&
                makePictureHandover(file.data, file.size, picture->layout, &picture->handover, reason);
    if (ready)
        memcpy(picture->colourTable, file.data + picture->layout.colourTable, 4 * picture->layout.colours);
    freeFileBytes(&file);
    return ready;
}

void closeSourcePicture(SourcePicture* picture)
{
    freePictureHandover(&picture->handover);
}

bool isIndexed(const BmpLayout& layout)
{
    return layout.depth <= 8;
}

std::string describePicture(const BmpLayout& layout)
{
    std::string words = std::to_string(layout.width) + " x " + std::to_string(layout.rows);
    if (layout.height < 0)
        words += ", top row first";
    const std::string bits = std::to_string(layout.fileDepth) + (layout.fileDepth == 1 ? " bit" : " bits");
    switch (layout.conversion) {
    case BMP_AS_STORED: return words + ", " + bits;
    case BMP_RUN_LENGTH: return words + ", " + bits + ", run-length compressed";
    case BMP_16_TO_24: return words + ", " + bits + " turned into 24 bits";
    case BMP_BIT_FIELDS_32: return words + ", " + bits + " with colour masks, rearranged";
    }
    return words;
}
