#include "set_writer.h"

#include <string.h>

#include <algorithm>

#include "../../cel/kiss_file_writer.h"
#include "../system/code_pages.h"
#include "../system/file_access.h"
#include "../system/folder_entries.h"
#include "../system/path_names.h"

static const wchar_t STAGING_FOLDER[] = L"porvane-new-set";
static const wchar_t ASIDE_FOLDER[] = L"porvane-old-set";
static const wchar_t JOURNAL_FILE[] = L"journal.txt";  // in the staging folder
static const char JOURNAL_TITLE[] = "porvane-host set journal";
static const char COMMITTING[] = "committing";
static const char COMMITTED[] = "committed";
static const char MADE_LINE[] = "new ";
static const char ASIDE_LINE[] = "old ";
static const char EDITED_LINE[] = "edited ";
static const wchar_t KEPT_SUFFIX[] = L"-edited";
enum {
    KEPT_NAME_TRIES = 1000,  // doll-edited.cnf to doll-edited1000.cnf
};

// The folders of one set, by their full names.
struct SetPlaces {
    std::wstring folder, staging, aside;

    explicit SetPlaces(const std::wstring& setFolder)
        : folder(setFolder), staging(inFolder(setFolder, STAGING_FOLDER)), aside(inFolder(setFolder, ASIDE_FOLDER))
    {
    }
};

// What a commit does, as its journal says it.
struct Journal {
    bool committed = false;
    std::vector<std::wstring> made;   // the new set's files
    std::vector<std::wstring> aside;  // the files moved aside
    std::set<std::wstring> edited;    // those of them to be kept
};

// A name as Windows compares names: ASCII letters without regard to case.
static std::wstring folded(std::wstring name)
{
    for (wchar_t& c : name)
        if (c >= L'A' && c <= L'Z')
            c = (wchar_t)(c + (L'a' - L'A'));
    return name;
}

// ---------------------------------------------------------------------------
// File calls

// What stands at `path`: its attributes, INVALID_FILE_ATTRIBUTES when nothing
// does. False when the system cannot tell; GetLastError() says why.
static bool lookAt(const std::wstring& path, DWORD* attributes)
{
    *attributes = GetFileAttributesW(path.c_str());
    if (*attributes != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

static bool isThere(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES;
}

static bool isFolder(DWORD attributes)
{
    return isThere(attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool isReadOnlyFile(DWORD attributes)
{
    return isThere(attributes) && !isFolder(attributes) && (attributes & FILE_ATTRIBUTE_READONLY);
}

// A scanner or indexer opening a freshly written file holds it for a moment;
// moves and removals ride that out as the plug-in's writer does.
struct FileStep {
    std::wstring path, to;
};

static BOOL moveStep(const void* context)
{
    const FileStep* step = (const FileStep*)context;
    return MoveFileExW(step->path.c_str(), step->to.c_str(), 0);  // never over a file
}

static BOOL deleteStep(const void* context)
{
    return DeleteFileW(((const FileStep*)context)->path.c_str());
}

static DWORD heldAttributes(const void* context)
{
    return GetFileAttributesW(((const FileStep*)context)->path.c_str());
}

static bool moveFile(const std::wstring& from, const std::wstring& to)
{
    const FileStep step = {from, to};
    return retryWhileHeld(moveStep, heldAttributes, &step) != 0;
}

static bool deleteFile(const std::wstring& path)
{
    const FileStep step = {path, L""};
    return retryWhileHeld(deleteStep, heldAttributes, &step) != 0;
}

// The names of the files (not folders) in `folder`; false, with
// GetLastError() saying why, when they cannot all be listed.
static bool filesIn(const std::wstring& folder, std::vector<std::wstring>* names)
{
    std::vector<FolderEntry> entries;
    if (!listFolder(folder, &entries))
        return false;
    for (const FolderEntry& entry : entries)
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY))
            names->push_back(entry.name);
    return true;
}

static SetWriteProblem failed(SetWriteStep step, const std::wstring& path)
{
    return {step, diagnoseWriteFailure(path, GetLastError())};
}

// ---------------------------------------------------------------------------
// The journal

static std::string journalText(const Journal& journal)
{
    std::string text = std::string(JOURNAL_TITLE) + "\n" + (journal.committed ? COMMITTED : COMMITTING) + "\n";
    for (const std::wstring& name : journal.made)
        text += MADE_LINE + encodeText(name, CP_UTF8) + "\n";
    for (const std::wstring& name : journal.aside)
        text += ASIDE_LINE + encodeText(name, CP_UTF8) + "\n";
    for (const std::wstring& name : journal.edited)
        text += EDITED_LINE + encodeText(name, CP_UTF8) + "\n";
    return text;
}

// `line` after `start`, as a name; false when the line does not start so.
static bool nameAfter(const std::string& line, const char* start, std::wstring* name)
{
    const size_t length = strlen(start);
    if (line.size() <= length || line.compare(0, length, start) != 0)
        return false;
    *name = decodeText(line.c_str() + length, CP_UTF8);
    return true;
}

// False when `text` is not a journal the writer wrote.
static bool readJournal(const std::string& text, Journal* journal)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    if (lines.size() < 2 || lines[0] != JOURNAL_TITLE || (lines[1] != COMMITTING && lines[1] != COMMITTED))
        return false;
    journal->committed = lines[1] == COMMITTED;
    for (size_t i = 2; i < lines.size(); ++i) {
        std::wstring name;
        if (nameAfter(lines[i], MADE_LINE, &name))
            journal->made.push_back(name);
        else if (nameAfter(lines[i], ASIDE_LINE, &name))
            journal->aside.push_back(name);
        else if (nameAfter(lines[i], EDITED_LINE, &name))
            journal->edited.insert(name);
        else
            return false;
    }
    return true;
}

static WriteProblem writeJournal(const SetPlaces& places, const Journal& journal)
{
    return writeTextFile(journalText(journal), inFolder(places.staging, JOURNAL_FILE));
}

// ---------------------------------------------------------------------------
// Putting back, finishing, clearing away: the commit's own steps on failure
// and success, and the next run's on what an interrupted one left.

// The old set back in place: each new file that is no longer in the staging
// folder was moved in, and goes back; then each file moved aside returns.
static SetWriteProblem putBack(const SetPlaces& places, const Journal& journal)
{
    DWORD attributes;
    for (const std::wstring& name : journal.made) {
        const std::wstring staged = inFolder(places.staging, name), placed = inFolder(places.folder, name);
        if (!lookAt(staged, &attributes))
            return failed(SET_LEFTOVERS_NOT_CLEARED, staged);
        if (isThere(attributes))
            continue;
        if (!lookAt(placed, &attributes))
            return failed(SET_LEFTOVERS_NOT_CLEARED, placed);
        if (isThere(attributes) && !moveFile(placed, staged))
            return failed(SET_LEFTOVERS_NOT_CLEARED, placed);
    }
    for (const std::wstring& name : journal.aside) {
        const std::wstring aside = inFolder(places.aside, name);
        if (!lookAt(aside, &attributes))
            return failed(SET_LEFTOVERS_NOT_CLEARED, aside);
        if (isThere(attributes) && !moveFile(aside, inFolder(places.folder, name)))
            return failed(SET_LEFTOVERS_NOT_CLEARED, inFolder(places.folder, name));
    }
    return {};
}

// An edited file moved aside, into FOLDER under the first free name that
// says what it is.
static SetWriteProblem keepUnderOwnName(const SetPlaces& places, const std::wstring& name, std::vector<KeptFile>* kept)
{
    const std::wstring aside = inFolder(places.aside, name);
    for (unsigned number = 1; number <= KEPT_NAME_TRIES; ++number) {
        const std::wstring keptAs = inFolder(places.folder, keptName(name, number));
        if (moveFile(aside, keptAs)) {
            kept->push_back({inFolder(places.folder, name), keptAs});
            return {};
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            return failed(SET_LEFTOVERS_NOT_CLEARED, aside);
    }
    return {SET_LEFTOVERS_NOT_CLEARED, {WRITE_CANNOT_CREATE, inFolder(places.folder, keptName(name, 1))}};
}

// The new set stays: what was moved aside is deleted, or kept when edited.
static SetWriteProblem finish(const SetPlaces& places, const Journal& journal, std::vector<KeptFile>* kept)
{
    DWORD attributes;
    for (const std::wstring& name : journal.aside) {
        const std::wstring aside = inFolder(places.aside, name);
        if (!lookAt(aside, &attributes))
            return failed(SET_LEFTOVERS_NOT_CLEARED, aside);
        if (!isThere(attributes))
            continue;
        if (journal.edited.count(name) > 0) {
            const SetWriteProblem problem = keepUnderOwnName(places, name, kept);
            if (problem.step != SET_WRITTEN)
                return problem;
        } else if (!deleteFile(aside)) {
            return failed(SET_LEFTOVERS_NOT_CLEARED, aside);
        }
    }
    return {};
}

// The two folders removed, once empty but for the staging folder's own
// files: the folder for the old set's files first, while the journal still
// says what it is; then the journal, before the new files, which would
// otherwise read as files moved in, and what is at their names as files to
// be moved back. Without the journal, the staging folder's files are only
// files never put in place, or put back. `*filesThere` tells whether it held
// any file but the journal.
static SetWriteProblem clearAway(const SetPlaces& places, bool* filesThere = nullptr)
{
    DWORD attributes;
    if (!lookAt(places.aside, &attributes))
        return failed(SET_LEFTOVERS_NOT_CLEARED, places.aside);
    if (isThere(attributes) && !RemoveDirectoryW(places.aside.c_str()))
        return failed(SET_LEFTOVERS_NOT_CLEARED, places.aside);
    if (!lookAt(places.staging, &attributes))
        return failed(SET_LEFTOVERS_NOT_CLEARED, places.staging);
    if (!isThere(attributes))
        return {};
    std::vector<std::wstring> files;
    if (!filesIn(places.staging, &files))
        return failed(SET_LEFTOVERS_NOT_CLEARED, places.staging);
    const auto others = std::stable_partition(files.begin(), files.end(),
                                              [](const std::wstring& name) { return name == JOURNAL_FILE; });
    if (filesThere != nullptr)
        *filesThere = others != files.end();
    for (const std::wstring& name : files)
        if (!deleteFile(inFolder(places.staging, name)))
            return failed(SET_LEFTOVERS_NOT_CLEARED, inFolder(places.staging, name));
    if (!RemoveDirectoryW(places.staging.c_str()))
        return failed(SET_LEFTOVERS_NOT_CLEARED, places.staging);
    return {};
}

SetWriteProblem recoverSet(const std::wstring& folder, Recovery* recovery)
{
    *recovery = Recovery();
    const SetPlaces places(folder);
    DWORD staging, aside;
    if (!lookAt(places.staging, &staging))
        return failed(SET_LEFTOVERS_NOT_CLEARED, places.staging);
    if (!lookAt(places.aside, &aside))
        return failed(SET_LEFTOVERS_NOT_CLEARED, places.aside);
    if (!isThere(staging) && !isThere(aside))
        return {};
    if ((isThere(staging) && !isFolder(staging)) || (isThere(aside) && !isFolder(aside)))
        return {SET_LEFTOVER_IN_THE_WAY, {WRITE_NAME_IS_FOLDER, isFolder(staging) ? places.aside : places.staging}};

    Journal journal;
    bool journalThere = false;
    if (isThere(staging)) {
        const std::wstring path = inFolder(places.staging, JOURNAL_FILE);
        FileBytes bytes;
        if (readWholeFile(path.c_str(), &bytes)) {
            journalThere = true;
            const bool read = readJournal(std::string((const char*)bytes.data, bytes.size), &journal);
            freeFileBytes(&bytes);
            if (!read)
                return {SET_LEFTOVER_IN_THE_WAY, {WRITE_CANNOT_REPLACE, places.staging}};
        } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            return failed(SET_LEFTOVERS_NOT_CLEARED, path);
        }
    }
    // Without a journal no file was moved: the staging folder holds only
    // files of a set never put in place, and the commit had not made the
    // folder for the old set's files, so one of that name is not the
    // writer's unless it is empty.
    if (!journalThere && isThere(aside) && !RemoveDirectoryW(places.aside.c_str()))
        return {SET_LEFTOVER_IN_THE_WAY, {WRITE_CANNOT_REPLACE, places.aside}};
    SetWriteProblem problem;
    if (journalThere)
        problem = journal.committed ? finish(places, journal, &recovery->kept) : putBack(places, journal);
    bool filesThere = false;
    if (problem.step == SET_WRITTEN)
        problem = clearAway(places, &filesThere);
    // An empty staging folder is all a run leaves when stopped as it made
    // it, or as it removed it: nothing to tell.
    if (problem.step == SET_WRITTEN && (journalThere || filesThere))
        recovery->found = journal.committed ? NEW_SET_FINISHED : OLD_SET_RESTORED;
    return problem;
}

std::wstring keptName(const std::wstring& name, unsigned number)
{
    return keptFileName(name, KEPT_SUFFIX, number);
}

// ---------------------------------------------------------------------------
// The writer

// Makes `folder` and every missing folder above it, noting in `made`, deepest
// first, those it made.
static WriteProblem makeFolders(const std::wstring& folder, std::vector<std::wstring>* made)
{
    DWORD attributes;
    if (!lookAt(folder, &attributes))
        return diagnoseWriteFailure(folder, GetLastError());
    if (isFolder(attributes))
        return {};
    if (isThere(attributes))
        return {WRITE_FOLDER_IS_FILE, folder};
    const std::wstring parent = folderPart(folder);
    if (!parent.empty() && parent != folder) {
        const WriteProblem problem = makeFolders(parent, made);
        if (problem.code != WRITE_DONE)
            return problem;
    }
    if (!CreateDirectoryW(folder.c_str(), NULL))
        return diagnoseWriteFailure(folder, GetLastError());
    made->insert(made->begin(), folder);
    return {};
}

SetWriter::SetWriter(const std::wstring& folder) : folder_(folder), staging_(SetPlaces(folder).staging) {}

SetWriter::~SetWriter()
{
    if (begun_)
        abandon();
}

// The staging folder and the folders begin() made go; FOLDER's own files
// were never touched.
void SetWriter::abandon()
{
    begun_ = false;
    clearAway(SetPlaces(folder_));
    for (const std::wstring& folder : madeFolders_)
        RemoveDirectoryW(folder.c_str());
}

SetWriteProblem SetWriter::checkName(const std::wstring& name, const ProtectedFiles& pictures)
{
    const std::wstring path = inFolder(folder_, name);
    if (!checked_.insert(folded(name)).second)
        return {SET_NAME_TWICE, {WRITE_CANNOT_CREATE, path}};
    if (inFolder(staging_, name).size() > MAX_NAME_CHARACTERS)  // where it is written first
        return {SET_NAME_NOT_FREE, {WRITE_NAME_TOO_LONG, path}};
    DWORD attributes;
    if (!lookAt(path, &attributes))
        return failed(SET_NAME_NOT_FREE, path);
    if (isFolder(attributes))
        return {SET_NAME_NOT_FREE, {WRITE_NAME_IS_FOLDER, path}};
    if (isReadOnlyFile(attributes))
        return {SET_NAME_NOT_FREE, {WRITE_READ_ONLY, path}};
    if (isThere(attributes) && isProtected(path, pictures))
        return {SET_NAME_NOT_FREE, {WRITE_IS_A_PICTURE, path}};
    return {};
}

SetWriteProblem SetWriter::begin(const std::vector<std::wstring>& names, const ProtectedFiles& pictures)
{
    if (begun_)
        abandon();
    madeFolders_.clear(), staged_.clear(), checked_.clear(), kept_.clear();
    stagingFailed_ = false;
    SetWriteProblem problem = recoverSet(folder_, &recovery_);
    for (size_t i = 0; i < names.size() && problem.step == SET_WRITTEN; ++i)
        problem = checkName(names[i], pictures);
    if (problem.step != SET_WRITTEN)
        return problem;
    const WriteProblem made = makeFolders(folder_, &madeFolders_);
    if (made.code != WRITE_DONE)
        problem = {SET_FOLDER_NOT_MADE, made};
    else if (!CreateDirectoryW(staging_.c_str(), NULL))
        problem = failed(SET_FOLDER_NOT_WRITABLE, staging_);
    if (problem.step != SET_WRITTEN) {
        abandon();
        return problem;
    }
    begun_ = true;
    return {};
}

WriteProblem SetWriter::shownInFolder(WriteProblem problem) const
{
    const std::wstring inStaging = inFolder(staging_, L"");
    if (problem.path.compare(0, inStaging.size(), inStaging) == 0)
        problem.path = inFolder(folder_, problem.path.substr(inStaging.size()));
    return problem;
}

// `write(path, &written)` writes the file at `path` in the staging folder,
// and says under which name it did (palette mode may change a cel's).
template <typename Write>
WriteProblem SetWriter::stage(const std::wstring& name, const ProtectedFiles& pictures, Write write)
{
    if (!begun_)
        return {WRITE_CANNOT_CREATE, inFolder(folder_, name)};
    WriteProblem problem;
    if (checked_.count(folded(name)) == 0)
        problem = checkName(name, pictures).write;
    std::wstring written = name;
    if (problem.code == WRITE_DONE)
        problem = write(inFolder(staging_, name), &written);
    if (problem.code != WRITE_DONE) {
        if (!stagingFailed_)
            stagingProblem_ = shownInFolder(problem);
        stagingFailed_ = true;
        return shownInFolder(problem);
    }
    if (std::find(staged_.begin(), staged_.end(), written) == staged_.end())
        staged_.push_back(written);
    return {};
}

CelOutcome SetWriter::stageCel(const Plugin& plugin, const SourcePicture& picture, const std::wstring& name,
                               const ProtectedFiles& pictures, ProgressCallback progress, LONG userValue)
{
    CelOutcome outcome = {EXPORT_WRITE_ERROR, inFolder(folder_, name), {}};
    outcome.problem = stage(name, pictures, [&](const std::wstring& path, std::wstring* written) {
        outcome = exportCel(plugin, picture, path, pictures, progress, userValue);
        *written = fileName(outcome.written);
        outcome.written = inFolder(folder_, *written);
        return outcome.problem;
    });
    return outcome;
}

WriteProblem SetWriter::stagePalette(const std::vector<uint32_t>& colours, const std::wstring& name,
                                     const ProtectedFiles& pictures)
{
    return stage(name, pictures, [&](const std::wstring& path, std::wstring*) {
        return writePalette(colours, path, pictures);
    });
}

WriteProblem SetWriter::stageText(const std::string& text, const std::wstring& name)
{
    return stage(name, ProtectedFiles(), [&](const std::wstring& path, std::wstring*) {
        return writeTextFile(text, path);
    });
}

std::wstring SetWriter::stagedPath(const std::wstring& name) const
{
    const bool staged = std::find(staged_.begin(), staged_.end(), name) != staged_.end();
    return staged ? inFolder(staging_, name) : L"";
}

// What the commit of `staged` will move, as its journal says it: each file
// of the new set, and aside each file at its name (which may only be a file
// she can replace) and each of `staleNames` that is a file she can replace.
static SetWriteProblem planMoves(const std::wstring& folder, const std::vector<std::wstring>& staged,
                                 const std::vector<std::wstring>& staleNames,
                                 const std::set<std::wstring>& editedNames, Journal* journal)
{
    std::set<std::wstring> inSet, edited;
    for (const std::wstring& name : editedNames)
        edited.insert(folded(name));
    DWORD attributes;
    for (const std::wstring& name : staged) {
        const std::wstring path = inFolder(folder, name);
        if (!lookAt(path, &attributes))
            return failed(SET_NOT_PUT_IN_PLACE, path);
        if (isFolder(attributes))
            return {SET_NAME_NOT_FREE, {WRITE_NAME_IS_FOLDER, path}};
        if (isReadOnlyFile(attributes))
            return {SET_NAME_NOT_FREE, {WRITE_READ_ONLY, path}};
        if (isThere(attributes))
            journal->aside.push_back(name);
        journal->made.push_back(name);
        inSet.insert(folded(name));
    }
    for (const std::wstring& name : staleNames) {
        const std::wstring path = inFolder(folder, name);
        if (inSet.count(folded(name)) > 0)
            continue;
        if (!lookAt(path, &attributes))
            return failed(SET_NOT_PUT_IN_PLACE, path);
        if (isThere(attributes) && !isFolder(attributes) && !isReadOnlyFile(attributes))
            journal->aside.push_back(name);
    }
    for (const std::wstring& name : journal->aside)
        if (edited.count(folded(name)) > 0)
            journal->edited.insert(name);
    return {};
}

SetWriteProblem SetWriter::commit(const std::vector<std::wstring>& staleNames,
                                  const std::set<std::wstring>& editedNames)
{
    if (!begun_ || stagingFailed_) {
        if (begun_)
            abandon();
        return {SET_FILE_NOT_STAGED, stagingFailed_ ? stagingProblem_ : WriteProblem{WRITE_CANNOT_CREATE, folder_}};
    }
    begun_ = false;  // from here on the journal says what to undo, and the destructor has nothing to do
    const SetPlaces places(folder_);
    Journal journal;
    SetWriteProblem problem = planMoves(folder_, staged_, staleNames, editedNames, &journal);
    if (problem.step == SET_WRITTEN) {
        const WriteProblem written = writeJournal(places, journal);
        if (written.code != WRITE_DONE)
            problem = {SET_FILE_NOT_STAGED, shownInFolder(written)};
    }
    if (problem.step == SET_WRITTEN && !CreateDirectoryW(places.aside.c_str(), NULL))
        problem = failed(SET_NOT_PUT_IN_PLACE, places.aside);
    for (size_t i = 0; i < journal.aside.size() && problem.step == SET_WRITTEN; ++i)
        if (!moveFile(inFolder(folder_, journal.aside[i]), inFolder(places.aside, journal.aside[i])))
            problem = failed(SET_NOT_PUT_IN_PLACE, inFolder(folder_, journal.aside[i]));
    for (size_t i = 0; i < journal.made.size() && problem.step == SET_WRITTEN; ++i)
        if (!moveFile(inFolder(places.staging, journal.made[i]), inFolder(folder_, journal.made[i])))
            problem = failed(SET_NOT_PUT_IN_PLACE, inFolder(folder_, journal.made[i]));
    if (problem.step == SET_WRITTEN) {  // the moment the new set takes the old one's place
        journal.committed = true;
        const WriteProblem written = writeJournal(places, journal);
        if (written.code != WRITE_DONE)
            problem = {SET_NOT_PUT_IN_PLACE, shownInFolder(written)};
    }

    if (problem.step != SET_WRITTEN) {
        SetWriteProblem undone = putBack(places, journal);
        if (undone.step == SET_WRITTEN)
            undone = clearAway(places);
        if (undone.step != SET_WRITTEN)
            return undone;  // the next run puts back what this one could not
        for (const std::wstring& made : madeFolders_)
            RemoveDirectoryW(made.c_str());
        return problem;
    }
    // What stays undone here (a file moved aside that cannot be deleted
    // yet) the next run finishes.
    if (finish(places, journal, &kept_).step == SET_WRITTEN)
        clearAway(places);
    staged_.clear();
    return {};
}
