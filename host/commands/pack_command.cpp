#include "pack_command.h"

#include "../system/console_text.h"
#include "../words/kiss_words.h"
#include "../words/messages.h"

std::wstring packLine(const std::wstring& folder, const std::wstring& archive, const PackProblem& problem,
                      const PackedFolder& packed)
{
    if (problem.code != PACK_DONE)
        return text(MSG_NOT_WRITTEN, {archive, inWords(problem)});
    const std::wstring bytes = groupedNumber((long long)packed.bytes);
    const std::wstring archiveBytes = groupedNumber((long long)packed.archiveBytes);
    std::wstring line = packed.files.size() == 1
                            ? text(MSG_PACKED_ONE, {archive, folder, bytes, archiveBytes})
                            : text(MSG_PACKED_MANY, {archive, number((long long)packed.files.size()), folder, bytes,
                                                     archiveBytes});
    if (!packed.foldersLeftOut.empty()) {
        std::wstring folders;
        for (const std::wstring& name : packed.foldersLeftOut)
            folders = folders.empty() ? name : text(MSG_LIST_JOINED, {folders, name});
        line = text(MSG_PACKED_FOLDERS_LEFT_OUT, {line, folders});
    }
    return line;
}

int packCommand(const PackRequest& request)
{
    PackedFolder packed;
    const PackProblem problem = packFolder(request.folder, request.archive, &packed);
    const std::wstring line = packLine(request.folder, request.archive, problem, packed);
    if (problem.code != PACK_DONE) {
        complain(line);
        return 1;
    }
    say(line);
    return 0;
}
