#include "lzh_reader.h"

#include <string.h>

#include <new>

#include "crc16.h"
#include "lh_decoder.h"
#include "lzh_format.h"
#include "lzh_names.h"

using namespace Lzh;

namespace {

uint32_t le16(const uint8_t* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8;
}

uint32_t le32(const uint8_t* p)
{
    return le16(p) | le16(p + 2) << 16;
}

// What a header says, and where its entry's data lies.
struct Header {
    size_t headerBytes = 0;  // from the header's first byte to the data
    uint64_t dataBytes = 0;
    char method[kMethodBytes + 1] = {};
    uint64_t size = 0;
    bool hasCrc = true;
    uint16_t crc = 0;
    bool hasLocalTime = true;
    uint32_t stamp = 0;
    std::string name, folder;
};

// The chain of extended headers from `at`, the first `firstSize` bytes long,
// which must end by `limit` (the end of a level 2 header, or of a level 1
// entry's compressed size): one that runs past it is damage, or truncation
// where the archive itself ends first. `after` is where the chain ends, and
// `commonCrcAt` where the header's CRC is, or 0.
LzhProblem readExtendedHeaders(const uint8_t* bytes, size_t at, size_t archiveEnd, size_t limit, size_t firstSize,
                               Header* header, size_t* after, size_t* commonCrcAt)
{
    const size_t kTypeAndNextSize = 3;
    *commonCrcAt = 0;
    for (size_t size = firstSize; size != 0; size = le16(bytes + at - 2)) {
        if (size < kTypeAndNextSize || size > limit - at)
            return size > archiveEnd - at && size >= kTypeAndNextSize ? LZH_TRUNCATED : LZH_HEADER_DAMAGED;
        const uint8_t* data = bytes + at + 1;
        const size_t dataBytes = size - kTypeAndNextSize;
        switch (bytes[at]) {
        case kExtendedCommon:
            if (dataBytes >= kCrcBytes)
                *commonCrcAt = at + 1;
            break;
        case kExtendedFileName:
            header->name.assign((const char*)data, dataBytes);
            break;
        case kExtendedFolder:
            header->folder.assign((const char*)data, dataBytes);
            break;
        }
        at += size;
    }
    *after = at;
    return LZH_OK;
}

// A level 1 or 2 header's own CRC, when it has one (`crcAt` not 0): over
// the header from `start` to `end`, extended headers included, with its own
// two bytes taken as zeros.
bool headerCrcMatches(const uint8_t* bytes, size_t start, size_t end, size_t crcAt)
{
    if (crcAt == 0)
        return true;
    const uint8_t zeros[kCrcBytes] = {};
    uint16_t crc = lzhCrc16(0, bytes + start, crcAt - start);
    crc = lzhCrc16(crc, zeros, kCrcBytes);
    crc = lzhCrc16(crc, bytes + crcAt + kCrcBytes, end - crcAt - kCrcBytes);
    return crc == le16(bytes + crcAt);
}

// Reads the header at `at`, which holds at least one byte and is not the
// end mark.
LzhProblem readHeader(const uint8_t* bytes, size_t size, size_t at, Header* h)
{
    const uint8_t* p = bytes + at;
    const size_t left = size - at;
    if (left <= kLevelOffset)
        return LZH_TRUNCATED;
    const int level = p[kLevelOffset];
    if (level > 2)
        return LZH_HEADER_LEVEL_UNKNOWN;
    memcpy(h->method, p + kMethodOffset, kMethodBytes);
    h->size = le32(p + kOriginalSizeOffset);
    h->stamp = le32(p + kTimeOffset);
    const uint64_t compressed = le32(p + kCompressedSizeOffset);

    if (level == 2) {
        h->headerBytes = le16(p);
        if (h->headerBytes < kLevel2FixedBytes)
            return LZH_HEADER_DAMAGED;
        if (h->headerBytes > left)
            return LZH_TRUNCATED;
        h->hasLocalTime = false;
        h->crc = (uint16_t)le16(p + kLevel2CrcOffset);
        size_t after, crcAt;
        const LzhProblem extended = readExtendedHeaders(bytes, at + kLevel2FixedBytes, size, at + h->headerBytes,
                                                        le16(p + kLevel2FixedBytes - 2), h, &after, &crcAt);
        if (extended != LZH_OK)
            return extended;
        if (!headerCrcMatches(bytes, at, at + h->headerBytes, crcAt))
            return LZH_HEADER_DAMAGED;
        h->dataBytes = compressed;
    } else {
        h->headerBytes = (size_t)p[0] + 2;
        if (h->headerBytes > left)
            return LZH_TRUNCATED;
        if (h->headerBytes < kNameOffset)
            return LZH_HEADER_DAMAGED;
        uint8_t sum = 0;
        for (size_t i = kMethodOffset; i < h->headerBytes; ++i)
            sum = (uint8_t)(sum + p[i]);
        if (sum != p[1])
            return LZH_HEADER_DAMAGED;
        const size_t nameBytes = p[kNameLengthOffset];
        const size_t fixed = level == 0 ? kLevel0FixedBytes : kLevel1FixedBytes;
        // The first LHarc wrote level 0 headers without the CRC.
        h->hasCrc = !(level == 0 && h->headerBytes == kNameOffset + nameBytes);
        if (h->hasCrc && h->headerBytes < fixed + nameBytes)
            return LZH_HEADER_DAMAGED;
        h->name.assign((const char*)p + kNameOffset, nameBytes);
        if (h->hasCrc)
            h->crc = (uint16_t)le16(p + kNameOffset + nameBytes);
        h->dataBytes = compressed;
        if (level == 1) {
            // The extended headers follow the header and count in the
            // compressed size.
            const size_t start = at + h->headerBytes;
            const size_t limit = compressed < size - start ? start + (size_t)compressed : size;
            size_t after, crcAt;
            const LzhProblem extended =
                readExtendedHeaders(bytes, start, size, limit, le16(p + h->headerBytes - 2), h, &after, &crcAt);
            if (extended != LZH_OK)
                return extended;
            if (!headerCrcMatches(bytes, at, after, crcAt))
                return LZH_HEADER_DAMAGED;
            h->headerBytes += after - start;
            h->dataBytes = compressed - (after - start);
        }
    }
    if (h->dataBytes > left - h->headerBytes)
        return LZH_TRUNCATED;
    return LZH_OK;
}

bool isMethod(const char* method, const char* id)
{
    return memcmp(method, id, kMethodBytes) == 0;
}

const WindowMethod* windowMethodOf(const char* method)
{
    for (const WindowMethod* m : {&kLh5, &kLh6, &kLh7})
        if (isMethod(method, m->id))
            return m;
    return nullptr;
}

// The entry's data, decoded and checked, or the problem with it.
LzhProblem readData(const Header& h, const uint8_t* data, const LzhReadLimits& limits, uint64_t* total,
                    std::vector<uint8_t>* out)
{
    const bool stored = isMethod(h.method, kStoredMethod) || isMethod(h.method, kStoredMethodLz);
    const WindowMethod* method = windowMethodOf(h.method);
    if (!stored && !method)
        return LZH_METHOD_UNSUPPORTED;
    if (h.size > limits.maxEntryBytes || h.size > SIZE_MAX)
        return LZH_ENTRY_TOO_LARGE;
    if (h.size > limits.maxTotalBytes - *total)
        return LZH_TOTAL_TOO_LARGE;
    if (stored ? h.dataBytes != h.size : h.size > lhMaxDecodedBytes(h.dataBytes))
        return LZH_DATA_DAMAGED;
    // Counted before decoding, whatever comes of it: a run of damaged
    // entries costs no more than the caller allowed.
    *total += h.size;
    out->resize((size_t)h.size);
    if (stored) {
        if (h.size > 0)  // an empty vector's data() may be null
            memcpy(out->data(), data, (size_t)h.size);
    } else {
        const LzhProblem decoded = decodeLhStream(*method, data, (size_t)h.dataBytes, out->data(), out->size());
        if (decoded != LZH_OK)
            return decoded;
    }
    if (h.hasCrc && lzhCrc16(0, out->data(), out->size()) != h.crc)
        return LZH_CRC_MISMATCH;
    return LZH_OK;
}

LzhEntry entryOf(const Header& h)
{
    LzhEntry entry;
    entry.name = h.name;
    if (!h.folder.empty()) {
        entry.name = h.folder;
        if (entry.name.back() != (char)kFolderSeparator)
            entry.name += (char)kFolderSeparator;
        entry.name += h.name;
    }
    entry.name = pathWithSlashes(entry.name);
    entry.hasLocalTime = h.hasLocalTime;
    if (h.hasLocalTime)
        entry.localTime = localTimeOfDosStamp(h.stamp);
    else
        entry.unixTime = h.stamp;
    memcpy(entry.method, h.method, sizeof entry.method);
    entry.size = h.size;
    entry.problem = LZH_OK;
    return entry;
}

void readEntries(const uint8_t* bytes, size_t size, const LzhReadLimits& limits, LzhArchive* archive)
{
    uint64_t total = 0;
    size_t at = 0;
    while (at < size && bytes[at] != kEndOfArchive) {
        Header h;
        LzhProblem problem = LZH_TRUNCATED;
        if (size - at >= kMethodOffset + kMethodBytes) {
            // A method's name is "-", three characters and "-".
            const uint8_t* method = bytes + at + kMethodOffset;
            if (method[0] == '-' && method[kMethodBytes - 1] == '-')
                problem = readHeader(bytes, size, at, &h);
            else
                problem = at == 0 ? LZH_NOT_AN_ARCHIVE : LZH_HEADER_DAMAGED;
        }
        if (problem != LZH_OK) {
            archive->problem = problem;
            archive->problemOffset = at;
            return;
        }
        if (!isMethod(h.method, kFolderMethod)) {
            archive->entries.push_back(entryOf(h));
            LzhEntry& entry = archive->entries.back();
            entry.problem = readData(h, bytes + at + h.headerBytes, limits, &total, &entry.data);
            if (entry.problem != LZH_OK)
                std::vector<uint8_t>().swap(entry.data);
        }
        at += h.headerBytes + (size_t)h.dataBytes;
    }
    if (size == 0) {
        archive->problem = LZH_NOT_AN_ARCHIVE;
        archive->problemOffset = 0;
    }
}

}

LzhProblem readLzhArchive(const uint8_t* bytes, size_t size, const LzhReadLimits& limits, LzhArchive* archive)
{
    archive->entries.clear();
    archive->problem = LZH_OK;
    archive->problemOffset = 0;
    try {
        readEntries(bytes, size, limits, archive);
    } catch (const std::bad_alloc&) {
        archive->entries.clear();
        archive->entries.shrink_to_fit();
        archive->problem = LZH_OUT_OF_MEMORY;
    }
    return archive->problem;
}
