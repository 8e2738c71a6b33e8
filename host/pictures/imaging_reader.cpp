#include "imaging_reader.h"
#include "../words/messages.h"

#include <windows.h>
#include <wincodec.h>

#include <new>

const uint8_t PNG_SIGNATURE[PNG_SIGNATURE_BYTES] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// ---------------------------------------------------------------------------
// PNG chunks: a 4-byte big-endian length, a 4-byte type, the data, and the
// CRC-32 of type and data (ISO 3309 polynomial, reflected, as zlib's).

static uint32_t bigEndian32(const uint8_t* at)
{
    return (uint32_t)at[0] << 24 | (uint32_t)at[1] << 16 | (uint32_t)at[2] << 8 | at[3];
}

static uint32_t crc32(const uint8_t* bytes, size_t count)
{
    static uint32_t table[256];
    if (table[1] == 0)
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i)
        c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

int checkPngChunks(const uint8_t* file, size_t size, std::wstring* reason)
{
    size_t at = PNG_SIGNATURE_BYTES;
    for (;;) {
        if (size - at < 12) {
            *reason = text(MSG_PNG_ENDS_EARLY);
            return 0;
        }
        const uint32_t length = bigEndian32(file + at);
        if (length > size - at - 12) {
            *reason = text(MSG_PNG_ENDS_EARLY);
            return 0;
        }
        const uint8_t* type = file + at + 4;
        if (crc32(type, 4 + (size_t)length) != bigEndian32(type + 4 + length)) {
            *reason = text(MSG_PNG_CHECKSUM);
            return 0;
        }
        at += 12 + (size_t)length;
        if (type[0] == 'I' && type[1] == 'E' && type[2] == 'N' && type[3] == 'D')
            return 1;
    }
}

// ---------------------------------------------------------------------------

// Releases a COM object at the end of the scope.
template <typename Interface>
struct Held {
    Interface* p = NULL;
    ~Held()
    {
        if (p != NULL)
            p->Release();
    }
};

static int indexBitsOf(const WICPixelFormatGUID& format)
{
    if (IsEqualGUID(format, GUID_WICPixelFormat1bppIndexed))
        return 1;
    if (IsEqualGUID(format, GUID_WICPixelFormat2bppIndexed))
        return 2;
    if (IsEqualGUID(format, GUID_WICPixelFormat4bppIndexed))
        return 4;
    if (IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed))
        return 8;
    return 0;
}

static int copyIndexed(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, DecodedPicture* picture)
{
    Held<IWICPalette> palette;
    UINT count = 0;
    if (FAILED(factory->CreatePalette(&palette.p)) || FAILED(frame->CopyPalette(palette.p)) ||
        FAILED(palette.p->GetColorCount(&count)))
        return 0;
    picture->colours.assign(count > 256 ? 256 : count, 0);
    UINT got = 0;
    if (count > 0 && FAILED(palette.p->GetColors((UINT)picture->colours.size(), picture->colours.data(), &got)))
        return 0;
    picture->colours.resize(got);

    const int bits = picture->indexBits;
    const UINT stride = (UINT)(((uint64_t)picture->width * bits + 7) / 8);
    std::vector<uint8_t> packed((size_t)stride * picture->height);
    if (FAILED(frame->CopyPixels(NULL, stride, (UINT)packed.size(), packed.data())))
        return 0;
    picture->indices.resize((size_t)picture->width * picture->height);
    const int perByte = 8 / bits;
    const uint8_t mask = (uint8_t)((1 << bits) - 1);
    for (int32_t y = 0; y < picture->height; ++y) {
        const uint8_t* row = packed.data() + (size_t)y * stride;
        uint8_t* out = picture->indices.data() + (size_t)y * picture->width;
        for (int32_t x = 0; x < picture->width; ++x)  // leftmost pixel in the high bits
            out[x] = (uint8_t)(row[x / perByte] >> (8 - bits * (x % perByte + 1)) & mask);
    }
    return 1;
}

static int copyFullColour(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, DecodedPicture* picture)
{
    Held<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(&converter.p)) ||
        FAILED(converter.p->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, NULL, 0.0,
                                       WICBitmapPaletteTypeCustom)))
        return 0;
    picture->pixels.resize((size_t)picture->width * picture->height);
    // Blue, green, red, alpha bytes are 0xAARRGGBB in a little-endian word.
    return SUCCEEDED(converter.p->CopyPixels(NULL, (UINT)picture->width * 4, (UINT)(picture->pixels.size() * 4),
                                             (BYTE*)picture->pixels.data()));
}

int readWithImagingComponent(const uint8_t* file, size_t size, bool saysTransparency,
                             int (*fits)(int32_t width, int32_t height, bool indexed, std::wstring* reason),
                             DecodedPicture* picture, std::wstring* reason)
{
    static const HRESULT initialised = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    (void)initialised;  // S_FALSE or a thread already set up otherwise: the factory still works
    Held<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                (void**)&factory.p))) {
        *reason = text(MSG_NO_IMAGING_COMPONENT);
        return 0;
    }
    Held<IWICStream> stream;
    Held<IWICBitmapDecoder> decoder;
    Held<IWICBitmapFrameDecode> frame;
    if (FAILED(factory.p->CreateStream(&stream.p)) ||
        FAILED(stream.p->InitializeFromMemory((BYTE*)file, (DWORD)size)) ||
        FAILED(factory.p->CreateDecoderFromStream(stream.p, NULL, WICDecodeMetadataCacheOnDemand, &decoder.p)) ||
        FAILED(decoder.p->GetFrame(0, &frame.p))) {
        *reason = text(MSG_PICTURE_UNREADABLE);
        return 0;
    }
    UINT width = 0, height = 0;
    WICPixelFormatGUID format;
    if (FAILED(frame.p->GetSize(&width, &height)) || FAILED(frame.p->GetPixelFormat(&format))) {
        *reason = text(MSG_PICTURE_DAMAGED);
        return 0;
    }
    picture->indexBits = indexBitsOf(format);
    if (!fits((int32_t)(width > 0x7FFFFFFF ? 0x7FFFFFFF : width), (int32_t)(height > 0x7FFFFFFF ? 0x7FFFFFFF : height),
              picture->indexBits != 0, reason))
        return 0;
    picture->width = (int32_t)width;
    picture->height = (int32_t)height;
    picture->saysTransparency = saysTransparency;
    int copied = 0;
    try {
        copied = picture->indexBits != 0 ? copyIndexed(factory.p, frame.p, picture)
                                         : copyFullColour(factory.p, frame.p, picture);
    } catch (const std::bad_alloc&) {
        *reason = text(MSG_NO_MEMORY);
        return 0;
    }
    if (!copied)
        *reason = text(MSG_PICTURE_DAMAGED);
    return copied;
}
