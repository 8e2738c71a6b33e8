#include "kiss_words.h"

#include "../../cel/cel_format.h"
#include "../kiss_files/kiss_configuration.h"
#include "../kiss_files/kiss_names.h"
#include "../lzh/lzh_format.h"
#include "../lzh/lzh_writer.h"
#include "../system/code_pages.h"
#include "messages.h"
#include "problem_words.h"

namespace {

// The gigabytes a size limit of the archive format comes to (2 for 2 GiB - 1).
std::wstring gigabytes(uint64_t largest)
{
    return number((long long)((largest + 1) >> 30));
}

}  // namespace

std::wstring kissText(const std::string& shiftJis)
{
    return decodeText(shiftJis.c_str(), CP_SHIFT_JIS);
}

std::wstring inWords(KissProblem problem, const int64_t numbers[3])
{
    const std::wstring first = number(numbers[0]), second = number(numbers[1]), third = number(numbers[2]);
    switch (problem) {
    case KISS_FINE: return L"";
    case KISS_FILE_MISSING: return text(MSG_KISS_FILE_MISSING);
    case KISS_FILE_UNREADABLE: return text(MSG_KISS_FILE_UNREADABLE);
    case KISS_FILE_TRUNCATED: return text(MSG_KISS_FILE_TRUNCATED, {groupedNumber(numbers[0]), groupedNumber(numbers[1])});
    case KISS_CEL_IS_NOT_A_CEL: return text(MSG_KISS_CEL_IS_NOT_A_CEL);
    case KISS_CEL_UNKNOWN_DEPTH: return text(MSG_KISS_CEL_UNKNOWN_DEPTH, {first});
    case KISS_CEL_EMPTY: return text(MSG_KISS_CEL_EMPTY, {first, second});
    case KISS_PALETTE_IS_NOT_A_PALETTE: return text(MSG_KISS_PALETTE_IS_NOT_A_PALETTE);
    case KISS_PALETTE_UNKNOWN_DEPTH: return text(MSG_KISS_PALETTE_UNKNOWN_DEPTH, {first});
    case KISS_PALETTE_NO_COLOURS: return text(MSG_KISS_PALETTE_NO_COLOURS);
    case KISS_LINE_TOO_LONG: return text(MSG_KISS_LINE_TOO_LONG, {first, number((long long)KISS_LONGEST_LINE)});
    case KISS_PLAYFIELD_UNREADABLE: return text(MSG_KISS_PLAYFIELD_UNREADABLE);
    case KISS_BORDER_UNREADABLE: return text(MSG_KISS_BORDER_UNREADABLE, {number(KISS_PALETTE_COLOURS - 1)});
    case KISS_CEL_LINE_UNREADABLE: return text(MSG_KISS_CEL_LINE_UNREADABLE);
    case KISS_OBJECT_NUMBER_TOO_LARGE: return text(MSG_KISS_OBJECT_NUMBER_TOO_LARGE, {first, second});
    case KISS_FIX_TOO_LARGE: return text(MSG_KISS_FIX_TOO_LARGE, {first, second});
    case KISS_SET_OUT_OF_RANGE: return text(MSG_KISS_SET_OUT_OF_RANGE, {first, number(KISS_SETS - 1)});
    case KISS_NO_SETS_AFTER_COLON: return text(MSG_KISS_NO_SETS_AFTER_COLON);
    case KISS_SET_LINE_UNREADABLE:
        return numbers[0] == 0 ? text(MSG_KISS_SET_LINE_GROUP_UNREADABLE)
                               : text(MSG_KISS_SET_LINE_POSITION_UNREADABLE, {first});
    case KISS_TOO_MANY_SETS: return text(MSG_KISS_TOO_MANY_SETS, {first, second});
    case KISS_FKISS_SYNTAX: return text(MSG_KISS_FKISS_SYNTAX, {first});
    case KISS_FKISS_UNKNOWN_COMMAND: return text(MSG_KISS_FKISS_UNKNOWN_COMMAND, {first});
    case KISS_FKISS_NOT_LOWERCASE: return text(MSG_KISS_FKISS_NOT_LOWERCASE, {first});
    case KISS_FKISS_BEFORE_EVENT_HANDLER: return text(MSG_KISS_FKISS_BEFORE_EVENT_HANDLER);
    case KISS_CEL_AFTER_EVENT_HANDLER: return text(MSG_KISS_CEL_AFTER_EVENT_HANDLER);
    case KISS_NAME_NOT_ASCII: return text(MSG_KISS_NAME_NOT_ASCII, {first});
    case KISS_NAME_CHARACTER: return text(MSG_KISS_NAME_CHARACTER, {first});
    case KISS_NAME_NOT_8_3:
        return text(MSG_KISS_NAME_NOT_8_3, {first, second, number((long long)KISS_NAME_BASE_CHARACTERS),
                                            number((long long)KISS_NAME_EXTENSION_CHARACTERS)});
    case KISS_NAME_CASE_DIFFERS: return text(MSG_KISS_NAME_CASE_DIFFERS);
    case KISS_NO_CELS: return text(MSG_KISS_NO_CELS);
    case KISS_NO_PLAYFIELD: return text(MSG_KISS_NO_PLAYFIELD, {first, second});
    case KISS_PLAYFIELD_TOO_LARGE: return text(MSG_KISS_PLAYFIELD_TOO_LARGE, {first, second});
    case KISS_NO_SUCH_PALETTE: return text(MSG_KISS_NO_SUCH_PALETTE, {first, second});
    case KISS_COLOURS_BEYOND_PALETTE: return text(MSG_KISS_COLOURS_BEYOND_PALETTE, {first, second});
    case KISS_PALETTE_COLOUR_COUNT: return text(MSG_KISS_PALETTE_COLOUR_COUNT, {first});
    case KISS_PALETTE_GROUP_MISSING: return text(MSG_KISS_PALETTE_GROUP_MISSING, {first, second, third});
    case KISS_NO_SET_LINES: return text(MSG_KISS_NO_SET_LINES);
    case KISS_SET_SHORT_OF_POSITIONS: return text(MSG_KISS_SET_SHORT_OF_POSITIONS, {first, second, third});
    case KISS_OBJECT_NOT_PLACED: return text(MSG_KISS_OBJECT_NOT_PLACED, {first, second});
    case KISS_OBJECT_POSITIONED_NOT_DEFINED: return text(MSG_KISS_OBJECT_POSITIONED_NOT_DEFINED, {first, second});
    case KISS_CEL_LARGER_THAN_PLAYFIELD: return text(MSG_KISS_CEL_LARGER_THAN_PLAYFIELD, {first, second});
    case KISS_NO_SUCH_SET: return text(MSG_KISS_NO_SUCH_SET, {first, number(numbers[1] - 1)});
    case KISS_PICTURE_TOO_LARGE: return text(MSG_KISS_PICTURE_TOO_LARGE, {first, second});
    case KISS_CEL_NEEDS_PALETTE: return text(MSG_KISS_CEL_NEEDS_PALETTE);
    case KISS_PROBLEM_COUNT: break;
    }
    return text(MSG_KISS_FILE_UNREADABLE);
}

std::wstring findingLine(const std::string& configuration, const KissFinding& finding)
{
    const std::wstring reason = inWords(finding.problem, finding.number), cnf = kissText(configuration);
    if (finding.line == 0)
        return text(MSG_FILE_SAYS, {kissText(finding.file), reason});
    if (finding.file == configuration)
        return text(MSG_KISS_FINDING_AT_LINE, {cnf, number(finding.line), reason});
    return text(MSG_KISS_FINDING_AT_LINE_ABOUT, {cnf, number(finding.line), kissText(finding.file), reason});
}

std::wstring inWords(LzhProblem problem, const std::wstring& name, const std::wstring& detail)
{
    switch (problem) {
    case LZH_OK: return L"";
    case LZH_NAME_EMPTY: return text(MSG_LZH_NAME_EMPTY);
    case LZH_NAME_TOO_LONG: return text(MSG_LZH_NAME_TOO_LONG, {name, number((long long)Lzh::kLevel0MaxNameBytes)});
    case LZH_NAME_NOT_PLAIN: return text(MSG_LZH_NAME_NOT_PLAIN, {name});
    case LZH_NAME_TWICE: return text(MSG_LZH_NAME_TWICE, {name});
    case LZH_TIME_NOT_A_DATE: return text(MSG_LZH_TIME_NOT_A_DATE, {name});
    case LZH_FILE_TOO_LARGE: return text(MSG_LZH_FILE_TOO_LARGE, {name, gigabytes(Lzh::kMaxFileBytes)});
    case LZH_TOO_MANY_FILES: return text(MSG_LZH_TOO_MANY_FILES, {groupedNumber((long long)Lzh::kMaxFiles)});
    case LZH_ARCHIVE_TOO_LARGE: return text(MSG_LZH_ARCHIVE_TOO_LARGE, {gigabytes(Lzh::kMaxArchiveBytes)});
    case LZH_NOT_AN_ARCHIVE: return text(MSG_LZH_NOT_AN_ARCHIVE);
    case LZH_TRUNCATED:
        return name.empty() ? text(MSG_LZH_TRUNCATED) : text(MSG_LZH_TRUNCATED_AFTER, {name});
    case LZH_HEADER_DAMAGED:
        return name.empty() ? text(MSG_LZH_HEADER_DAMAGED) : text(MSG_LZH_HEADER_DAMAGED_AFTER, {name});
    case LZH_HEADER_LEVEL_UNKNOWN: return text(MSG_LZH_HEADER_LEVEL_UNKNOWN);
    case LZH_METHOD_UNSUPPORTED: return text(MSG_LZH_METHOD_UNSUPPORTED, {name, detail});
    case LZH_DATA_DAMAGED: return text(MSG_LZH_DATA_DAMAGED, {name});
    case LZH_CRC_MISMATCH: return text(MSG_LZH_CRC_MISMATCH, {name});
    case LZH_ENTRY_TOO_LARGE: return text(MSG_LZH_ENTRY_TOO_LARGE, {name, detail});
    case LZH_TOTAL_TOO_LARGE: return text(MSG_LZH_TOTAL_TOO_LARGE, {name});
    case LZH_OUT_OF_MEMORY: return text(MSG_LZH_OUT_OF_MEMORY);
    }
    return text(MSG_LZH_HEADER_DAMAGED);
}

std::vector<std::wstring> archiveProblems(const LzhArchive& archive)
{
    std::vector<std::wstring> lines;
    for (const LzhEntry& entry : archive.entries) {
        const std::wstring name = kissText(entry.name);
        if (entry.problem == LZH_METHOD_UNSUPPORTED)
            lines.push_back(inWords(entry.problem, name, kissText(std::string(entry.method, Lzh::kMethodBytes))));
        else if (entry.problem == LZH_ENTRY_TOO_LARGE)
            lines.push_back(inWords(entry.problem, name, groupedNumber((long long)entry.size)));
        else if (entry.problem != LZH_OK)
            lines.push_back(inWords(entry.problem, name));
    }
    if (archive.problem != LZH_OK)
        lines.push_back(inWords(archive.problem, archive.entries.empty() ? L"" : kissText(archive.entries.back().name)));
    return lines;
}

std::wstring inWords(const PackProblem& problem)
{
    switch (problem.code) {
    case PACK_DONE: return L"";
    case PACK_NO_SUCH_FOLDER: return text(MSG_PACK_NO_SUCH_FOLDER, {problem.path});
    case PACK_NOT_A_FOLDER: return text(MSG_PACK_NOT_A_FOLDER, {problem.path});
    case PACK_FOLDER_UNREADABLE:
        return text(MSG_PACK_FOLDER_UNREADABLE, {problem.path, inWords(PictureProblem{problem.read})});
    case PACK_FOLDER_EMPTY: return text(MSG_PACK_FOLDER_EMPTY, {problem.path});
    case PACK_NAME_NOT_SHIFT_JIS: return text(MSG_PACK_NAME_NOT_SHIFT_JIS, {problem.path});
    case PACK_FILE_UNREADABLE:
        return text(MSG_PACK_FILE_UNREADABLE, {problem.path, inWords(PictureProblem{problem.read})});
    case PACK_ARCHIVE_IS_IN_SET: return text(MSG_PACK_ARCHIVE_IS_IN_SET);
    case PACK_LZH: return inWords(problem.lzh, problem.path);
    case PACK_NOT_WRITTEN: return inWords(problem.written);
    }
    return text(MSG_CANNOT_CREATE_THERE);
}

std::wstring inWords(PngProblem problem)
{
    switch (problem) {
    case PNG_ENCODED: return L"";
    case PNG_NO_IMAGING_COMPONENT: return text(MSG_PNG_NO_IMAGING_COMPONENT);
    case PNG_NO_MEMORY: return text(MSG_NO_MEMORY);
    case PNG_NOT_ENCODED: return text(MSG_PNG_NOT_ENCODED);
    }
    return text(MSG_PNG_NOT_ENCODED);
}
