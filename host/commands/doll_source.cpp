#include "doll_source.h"

#include <algorithm>
#include <new>

#include "../kiss_files/kiss_names.h"
#include "../pictures/read_picture.h"
#include "../system/code_pages.h"
#include "../system/file_access.h"
#include "../system/folder_entries.h"
#include "../system/console_text.h"
#include "../system/path_names.h"
#include "../words/kiss_words.h"
#include "../words/messages.h"
#include "../words/problem_words.h"

namespace {

const wchar_t CONFIGURATION_EXTENSION[] = L".cnf";

bool isArchiveName(const std::wstring& path)
{
    const std::wstring extension = extensionOf(path);
    return extension == L".lzh" || extension == L".lha";
}

// A configuration's name as the check names it; what Shift_JIS cannot hold
// comes out as '?', which the check then finds no KiSS name.
std::string kissName(const std::wstring& name)
{
    return encodeText(name, CP_SHIFT_JIS);
}

// Reads a whole file from the disk; false with the reason.
bool readBytes(const std::wstring& path, std::vector<uint8_t>* bytes, PictureProblemCode* problem)
{
    FileBytes file;
    if (!readWholeFile(path.c_str(), &file)) {
        *problem = notOpened(GetLastError());
        return false;
    }
    try {
        bytes->assign(file.data, file.data + file.size);
    } catch (const std::bad_alloc&) {
        freeFileBytes(&file);
        *problem = PICTURE_NO_MEMORY_TO_READ;
        return false;
    }
    freeFileBytes(&file);
    return true;
}

DollOpenProblem notRead(PictureProblemCode why)
{
    DollOpenProblem problem;
    problem.code = DOLL_NOT_READ;
    problem.read = why;
    return problem;
}

// The part of an archive's path after its last folder.
std::string withoutFolders(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

DollOpenProblem Doll::open(const std::wstring& given)
{
    *this = Doll();
    given_ = given;
    const DWORD attributes = GetFileAttributesW(given.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return openFolder(given, L"");
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return notRead(notOpened(GetLastError()));
    ownFiles_.push_back(identifyFile(given.c_str()));
    if (isArchiveName(given))
        return openArchive();
    if (extensionOf(given) != CONFIGURATION_EXTENSION)
        return {DOLL_NOT_A_DOLL, PICTURE_READ, LZH_OK};
    const std::wstring folder = folderPart(given);
    return openFolder(folder.empty() ? L"." : folder, fileName(given));
}

// The folder's files; every configuration among them, or only the one named.
DollOpenProblem Doll::openFolder(const std::wstring& folder, const std::wstring& onlyConfiguration)
{
    std::vector<FolderEntry> entries;
    if (!listFolder(folder, &entries))
        return notRead(notOpened(GetLastError()));
    for (const FolderEntry& entry : entries) {
        bool lost = false;
        const std::string name = encodeText(entry.name, CP_SHIFT_JIS, &lost);
        if (lost || (entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        names_.push_back(name);
        paths_.push_back(inFolder(folder, entry.name));
        if (onlyConfiguration.empty() && extensionOf(entry.name) == CONFIGURATION_EXTENSION)
            configurations_.push_back({entry.name, name, PICTURE_READ, {}});
    }
    if (!onlyConfiguration.empty())
        configurations_.push_back({onlyConfiguration, kissName(onlyConfiguration), PICTURE_READ, {}});
    if (configurations_.empty())
        return {DOLL_NO_CONFIGURATION, PICTURE_READ, LZH_OK};
    for (DollConfiguration& configuration : configurations_) {
        const std::wstring path = inFolder(folder, configuration.name);
        if (!readBytes(path, &configuration.bytes, &configuration.read) && !onlyConfiguration.empty())
            return notRead(configuration.read);
        if (onlyConfiguration.empty())
            ownFiles_.push_back(identifyFile(path.c_str()));
    }
    return DollOpenProblem();
}

DollOpenProblem Doll::openArchive()
{
    isArchive_ = true;
    std::vector<uint8_t> bytes;
    PictureProblemCode problem = PICTURE_READ;
    if (!readBytes(given_, &bytes, &problem))
        return notRead(problem);
    const LzhReadLimits limits = {DOLL_LARGEST_ARCHIVE_ENTRY, DOLL_LARGEST_ARCHIVE_TOTAL};
    const LzhProblem read = readLzhArchive(bytes.data(), bytes.size(), limits, &archive_);
    if (archive_.entries.empty() && read != LZH_OK)
        return {DOLL_NOT_AN_ARCHIVE, PICTURE_READ, read};
    for (const LzhEntry& entry : archive_.entries)
        names_.push_back(withoutFolders(entry.name));
    std::vector<size_t> found;
    for (size_t i = 0; i < names_.size(); ++i)
        if (extensionOf(decodeText(names_[i].c_str(), CP_SHIFT_JIS)) == CONFIGURATION_EXTENSION)
            found.push_back(i);
    std::stable_sort(found.begin(), found.end(), [&](size_t a, size_t b) { return names_[a] < names_[b]; });
    for (size_t i : found) {
        const LzhEntry& entry = archive_.entries[i];
        configurations_.push_back({decodeText(names_[i].c_str(), CP_SHIFT_JIS), names_[i],
                                   entry.problem == LZH_OK ? PICTURE_READ : PICTURE_CANNOT_READ, entry.data});
    }
    if (configurations_.empty())
        return {DOLL_NO_CONFIGURATION, PICTURE_READ, LZH_OK};
    return DollOpenProblem();
}

std::string Doll::foundName(const std::string& name) const
{
    const int found = findKissFile(name, names_);
    return found < 0 ? std::string() : names_[(size_t)found];
}

KissFetched Doll::fetch(const std::string& name) const
{
    KissFetched fetched;
    const int found = findKissFile(name, names_);
    if (found < 0)
        return fetched;  // KISS_NOT_THERE
    fetched.name = names_[(size_t)found];
    fetched.status = KISS_NOT_READABLE;
    if (isArchive_) {
        const LzhEntry& entry = archive_.entries[(size_t)found];
        if (entry.problem == LZH_OK) {
            fetched.bytes = entry.data;
            fetched.status = KISS_FETCHED;
        }
        return fetched;
    }
    PictureProblemCode problem;
    if (readBytes(paths_[(size_t)found], &fetched.bytes, &problem))
        fetched.status = KISS_FETCHED;
    return fetched;
}

bool openDollAndSay(const std::wstring& given, Doll* doll, bool* archiveDamaged)
{
    const DollOpenProblem problem = doll->open(given);
    if (archiveDamaged != NULL)
        *archiveDamaged = false;
    switch (problem.code) {
    case DOLL_NOT_READ:
        complain(text(MSG_DOLL_NOT_READ, {given, inWords(PictureProblem{problem.read})}));
        return false;
    case DOLL_NOT_AN_ARCHIVE:  // nothing was read: the archive's problem is the whole story
        complain(text(MSG_DOLL_NOT_READ, {given, inWords(problem.lzh, L"")}));
        return false;
    case DOLL_NOT_A_DOLL:
        complain(text(MSG_DOLL_NOT_A_DOLL, {given}));
        return false;
    case DOLL_OPENED:
    case DOLL_NO_CONFIGURATION:
        break;
    }
    const std::vector<std::wstring> damage = archiveProblems(doll->archive());
    for (const std::wstring& line : damage)
        say(text(MSG_FILE_SAYS, {given, line}));
    if (archiveDamaged != NULL)
        *archiveDamaged = !damage.empty();
    if (problem.code == DOLL_NO_CONFIGURATION) {
        complain(text(MSG_DOLL_NO_CONFIGURATION, {given}));
        return false;
    }
    return true;
}
