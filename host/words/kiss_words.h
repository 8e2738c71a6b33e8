// Finished dolls in the doll maker's words: what the check finds and what a
// viewer does with it, why an LZH archive could not be made or read, why a
// set's folder was not packed and why a PNG was not made. The codes come
// from host/kiss_files, host/lzh and the writers, which know no language.
#ifndef PORVANE_KISS_WORDS_H
#define PORVANE_KISS_WORDS_H

#include <string>
#include <vector>

#include "../handover/archive_output.h"
#include "../handover/png_writer.h"
#include "../kiss_files/kiss_problems.h"
#include "../lzh/lzh_reader.h"

// Shift_JIS, as configurations and archives name files, for the doll maker's eyes.
std::wstring kissText(const std::string& shiftJis);

// What is wrong and what a viewer does with it, with the numbers the
// problem carries.
std::wstring inWords(KissProblem problem, const int64_t numbers[3]);
inline std::wstring inWords(const KissFileProblem& problem)
{
    const int64_t numbers[3] = {problem.number[0], problem.number[1], 0};
    return inWords(problem.problem, numbers);
}

// One line of the check: "doll.cnf, line 4 (hat.cel): ...", the finding's
// file named when it is not the configuration `configuration`.
std::wstring findingLine(const std::string& configuration, const KissFinding& finding);

// Why an archive could not be written (`name`: the file concerned) or read
// (`name`: the entry; `detail`: its method or size where the problem names it).
std::wstring inWords(LzhProblem problem, const std::wstring& name, const std::wstring& detail = L"");

// What went wrong in reading an archive: each entry that could not be
// read, then where reading stopped early; empty when all is well.
std::vector<std::wstring> archiveProblems(const LzhArchive& archive);

std::wstring inWords(const PackProblem& problem);
std::wstring inWords(PngProblem problem);

#endif
