#include "dropped_command.h"

#include <algorithm>

#include "../pictures/layered_document.h"
#include "../pictures/picture_list.h"
#include "../pictures/read_picture.h"
#include "../system/console_text.h"
#include "../system/path_names.h"
#include "../words/messages.h"
#include "doll_command.h"
#include "export_command.h"

enum { LAYERS_WITH_TRANSPARENCY = 2 };  // a drawing's layers show through each other

std::wstring setFolderBeside(const std::wstring& drawing)
{
    const std::wstring path = withoutEndSeparators(drawing);
    const std::wstring name = isLayeredDocumentName(path) ? nameWithoutExtension(path) : fileName(path);  // a folder's dot stays
    return besideFile(path, name + L"-kiss");
}

static bool isFolder(const std::wstring& name)
{
    const DWORD attributes = GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool hasTransparency(const DecodedPicture& picture)
{
    if (picture.indexBits != 0)
        return picture.saysTransparency &&
               std::any_of(picture.colours.begin(), picture.colours.end(), [](uint32_t c) { return alphaOf(c) != 255; });
    return std::any_of(picture.pixels.begin(), picture.pixels.end(), [](uint32_t p) { return alphaOf(p) != 255; });
}

// Whether the pictures of `folder` are layers of one drawing.
static bool holdsLayers(const std::wstring& folder)
{
    const PictureList list = listPictures({folder});
    if (list.pictures.size() < LAYERS_WITH_TRANSPARENCY)
        return false;
    int32_t width = -1, height = -1;
    size_t transparent = 0;
    for (const std::wstring& file : list.pictures) {
        DecodedPicture picture;
        PictureProblem problem;
        if (isLayeredDocumentName(file) || !readPicture(file, &picture, &problem))
            return false;
        if (width >= 0 && (picture.width != width || picture.height != height))
            return false;
        width = picture.width, height = picture.height;
        transparent += hasTransparency(picture) ? 1 : 0;
    }
    return transparent >= LAYERS_WITH_TRANSPARENCY;
}

int convertDropped(const Plugin& plugin, const std::vector<std::wstring>& dropped)
{
    int status = 0;
    ConvertRequest pictures;
    pictures.palettes = true;
    for (const std::wstring& name : dropped) {
        const bool drawing = (isFolder(name) && holdsLayers(name)) || isLayeredDocumentName(name);
        if (!drawing) {
            pictures.pictures.push_back(name);
            continue;
        }
        DollRequest doll;
        doll.layers = {name};
        doll.toFolder = setFolderBeside(name);
        say(text(MSG_DROPPED_DRAWING, {name, doll.toFolder}));
        status = std::max(status, makeDoll(plugin, doll));
    }
    if (!pictures.pictures.empty())
        status = std::max(status, convertPictures(plugin, pictures));
    return status;
}
