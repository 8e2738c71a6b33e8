#include "problem_words.h"
#include "messages.h"

#include "../../cel/cel_format.h"
#include "../handover/kiss_output.h"
#include "../pictures/psd_format.h"

// A document's colour mode, as the document's program names it.
static std::wstring colourModeName(int64_t mode)
{
    switch (mode) {
    case PSD_MODE_BITMAP: return text(MSG_PSD_MODE_BITMAP);
    case PSD_MODE_INDEXED: return text(MSG_PSD_MODE_INDEXED);
    case PSD_MODE_CMYK: return text(MSG_PSD_MODE_CMYK);
    case PSD_MODE_MULTICHANNEL: return text(MSG_PSD_MODE_MULTICHANNEL);
    case PSD_MODE_DUOTONE: return text(MSG_PSD_MODE_DUOTONE);
    case PSD_MODE_LAB: return text(MSG_PSD_MODE_LAB);
    default: return text(MSG_PSD_MODE_OTHER);
    }
}

std::wstring inWords(const PictureProblem& problem)
{
    const std::wstring first = number(problem.number);
    switch (problem.code) {
    case PICTURE_READ: return L"";
    case PICTURE_NO_SUCH_FILE: return text(MSG_NO_SUCH_FILE);
    case PICTURE_IN_USE: return text(MSG_IN_USE);
    case PICTURE_NO_PERMISSION: return text(MSG_CANNOT_OPEN);
    case PICTURE_NO_MEMORY_TO_READ: return text(MSG_NO_MEMORY_TO_READ);
    case PICTURE_CANNOT_READ: return text(MSG_CANNOT_READ);
    case PICTURE_NOT_A_PICTURE: return text(MSG_NOT_A_PICTURE);
    case PICTURE_DAMAGED_START: return text(MSG_DAMAGED_PICTURE);
    case PICTURE_TOO_LARGE_SIDE: return text(MSG_TOO_LARGE_SIDE, {groupedNumber(CEL_MAX_DIMENSION)});
    case PICTURE_TOO_LARGE_BLOCK:
        return text(MSG_TOO_LARGE_BLOCK, {number((CEL_MAX_BLOCK_BYTES + 1) >> 30)});
    case PICTURE_NO_MEMORY: return text(MSG_NO_MEMORY);
    case PICTURE_TOO_MANY_FOR_ONE_PALETTE: return text(MSG_SHARED_PALETTE_TOO_MANY_PIXELS, {groupedNumber(problem.number)});
    case PICTURE_NO_IMAGING_COMPONENT: return text(MSG_NO_IMAGING_COMPONENT);
    case PICTURE_UNREADABLE: return text(MSG_PICTURE_UNREADABLE);
    case PICTURE_DAMAGED: return text(MSG_PICTURE_DAMAGED);
    case PNG_ENDS_EARLY: return text(MSG_PNG_ENDS_EARLY);
    case PNG_CHECKSUM: return text(MSG_PNG_CHECKSUM);
    case BMP_NOT_BMP: return text(MSG_BMP_NOT_BMP);
    case BMP_TOO_SHORT: return text(MSG_BMP_TOO_SHORT);
    case BMP_SHORT_HEADER: return text(MSG_BMP_SHORT_HEADER);
    case BMP_OS2_2: return text(MSG_BMP_OS2_2);
    case BMP_UNKNOWN_HEADER: return text(MSG_BMP_UNKNOWN_HEADER, {first});
    case BMP_DEPTH: return text(MSG_BMP_DEPTH, {first});
    case BMP_RUN_LENGTH_DEPTH: return text(MSG_BMP_RUN_LENGTH_DEPTH, {first});
    case BMP_MASKS_DEPTH: return text(MSG_BMP_MASKS_DEPTH, {first});
    case BMP_HOLDS_PNG_OR_JPEG: return text(MSG_BMP_HOLDS_PNG_OR_JPEG);
    case BMP_COMPRESSION: return text(MSG_BMP_COMPRESSION, {first});
    case BMP_NEGATIVE_WIDTH: return text(MSG_BMP_NEGATIVE_WIDTH);
    case BMP_TOP_DOWN_RUN_LENGTH: return text(MSG_BMP_TOP_DOWN_RUN_LENGTH);
    case BMP_SHORT_MASKS: return text(MSG_BMP_SHORT_MASKS);
    case BMP_PIXELS_IN_HEADER: return text(MSG_BMP_PIXELS_IN_HEADER);
    case BMP_SHORT_PIXELS: return text(MSG_BMP_SHORT_PIXELS);
    case BMP_RUN_LENGTH_ENDS: return text(MSG_BMP_RUN_LENGTH_ENDS);
    case LAYERED_LARGE_DOCUMENT: return text(MSG_LAYERED_LARGE_DOCUMENT);
    case LAYERED_UNKNOWN_VERSION: return text(MSG_LAYERED_UNKNOWN_VERSION, {first});
    case LAYERED_COLOUR_MODE: return text(MSG_LAYERED_COLOUR_MODE, {colourModeName(problem.number)});
    case LAYERED_DEPTH: return text(MSG_LAYERED_DEPTH, {first});
    case LAYERED_CANVAS_TOO_LARGE: return text(MSG_LAYERED_CANVAS_TOO_LARGE, {groupedNumber(problem.number),
                                                                             groupedNumber(PSD_MAX_SIDE)});
    case LAYERED_TRUNCATED: return text(MSG_LAYERED_TRUNCATED);
    case LAYERED_DAMAGED: return text(MSG_LAYERED_DAMAGED);
    case LAYERED_COMPRESSION: return text(MSG_LAYERED_COMPRESSION, {first});
    case LAYERED_GROUPS_TOO_DEEP: return text(MSG_LAYERED_GROUPS_TOO_DEEP, {first});
    case LAYERED_NO_MERGED_PICTURE: return text(MSG_LAYERED_NO_MERGED_PICTURE);
    case TRANSPARENT_NO_TABLE: return text(MSG_TRANSPARENT_NO_TABLE, {first});
    case TRANSPARENT_NO_ENTRY: return text(MSG_TRANSPARENT_NO_ENTRY, {first, number(problem.second)});
    }
    return text(MSG_CANNOT_READ);
}

std::wstring inWords(const WriteProblem& problem)
{
    switch (problem.code) {
    case WRITE_DONE: return L"";
    case WRITE_FOLDER_MISSING: return text(MSG_FOLDER_MISSING, {problem.path});
    case WRITE_FOLDER_IS_FILE: return text(MSG_FOLDER_IS_FILE, {problem.path});
    case WRITE_NAME_IS_FOLDER: return text(MSG_NAME_IS_FOLDER);
    case WRITE_READ_ONLY: return text(MSG_READ_ONLY);
    case WRITE_HELD_BY_ANOTHER: return text(MSG_HELD_BY_ANOTHER);
    case WRITE_NO_PERMISSION: return text(MSG_NO_PERMISSION_TO_WRITE);
    case WRITE_DISK_FULL: return text(MSG_DISK_FULL);
    case WRITE_DISK_READ_ONLY: return text(MSG_DISK_READ_ONLY);
    case WRITE_NAME_TOO_LONG: return text(MSG_NAME_TOO_LONG, {number((long long)MAX_NAME_CHARACTERS)});
    case WRITE_NAME_NOT_ALLOWED: return text(MSG_NAME_NOT_ALLOWED);
    case WRITE_IS_A_PICTURE: return text(MSG_IS_A_PICTURE);
    case WRITE_STOPPED: return text(MSG_STOPPED);
    case WRITE_NO_MEMORY: return text(MSG_NO_MEMORY);
    case WRITE_PLUGIN_ANSWERED: return text(MSG_PLUGIN_ANSWERED, {number(problem.number)});
    case WRITE_CANNOT_CREATE: return text(MSG_CANNOT_CREATE_THERE);
    case WRITE_CANNOT_REPLACE: return text(MSG_CANNOT_BE_REPLACED);
    }
    return text(MSG_CANNOT_CREATE_THERE);
}
