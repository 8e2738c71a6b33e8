#include "lzh_writer.h"

#include <string.h>

#include <algorithm>
#include <new>

#include "crc16.h"
#include "lh5_encoder.h"
#include "lzh_format.h"
#include "lzh_names.h"

using namespace Lzh;

namespace {

void putLittleEndian(std::vector<uint8_t>* out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out->push_back((uint8_t)(value >> (8 * i)));
}

// The level 0 header (lzh_format.h) of one file.
void putHeader(std::vector<uint8_t>* out, const LzhFileToPack& file, const char* method, size_t compressedSize,
               uint16_t crc)
{
    const size_t start = out->size();
    out->push_back((uint8_t)(kLevel0FixedBytes + file.name.size() - 2));
    out->push_back(0);  // the sum, below
    out->insert(out->end(), method, method + kMethodBytes);
    putLittleEndian(out, (uint32_t)compressedSize, 4);
    putLittleEndian(out, (uint32_t)file.size, 4);
    putLittleEndian(out, dosTimeStamp(file.modified), 4);
    out->push_back(kAttributeArchive);
    out->push_back(0);  // level
    out->push_back((uint8_t)file.name.size());
    out->insert(out->end(), file.name.begin(), file.name.end());
    putLittleEndian(out, crc, 2);
    uint8_t sum = 0;
    for (size_t i = start + kMethodOffset; i < out->size(); ++i)
        sum = (uint8_t)(sum + (*out)[i]);
    (*out)[start + 1] = sum;
}

LzhWriteResult checkFiles(const LzhFileToPack* files, size_t count)
{
    if (count > kMaxFiles)
        return {LZH_TOO_MANY_FILES, kMaxFiles};
    // Stored files are no larger than they are: this is the most the
    // archive can take.
    uint64_t archiveBytes = 1;  // the end mark
    for (size_t i = 0; i < count; ++i) {
        const LzhProblem name = plainNameProblem(files[i].name);
        if (name != LZH_OK)
            return {name, i};
        if (!isCalendarTime(files[i].modified))
            return {LZH_TIME_NOT_A_DATE, i};
        if ((uint64_t)files[i].size > kMaxFileBytes)
            return {LZH_FILE_TOO_LARGE, i};
        archiveBytes += kLevel0FixedBytes + files[i].name.size() + (uint64_t)files[i].size;
        if (archiveBytes > kMaxArchiveBytes)
            return {LZH_ARCHIVE_TOO_LARGE, i};
    }
    // Names that one folder cannot hold twice, the later one reported.
    std::vector<std::pair<std::string, size_t>> folded;
    for (size_t i = 0; i < count; ++i)
        folded.emplace_back(foldedName(files[i].name), i);
    std::sort(folded.begin(), folded.end());
    for (size_t i = 1; i < folded.size(); ++i)
        if (folded[i].first == folded[i - 1].first)
            return {LZH_NAME_TWICE, folded[i].second};
    return {LZH_OK, 0};
}

}

LzhWriteResult writeLzhArchive(const LzhFileToPack* files, size_t count, std::vector<uint8_t>* archive)
{
    archive->clear();
    try {
        const LzhWriteResult checked = checkFiles(files, count);
        if (checked.problem != LZH_OK)
            return checked;
        std::vector<uint8_t> stream;
        for (size_t i = 0; i < count; ++i) {
            const LzhFileToPack& file = files[i];
            const uint16_t crc = lzhCrc16(0, file.bytes, file.size);
            if (encodeLh5(file.bytes, file.size, &stream)) {
                putHeader(archive, file, kLh5.id, stream.size(), crc);
                archive->insert(archive->end(), stream.begin(), stream.end());
            } else {
                putHeader(archive, file, kStoredMethod, file.size, crc);
                archive->insert(archive->end(), file.bytes, file.bytes + file.size);
            }
        }
        archive->push_back(kEndOfArchive);
    } catch (const std::bad_alloc&) {
        archive->clear();
        archive->shrink_to_fit();
        return {LZH_OUT_OF_MEMORY, 0};
    }
    return {LZH_OK, 0};
}
