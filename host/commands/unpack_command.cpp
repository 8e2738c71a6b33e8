#include "unpack_command.h"

#include <algorithm>
#include <new>
#include <set>

#include "../handover/keeping_writer.h"
#include "../handover/png_writer.h"
#include "../kiss_files/kiss_cel.h"
#include "../kiss_files/kiss_palette.h"
#include "../kiss_files/kiss_picture.h"
#include "../system/console_text.h"
#include "../system/file_access.h"
#include "../system/path_names.h"
#include "../words/kiss_words.h"
#include "../words/messages.h"
#include "../words/problem_words.h"
#include "doll_source.h"
#include "export_command.h"

namespace {

const wchar_t PNG_EXTENSION[] = L".png";

// A cel to unpack: its name as the first line naming it writes it, and the
// palette that line gives it (empty: none listed).
struct CelToUnpack {
    std::string name;
    std::string palette;
};

// The cels the configurations name, each file once, in the order listed.
std::vector<CelToUnpack> celsOf(const Doll& doll)
{
    std::vector<CelToUnpack> cels;
    std::set<std::string> seen;
    for (const DollConfiguration& file : doll.configurations()) {
        if (file.read != PICTURE_READ)
            continue;
        const KissConfiguration configuration = readConfiguration(file.bytes.data(), file.bytes.size());
        for (const KissCelLine& line : configuration.cels) {
            const std::string found = doll.foundName(line.name);
            if (!seen.insert(found.empty() ? line.name : found).second)
                continue;
            const std::vector<KissPaletteLine>& palettes = configuration.palettes;
            const size_t p = line.palette >= 0 && (size_t)line.palette < palettes.size() ? (size_t)line.palette : 0;
            cels.push_back({line.name, p < palettes.size() ? palettes[p].name : std::string()});
        }
    }
    return cels;
}

// The cel's picture, or why there is none.
std::wstring celPictureOf(const Doll& doll, const CelToUnpack& wanted, KissPicture* picture)
{
    const KissFetched file = doll.fetch(wanted.name);
    if (file.status != KISS_FETCHED)
        return text(file.status == KISS_NOT_THERE ? MSG_NO_SUCH_FILE : MSG_CANNOT_READ);
    KissCel cel;
    const KissFileProblem read = readCel(file.bytes.data(), file.bytes.size(), &cel);
    if (read.problem != KISS_FINE)
        return inWords(read);
    KissPalette palette;
    bool coloured = false;
    if (cel.depth != 32 && !wanted.palette.empty()) {
        const KissFetched paletteFile = doll.fetch(wanted.palette);
        coloured = paletteFile.status == KISS_FETCHED &&
                   readPalette(paletteFile.bytes.data(), paletteFile.bytes.size(), &palette).problem == KISS_FINE;
    }
    const KissProblem drawn = celPicture(cel, coloured ? &palette : NULL, 0, picture);
    const int64_t size[3] = {cel.width, cel.height, 0};
    return drawn == KISS_FINE ? L"" : inWords(drawn, size);
}

}  // namespace

int unpackCommand(const UnpackRequest& request)
{
    const PngEncoder encoder;
    if (encoder.ready() != PNG_ENCODED) {
        complain(text(MSG_NOT_WRITTEN, {request.toFolder, inWords(encoder.ready())}));
        return 1;
    }
    Doll doll;
    if (!openDollAndSay(request.doll, &doll) || !makeFolder(request.toFolder))
        return 1;
    const std::vector<CelToUnpack> cels = celsOf(doll);
    size_t made = 0;
    for (size_t i = 0; i < cels.size(); ++i) {
        const std::wstring counter = L"[" + number((long long)i + 1) + L"/" + number((long long)cels.size()) + L"] ";
        const std::string found = doll.foundName(cels[i].name);
        const std::wstring name = kissText(found.empty() ? cels[i].name : found);
        const std::wstring path = inFolder(request.toFolder, nameWithoutExtension(name) + PNG_EXTENSION);
        std::wstring line;
        try {
            KissPicture picture;
            std::vector<uint8_t> png;
            std::wstring why = celPictureOf(doll, cels[i], &picture);
            const PngProblem encoded =
                why.empty() ? encoder.encode(picture.rgba.data(), picture.width, picture.height, &png) : PNG_ENCODED;
            if (encoded != PNG_ENCODED)
                why = inWords(encoded);
            if (!why.empty()) {
                say(counter + text(MSG_NOT_UNPACKED, {name, why}));
                continue;
            }
            const Placing placing = placeKeepingOld(png.data(), png.size(), path, doll.ownFiles());
            const WriteProblem& problem = placing.problem;
            switch (placing.placed) {
            case PLACED_NEW:
                line = text(MSG_UNPACKED, {name, path, number(picture.width), number(picture.height)});
                break;
            case PLACED_OLD_KEPT:
                line = text(MSG_UNPACKED_OLD_KEPT,
                            {text(MSG_UNPACKED, {name, path, number(picture.width), number(picture.height)}),
                             placing.kept});
                break;
            case PLACED_ALREADY_THERE: line = text(MSG_UNPACKED_ALREADY_THERE, {name, path}); break;
            case PLACED_NOT: line = text(MSG_LINE_NOT_WRITTEN, {name, path, inWords(problem)}); break;
            }
            made += problem.code == WRITE_DONE ? 1 : 0;
        } catch (const std::bad_alloc&) {
            line = text(MSG_NOT_UNPACKED, {name, text(MSG_NO_MEMORY)});
        }
        say(counter + line);
    }
    if (cels.empty())
        say(text(MSG_SUMMARY_END, {text(MSG_UNPACKED_NO_CELS)}));
    else if (made == cels.size())
        say(text(MSG_SUMMARY_END, {made == 1 ? text(MSG_UNPACKED_CELS_ONE)
                                             : text(MSG_UNPACKED_CELS_MANY, {number((long long)made)})}));
    else
        say(text(MSG_SUMMARY_END, {text(MSG_UNPACKED_CELS_SOME, {number((long long)made), number((long long)cels.size()),
                                                                 number((long long)(cels.size() - made))})}));
    return made == cels.size() && !cels.empty() ? 0 : 1;
}
