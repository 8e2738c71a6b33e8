// The native build's stand-in for <wincodec.h>: the few COM types and calls
// of the Windows Imaging Component that the converter makes, declared as
// Windows declares them. The native build has no imaging component:
// CoCreateInstance fails as on a Windows without one (native_imaging.cpp),
// so the native converter reads its own BMPs and refuses other pictures, and
// makes no PNG; both are tested under Wine with the real component.
#ifndef PORVANE_NATIVE_WINCODEC_H
#define PORVANE_NATIVE_WINCODEC_H

#include <string.h>

#include "windows.h"

typedef LONG HRESULT;
typedef uint32_t ULONG;
#define SUCCEEDED(result) ((HRESULT)(result) >= 0)
#define FAILED(result) ((HRESULT)(result) < 0)
#define STDMETHODCALLTYPE
const HRESULT S_OK = 0;
const HRESULT REGDB_E_CLASSNOTREG = (HRESULT)0x80040154;
const HRESULT E_NOTIMPL = (HRESULT)0x80004001;
const HRESULT E_OUTOFMEMORY = (HRESULT)0x8007000E;

struct GUID {
    uint32_t Data1;
    uint16_t Data2, Data3;
    uint8_t Data4[8];
};
typedef GUID IID, CLSID, WICPixelFormatGUID;
typedef const GUID& REFIID;
typedef const GUID& REFCLSID;
typedef const GUID& REFGUID;
inline bool IsEqualGUID(const GUID& a, const GUID& b) { return memcmp(&a, &b, sizeof a) == 0; }

extern const CLSID CLSID_WICImagingFactory;
extern const GUID GUID_ContainerFormatPng;
extern const IID IID_IWICImagingFactory;
extern const WICPixelFormatGUID GUID_WICPixelFormat1bppIndexed, GUID_WICPixelFormat2bppIndexed,
    GUID_WICPixelFormat4bppIndexed, GUID_WICPixelFormat8bppIndexed, GUID_WICPixelFormat32bppBGRA;

enum { COINIT_APARTMENTTHREADED = 2, CLSCTX_INPROC_SERVER = 1 };
HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD flags);
HRESULT WINAPI CoCreateInstance(REFCLSID classId, void* outer, DWORD context, REFIID interfaceId, void** object);

typedef uint32_t WICColor;
struct WICRect {
    int32_t X, Y, Width, Height;
};
enum WICDecodeOptions { WICDecodeMetadataCacheOnDemand = 0 };
enum WICBitmapDitherType { WICBitmapDitherTypeNone = 0 };
enum WICBitmapPaletteType { WICBitmapPaletteTypeCustom = 0 };

struct IUnknown {
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
struct ULARGE_INTEGER {
    uint64_t QuadPart;
};
struct STATSTG {  // the one field the converter reads
    ULARGE_INTEGER cbSize;
};
enum { STATFLAG_NONAME = 1 };
struct IStream : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Stat(STATSTG* statistics, DWORD flags) = 0;
};
// A stream over movable memory, which grows as it is written.
HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, IStream** stream);
HRESULT WINAPI GetHGlobalFromStream(IStream* stream, HGLOBAL* memory);
struct IWICStream : IStream {
    virtual HRESULT STDMETHODCALLTYPE InitializeFromMemory(BYTE* buffer, DWORD size) = 0;
};
struct IWICPalette : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetColorCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetColors(UINT count, WICColor* colours, UINT* got) = 0;
};
struct IWICBitmapSource : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette* palette) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* pixels) = 0;
};
struct IWICBitmapFrameDecode : IWICBitmapSource {};
struct IWICFormatConverter : IWICBitmapSource {
    virtual HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, REFIID format, WICBitmapDitherType dither,
                                                 IWICPalette* palette, double alphaThreshold,
                                                 WICBitmapPaletteType paletteType) = 0;
};
struct IWICBitmapDecoder : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetFrame(UINT index, IWICBitmapFrameDecode** frame) = 0;
};
enum WICBitmapEncoderCacheOption { WICBitmapEncoderNoCache = 2 };
struct IPropertyBag2 : IUnknown {};
struct IWICBitmapFrameEncode : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Initialize(IPropertyBag2* options) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(UINT width, UINT height) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE WritePixels(UINT lines, UINT stride, UINT size, BYTE* pixels) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit() = 0;
};
struct IWICBitmapEncoder : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Initialize(IStream* stream, WICBitmapEncoderCacheOption cache) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateNewFrame(IWICBitmapFrameEncode** frame, IPropertyBag2** options) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit() = 0;
};
struct IWICImagingFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateEncoder(REFGUID container, const GUID* vendor,
                                                    IWICBitmapEncoder** encoder) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateDecoderFromStream(IStream* stream, const GUID* vendor,
                                                              WICDecodeOptions options, IWICBitmapDecoder** decoder) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreatePalette(IWICPalette** palette) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateFormatConverter(IWICFormatConverter** converter) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateStream(IWICStream** stream) = 0;
};

#endif
