// The one way the document reader reads the file: a cursor over a run of
// its bytes that never reads past the run's end. A read that would pass it
// reads zeros, moves nowhere and marks the cursor short; the reader checks
// short() where a mistake would matter, and says what the shortfall means:
// the file ending inside a section it declares (PSD_TRUNCATED), or a part
// of a section claiming more than the section holds (PSD_DAMAGED).
//
// Offsets and counts are 64-bit, so no declared length can wrap on a
// 32-bit build; a run never reaches past the bytes it was made over.
#ifndef PORVANE_PSD_BYTES_H
#define PORVANE_PSD_BYTES_H

#include <stddef.h>
#include <stdint.h>

#include "psd_document.h"

// A problem, with its detail when the caller wants one.
inline PsdProblem psdFail(PsdProblem problem, int64_t value, int64_t* detail)
{
    if (detail)
        *detail = value;
    return problem;
}

class PsdBytes {
public:
    PsdBytes() = default;
    // The whole file: `origin` 0.
    PsdBytes(const uint8_t* data, uint64_t size, uint64_t origin = 0) : data_(data), size_(size), origin_(origin) {}

    uint64_t left() const { return size_ - at_; }
    bool has(uint64_t count) const { return count <= left(); }
    bool isShort() const { return short_; }
    // Where the cursor is, as an offset in the file.
    uint64_t offset() const { return origin_ + at_; }

    // `count` bytes where the cursor is, skipped; null when fewer are left.
    const uint8_t* take(uint64_t count)
    {
        if (!has(count)) {
            short_ = true;
            return nullptr;
        }
        const uint8_t* bytes = data_ + at_;
        at_ += count;
        return bytes;
    }
    bool skip(uint64_t count) { return take(count) != nullptr; }

    // The next `count` bytes as a run of their own, skipped here; an empty,
    // short run when fewer are left.
    PsdBytes run(uint64_t count)
    {
        const uint64_t origin = offset();
        const uint8_t* bytes = take(count);
        PsdBytes inner(bytes, bytes ? count : 0, origin);
        inner.short_ = bytes == nullptr;
        return inner;
    }

    uint8_t u8()
    {
        const uint8_t* b = take(1);
        return b ? b[0] : 0;
    }
    uint16_t u16()
    {
        const uint8_t* b = take(2);
        return b ? (uint16_t)(b[0] << 8 | b[1]) : 0;
    }
    uint32_t u32()
    {
        const uint8_t* b = take(4);
        return b ? (uint32_t)b[0] << 24 | (uint32_t)b[1] << 16 | (uint32_t)b[2] << 8 | b[3] : 0;
    }
    int16_t i16() { return (int16_t)u16(); }
    int32_t i32() { return (int32_t)u32(); }

    // The next four bytes, without moving; 0 when fewer are left.
    uint32_t peekU32() const
    {
        if (!has(4))
            return 0;
        const uint8_t* b = data_ + at_;
        return (uint32_t)b[0] << 24 | (uint32_t)b[1] << 16 | (uint32_t)b[2] << 8 | b[3];
    }

private:
    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
    uint64_t origin_ = 0;
    uint64_t at_ = 0;
    bool short_ = false;
};

#endif
