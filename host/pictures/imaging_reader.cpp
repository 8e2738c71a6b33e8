#include "imaging_reader.h"

#include <new>

#include "com_object.h"

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
                             int (*fits)(int64_t width, int64_t height, bool indexed, PictureProblem* problem),
                             DecodedPicture* picture, PictureProblem* problem)
{
    startCom();
    Held<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                (void**)&factory.p))) {
        return refuse(problem, PICTURE_NO_IMAGING_COMPONENT);
    }
    Held<IWICStream> stream;
    Held<IWICBitmapDecoder> decoder;
    Held<IWICBitmapFrameDecode> frame;
    if (FAILED(factory.p->CreateStream(&stream.p)) ||
        FAILED(stream.p->InitializeFromMemory((BYTE*)file, (DWORD)size)) ||
        FAILED(factory.p->CreateDecoderFromStream(stream.p, NULL, WICDecodeMetadataCacheOnDemand, &decoder.p)) ||
        FAILED(decoder.p->GetFrame(0, &frame.p))) {
        return refuse(problem, PICTURE_UNREADABLE);
    }
    UINT width = 0, height = 0;
    WICPixelFormatGUID format;
    if (FAILED(frame.p->GetSize(&width, &height)) || FAILED(frame.p->GetPixelFormat(&format))) {
        return refuse(problem, PICTURE_DAMAGED);
    }
    picture->indexBits = indexBitsOf(format);
    if (!fits(width, height, picture->indexBits != 0, problem))
        return 0;
    picture->width = (int32_t)width;
    picture->height = (int32_t)height;
    picture->saysTransparency = saysTransparency;
    int copied = 0;
    try {
        copied = picture->indexBits != 0 ? copyIndexed(factory.p, frame.p, picture)
                                         : copyFullColour(factory.p, frame.p, picture);
    } catch (const std::bad_alloc&) {
        return refuse(problem, PICTURE_NO_MEMORY);
    }
    return copied ? 1 : refuse(problem, PICTURE_DAMAGED);
}
