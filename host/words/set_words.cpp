#include "set_words.h"

#include "../system/path_names.h"
#include "messages.h"
#include "problem_words.h"

std::wstring inWords(const SetWriteProblem& problem, const std::wstring& folder)
{
    const std::wstring& path = problem.write.path;
    const std::wstring why = inWords(problem.write);
    switch (problem.step) {
    case SET_WRITTEN: return L"";
    case SET_LEFTOVERS_NOT_CLEARED: return text(MSG_SET_LEFTOVERS_NOT_CLEARED, {path, why});
    case SET_LEFTOVER_IN_THE_WAY: return text(MSG_SET_LEFTOVER_IN_THE_WAY, {path});
    case SET_FOLDER_NOT_MADE: return text(MSG_SET_FOLDER_NOT_MADE, {folder, why});
    case SET_FOLDER_NOT_WRITABLE: return text(MSG_SET_FOLDER_NOT_WRITABLE, {folder, why});
    case SET_NAME_TWICE: return text(MSG_SET_NAME_TWICE, {fileName(path)});
    case SET_NAME_NOT_FREE: return text(MSG_SET_NAME_NOT_FREE, {path, why});
    case SET_FILE_NOT_STAGED: return text(MSG_SET_FILE_NOT_SAVED, {path, why});
    case SET_NOT_PUT_IN_PLACE: return text(MSG_SET_NOT_PUT_IN_PLACE, {path, why});
    }
    return text(MSG_SET_NOT_WHOLE, {folder});
}

std::wstring keptLine(const KeptFile& kept)
{
    return text(MSG_SET_KEPT_EDITED, {kept.path, fileName(kept.keptAs)});
}

std::wstring recoveryLine(const Recovery& recovery, const std::wstring& folder)
{
    switch (recovery.found) {
    case NO_LEFTOVERS: return L"";
    case OLD_SET_RESTORED: return text(MSG_SET_OLD_SET_RESTORED, {folder});
    case NEW_SET_FINISHED: return text(MSG_SET_NEW_SET_FINISHED, {folder});
    }
    return L"";
}
