#include "read_picture.h"
#include "bmp_reader.h"
#include "imaging_reader.h"
#include "layered_document.h"
#include "png_check.h"

#include <string.h>

#include <new>

#include "../../cel/cel_format.h"
#include "../system/file_access.h"
#include "../system/path_names.h"

// ---------------------------------------------------------------------------
// What kind of file it is, by its first bytes.

enum PictureKind { KIND_UNKNOWN, KIND_BMP, KIND_PNG, KIND_GIF, KIND_TIFF, KIND_JPEG, KIND_LAYERED };

static PictureKind kindOf(const uint8_t* file, size_t size)
{
    auto startsWith = [&](const char* bytes, size_t count) { return size >= count && memcmp(file, bytes, count) == 0; };
    if (startsWith("BM", 2))
        return KIND_BMP;
    if (size >= PNG_SIGNATURE_BYTES && memcmp(file, PNG_SIGNATURE, PNG_SIGNATURE_BYTES) == 0)
        return KIND_PNG;
    if (startsWith("GIF87a", 6) || startsWith("GIF89a", 6))
        return KIND_GIF;
    if (startsWith("II*\0", 4) || startsWith("MM\0*", 4))
        return KIND_TIFF;
    if (startsWith("\xFF\xD8\xFF", 3))
        return KIND_JPEG;
    if (isLayeredDocumentStart(file, size))
        return KIND_LAYERED;
    return KIND_UNKNOWN;
}

bool isPictureStart(const uint8_t* bytes, size_t size)
{
    return kindOf(bytes, size) != KIND_UNKNOWN;
}

bool hasPictureExtension(const std::wstring& path)
{
    const std::wstring extension = extensionOf(path);
    for (const wchar_t* known : {L".bmp", L".png", L".gif", L".tif", L".tiff", L".jpg", L".jpeg", L".psd"})
        if (extension == known)
            return true;
    return false;
}

// The limits of a KiSS cel, as the plug-in checks them, asked before the
// pixels are read: a picture of colour indices takes a byte a pixel while it
// is read, any other four.
static int fitsKissCel(int64_t width, int64_t height, bool indexed, PictureProblem* problem)
{
    switch (celFit(indexed ? 8 : 32, width, height)) {
    case CEL_FITS:
        return 1;
    case CEL_OVER_DIMENSION:
        return refuse(problem, PICTURE_TOO_LARGE_SIDE);
    case CEL_OVER_BLOCK:
        return refuse(problem, PICTURE_TOO_LARGE_BLOCK);
    }
    return 0;
}

int decodePicture(const std::wstring& path, const uint8_t* file, size_t size, DecodedPicture* picture,
                  PictureProblem* problem)
{
    switch (kindOf(file, size)) {
    case KIND_BMP: {
        BmpLayout layout;
        return readBmpLayout(file, size, &layout, problem) &&
               fitsKissCel(layout.width, layout.rows, layout.fileDepth <= 8, problem) &&
               decodeBmp(file, size, layout, picture, problem);
    }
    case KIND_PNG: {
        // The size IHDR declares is checked before the imaging component
        // decodes anything.
        PngSize declared;
        return checkPngChunks(file, size, &declared, problem) &&
               fitsKissCel(declared.width, declared.height, declared.indexed, problem) &&
               readWithImagingComponent(file, size, true, fitsKissCel, picture, problem);
    }
    case KIND_GIF:
    case KIND_TIFF:
        return readWithImagingComponent(file, size, true, fitsKissCel, picture, problem);
    case KIND_JPEG:
        picture->lossy = true;
        return readWithImagingComponent(file, size, false, fitsKissCel, picture, problem);
    case KIND_LAYERED:
        return readLayeredDocumentPicture(file, size, picture, problem);
    case KIND_UNKNOWN:
        break;
    }
    return refuse(problem, hasPictureExtension(path) ? PICTURE_DAMAGED_START : PICTURE_NOT_A_PICTURE);
}

PictureProblemCode notOpened(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return PICTURE_NO_SUCH_FILE;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return PICTURE_IN_USE;
    case ERROR_ACCESS_DENIED:
        return PICTURE_NO_PERMISSION;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return PICTURE_NO_MEMORY_TO_READ;
    default:
        return PICTURE_CANNOT_READ;
    }
}

int readPicture(const std::wstring& path, DecodedPicture* picture, PictureProblem* problem)
{
    FileBytes file;
    if (!readWholeFile(path.c_str(), &file))
        return refuse(problem, notOpened(GetLastError()));
    int read = 0;
    try {
        read = decodePicture(path, file.data, file.size, picture, problem);
    } catch (const std::bad_alloc&) {
        *picture = DecodedPicture();
        read = refuse(problem, PICTURE_NO_MEMORY);
    }
    freeFileBytes(&file);
    return read;
}
