// No imaging component natively: creating its factory fails with "class not
// registered", as on a Windows that has none. Nor COM's streams, which only
// the component's encoders write to.
#include <wincodec.h>

const CLSID CLSID_WICImagingFactory = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
const GUID GUID_ContainerFormatPng = {0x1b7cfaf4, 0x713f, 0x473c, {0xbb, 0xcd, 0x61, 0x37, 0x42, 0x5f, 0xae, 0xaf}};
const IID IID_IWICImagingFactory = {0xec5ec8a9, 0xc395, 0x4314, {0x9c, 0x77, 0x54, 0xd7, 0xa9, 0x35, 0xff, 0x70}};
const WICPixelFormatGUID GUID_WICPixelFormat1bppIndexed = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x01}};
const WICPixelFormatGUID GUID_WICPixelFormat2bppIndexed = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x02}};
const WICPixelFormatGUID GUID_WICPixelFormat4bppIndexed = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x03}};
const WICPixelFormatGUID GUID_WICPixelFormat8bppIndexed = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x04}};
const WICPixelFormatGUID GUID_WICPixelFormat32bppBGRA = {
    0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0f}};

HRESULT WINAPI CoInitializeEx(LPVOID /*reserved*/, DWORD /*flags*/)
{
    return S_OK;
}

HRESULT WINAPI CoCreateInstance(REFCLSID /*classId*/, void* /*outer*/, DWORD /*context*/, REFIID /*interfaceId*/,
                                void** object)
{
    *object = NULL;
    return REGDB_E_CLASSNOTREG;
}

HRESULT WINAPI CreateStreamOnHGlobal(HGLOBAL /*memory*/, BOOL /*deleteOnRelease*/, IStream** stream)
{
    *stream = NULL;
    return E_NOTIMPL;
}

HRESULT WINAPI GetHGlobalFromStream(IStream* /*stream*/, HGLOBAL* memory)
{
    *memory = NULL;
    return E_NOTIMPL;
}
