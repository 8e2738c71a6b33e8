#include "png_writer.h"

#include <stdint.h>

#include <new>

#include "../pictures/com_object.h"

PngEncoder::PngEncoder()
{
    startCom();
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                (void**)&factory_)))
        factory_ = NULL;
}

PngEncoder::~PngEncoder()
{
    if (factory_ != NULL)
        factory_->Release();
}

// The encoder's answer as a problem: memory, or a picture it would not take.
static PngProblem failure(HRESULT result)
{
    return result == E_OUTOFMEMORY ? PNG_NO_MEMORY : PNG_NOT_ENCODED;
}

// Copies the stream's bytes, which lie at the start of its movable memory
// (the memory may be larger than what was written).
static PngProblem copyStream(IStream* stream, std::vector<uint8_t>* png)
{
    STATSTG statistics;
    HGLOBAL memory = NULL;
    HRESULT result = stream->Stat(&statistics, STATFLAG_NONAME);
    if (SUCCEEDED(result))
        result = GetHGlobalFromStream(stream, &memory);
    if (FAILED(result))
        return failure(result);
    if (statistics.cbSize.QuadPart > 0xFFFFFFFFu)
        return PNG_NO_MEMORY;
    const void* bytes = GlobalLock(memory);
    if (bytes == NULL)
        return PNG_NO_MEMORY;
    png->assign((const uint8_t*)bytes, (const uint8_t*)bytes + (size_t)statistics.cbSize.QuadPart);
    GlobalUnlock(memory);
    return PNG_ENCODED;
}

PngProblem PngEncoder::encode(const uint8_t* rgba, int32_t width, int32_t height, std::vector<uint8_t>* png) const
{
    png->clear();
    if (factory_ == NULL)
        return PNG_NO_IMAGING_COMPONENT;
    // The encoder counts a picture's bytes in 32 bits.
    const uint64_t stride = 4 * (uint64_t)(width > 0 ? width : 0), bytes = stride * (uint64_t)(height > 0 ? height : 0);
    if (bytes == 0)
        return PNG_NOT_ENCODED;
    if (bytes > 0xFFFFFFFFu || bytes > SIZE_MAX)
        return PNG_NO_MEMORY;
    try {
        // Blue, green, red, alpha: the order every version of the encoder takes.
        std::vector<uint8_t> bgra(rgba, rgba + (size_t)bytes);
        for (size_t i = 0; i < bgra.size(); i += 4) {
            bgra[i] = rgba[i + 2];
            bgra[i + 2] = rgba[i];
        }
        Held<IStream> stream;
        Held<IWICBitmapEncoder> encoder;
        Held<IWICBitmapFrameEncode> frame;
        Held<IPropertyBag2> options;
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        HRESULT result = CreateStreamOnHGlobal(NULL, TRUE, &stream.p);
        if (SUCCEEDED(result))
            result = factory_->CreateEncoder(GUID_ContainerFormatPng, NULL, &encoder.p);
        if (SUCCEEDED(result))
            result = encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache);
        if (SUCCEEDED(result))
            result = encoder.p->CreateNewFrame(&frame.p, &options.p);
        if (SUCCEEDED(result))
            result = frame.p->Initialize(options.p);
        if (SUCCEEDED(result))
            result = frame.p->SetSize((UINT)width, (UINT)height);
        if (SUCCEEDED(result))
            result = frame.p->SetPixelFormat(&format);
        if (SUCCEEDED(result) && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA))
            return PNG_NOT_ENCODED;  // it would have changed the pixels
        if (SUCCEEDED(result))
            result = frame.p->WritePixels((UINT)height, (UINT)stride, (UINT)bytes, bgra.data());
        if (SUCCEEDED(result))
            result = frame.p->Commit();
        if (SUCCEEDED(result))
            result = encoder.p->Commit();
        if (FAILED(result))
            return failure(result);
        const PngProblem copied = copyStream(stream.p, png);
        if (copied != PNG_ENCODED)
            png->clear();
        return copied;
    } catch (const std::bad_alloc&) {
        png->clear();
        return PNG_NO_MEMORY;
    }
}

PngSaved savePng(const PngEncoder& encoder, const uint8_t* rgba, int32_t width, int32_t height,
                 const std::wstring& path, const ProtectedFiles& protectedFiles)
{
    PngSaved saved;
    std::vector<uint8_t> png;
    saved.encoding = encoder.encode(rgba, width, height, &png);
    if (saved.encoding == PNG_ENCODED)
        saved.written = writeBytesFile(png.data(), png.size(), path, protectedFiles);
    return saved;
}
