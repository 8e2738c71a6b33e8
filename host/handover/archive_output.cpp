#include "archive_output.h"

#include <new>

#include "../lzh/lzh_writer.h"
#include "../pictures/read_picture.h"
#include "../system/code_pages.h"
#include "../system/file_access.h"
#include "../system/folder_entries.h"
#include "../system/path_names.h"
#include "kiss_output.h"

namespace {

const wchar_t ARCHIVE_EXTENSION[] = L".lzh";

PackProblem problem(PackProblemCode code, const std::wstring& path, PictureProblemCode read = PICTURE_READ)
{
    PackProblem found;
    found.code = code, found.path = path, found.read = read;
    return found;
}

// The files read for the archive, freed when it is made.
struct ReadFiles {
    std::vector<FileBytes> files;
    ~ReadFiles()
    {
        for (FileBytes& file : files)
            freeFileBytes(&file);
    }
};

// A file's last change as Explorer shows it: in the user's time zone, with
// the daylight saving of that date.
bool localTime(const FILETIME& modified, LzhLocalTime* time)
{
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&modified, &universal) || !SystemTimeToTzSpecificLocalTime(NULL, &universal, &local))
        return false;
    *time = {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
    return true;
}

// Whether `entry` of the folder is the archive being written: an older
// archive of the set, which the new one replaces and never packs. Any other
// file of the set at that name is refused before anything is read.
bool isTheArchive(const std::wstring& path, const FileIdentity& archive)
{
    return archive.known && sameFile(identifyFile(path.c_str()), archive);
}

}  // namespace

PackProblem packFolder(const std::wstring& folder, const std::wstring& archivePath, PackedFolder* packed)
{
    PackedFolder none;
    if (packed == NULL)
        packed = &none;
    *packed = PackedFolder();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return problem(PACK_NO_SUCH_FOLDER, folder);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return problem(PACK_NOT_A_FOLDER, folder);
    std::vector<FolderEntry> entries;
    if (!listFolder(folder, &entries))
        return problem(PACK_FOLDER_UNREADABLE, folder, notOpened(GetLastError()));

    const FileIdentity archive = identifyFile(archivePath.c_str());
    std::vector<LzhFileToPack> files;
    ReadFiles read;
    try {
        for (const FolderEntry& entry : entries) {
            const std::wstring path = inFolder(folder, entry.name);
            if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
                packed->foldersLeftOut.push_back(entry.name);
                continue;
            }
            if ((entry.attributes & FILE_ATTRIBUTE_HIDDEN) && (entry.attributes & FILE_ATTRIBUTE_SYSTEM))
                continue;
            if (isTheArchive(path, archive)) {
                if (extensionOf(entry.name) != ARCHIVE_EXTENSION)
                    return problem(PACK_ARCHIVE_IS_IN_SET, archivePath);
                continue;
            }
            LzhFileToPack file;
            bool lost = false;
            file.name = encodeText(entry.name, CP_SHIFT_JIS, &lost);
            if (lost)
                return problem(PACK_NAME_NOT_SHIFT_JIS, entry.name);
            if (!localTime(entry.modified, &file.modified)) {
                PackProblem notADate = problem(PACK_LZH, entry.name);
                notADate.lzh = LZH_TIME_NOT_A_DATE;
                return notADate;
            }
            read.files.push_back(FileBytes{NULL, 0});
            if (!readWholeFile(path.c_str(), &read.files.back()))
                return problem(PACK_FILE_UNREADABLE, entry.name, notOpened(GetLastError()));
            file.bytes = read.files.back().data;
            file.size = read.files.back().size;
            files.push_back(file);
            packed->files.push_back(entry.name);
            packed->bytes += file.size;
        }
    } catch (const std::bad_alloc&) {
        return problem(PACK_FILE_UNREADABLE, folder, PICTURE_NO_MEMORY_TO_READ);
    }
    if (files.empty())
        return problem(PACK_FOLDER_EMPTY, folder);

    std::vector<uint8_t> bytes;
    const LzhWriteResult made = writeLzhArchive(files.data(), files.size(), &bytes);
    if (made.problem != LZH_OK) {
        PackProblem refused = problem(PACK_LZH, made.file < packed->files.size() ? packed->files[made.file] : L"");
        refused.lzh = made.problem;
        return refused;
    }
    PackProblem written;
    written.written = writeBytesFile(bytes.data(), bytes.size(), archivePath, ProtectedFiles());
    if (written.written.code != WRITE_DONE) {
        written.code = PACK_NOT_WRITTEN;
        return written;
    }
    packed->archiveBytes = bytes.size();
    return written;
}
