#include "preview_command.h"

#include <algorithm>
#include <new>

#include "../handover/png_writer.h"
#include "../kiss_files/kiss_picture.h"
#include "../system/console_text.h"
#include "../words/kiss_words.h"
#include "../words/messages.h"
#include "../words/problem_words.h"
#include "doll_source.h"

int previewCommand(const PreviewRequest& request)
{
    const PngEncoder encoder;
    if (encoder.ready() != PNG_ENCODED) {
        complain(text(MSG_NOT_WRITTEN, {request.picture, inWords(encoder.ready())}));
        return 1;
    }
    Doll doll;
    if (!openDollAndSay(request.doll, &doll))
        return 1;
    const DollConfiguration& file = doll.configurations()[0];
    if (file.read != PICTURE_READ) {
        complain(text(MSG_DOLL_NOT_READ, {file.name, inWords(PictureProblem{file.read})}));
        return 1;
    }
    const KissConfiguration configuration = readConfiguration(file.bytes.data(), file.bytes.size());
    KissPicture picture;
    KissProblem drawn = KISS_NO_SUCH_SET;
    try {
        drawn = drawSet(configuration, request.set, doll.fetcher(), &picture);
    } catch (const std::bad_alloc&) {
        complain(text(MSG_NOT_WRITTEN, {request.picture, text(MSG_NO_MEMORY)}));
        return 1;
    }
    if (drawn != KISS_FINE) {
        const int64_t sets = configuration.sets.empty() ? 1 : std::min<int64_t>(configuration.sets.size(), KISS_SETS);
        const int64_t numbers[3] = {drawn == KISS_NO_SUCH_SET ? request.set : configuration.width,
                                    drawn == KISS_NO_SUCH_SET ? sets : configuration.height, 0};
        complain(text(MSG_FILE_SAYS, {file.name, inWords(drawn, numbers)}));
        return 1;
    }
    const PngSaved saved = savePng(encoder, picture.rgba.data(), picture.width, picture.height, request.picture,
                                   doll.ownFiles());
    if (saved.encoding != PNG_ENCODED || saved.written.code != WRITE_DONE) {
        complain(text(MSG_NOT_WRITTEN, {request.picture, saved.encoding != PNG_ENCODED ? inWords(saved.encoding)
                                                                                        : inWords(saved.written)}));
        return 1;
    }
    say(text(MSG_PREVIEW_WRITTEN, {request.picture, number(request.set), file.name, number(picture.width),
                                   number(picture.height)}));
    return 0;
}
