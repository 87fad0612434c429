#include "host/twacquire/wic_encoder.h"

#include "host/twacquire/raster_forms.h"

#include <windows.h>

#include <objbase.h>
#include <wincodec.h>

#include <cstdio>

namespace twacquire {

namespace {

// Releases a COM interface when it goes out of scope.
template <class T>
class Com {
public:
    ~Com() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    T* p = nullptr;
};

const char* Name(WicFormat f) {
    switch (f) {
    case WicFormat::Png: return "PNG";
    case WicFormat::Jpeg: return "JPEG";
    }
    return "?";
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// Writes one option of the encoder's property bag.
HRESULT WriteOption(IPropertyBag2* bag, const wchar_t* name, VARIANT value) {
    PROPBAG2 option{};
    option.pstrName = const_cast<LPOLESTR>(name);
    return bag->Write(1, &option, &value);
}

// Keeps COM initialised on this thread while an encoding runs.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

}  // namespace

bool WicEncode(const Raster& r, WicFormat format, int jpegQuality, std::vector<uint8_t>& file,
               std::string& error) {
    const std::string encoder = std::string("the imaging component's ") + Name(format) + " encoder";
    auto failed = [&](const char* step, HRESULT hr) {
        error = encoder + ": " + step + " failed (" + Hex(hr) + ")";
        return false;
    };
    const bool bilevel = r.bitsPerPixel == 1;
    if (format == WicFormat::Jpeg && bilevel) {
        error = encoder + " is not given " + std::to_string(r.bitsPerPixel) + "-bit images";
        return false;
    }
    ComScope com;
    Com<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return failed("creating the imaging factory", hr);

    const GUID container = format == WicFormat::Png ? GUID_ContainerFormatPng : GUID_ContainerFormatJpeg;
    Com<IStream> stream;
    hr = CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (FAILED(hr)) return failed("creating a memory stream", hr);
    Com<IWICBitmapEncoder> enc;
    hr = factory->CreateEncoder(container, nullptr, &enc);
    if (FAILED(hr)) {
        error = encoder + " is missing (CreateEncoder: " + Hex(hr) + ")";
        return false;
    }
    hr = enc->Initialize(stream.p, WICBitmapEncoderNoCache);
    if (FAILED(hr)) return failed("Initialize", hr);
    Com<IWICBitmapFrameEncode> frame;
    Com<IPropertyBag2> options;
    hr = enc->CreateNewFrame(&frame, &options);
    if (FAILED(hr)) return failed("CreateNewFrame", hr);
    if (format == WicFormat::Jpeg) {
        VARIANT quality;
        VariantInit(&quality);
        quality.vt = VT_R4;
        quality.fltVal = static_cast<float>(jpegQuality) / 100.0f;
        hr = WriteOption(options.p, L"ImageQuality", quality);
        if (FAILED(hr)) return failed("setting ImageQuality", hr);
    }
    hr = frame->Initialize(options.p);
    if (FAILED(hr)) return failed("frame Initialize", hr);
    hr = frame->SetSize(r.width, r.height);
    if (FAILED(hr)) return failed("SetSize", hr);
    if (r.xDpi > 0 && r.yDpi > 0) {
        hr = frame->SetResolution(r.xDpi, r.yDpi);
        if (FAILED(hr)) return failed("SetResolution", hr);
    }
    const GUID wanted = bilevel               ? GUID_WICPixelFormatBlackWhite
                        : r.bitsPerPixel == 8 ? GUID_WICPixelFormat8bppGray
                                              : GUID_WICPixelFormat24bppBGR;
    WICPixelFormatGUID pixels = wanted;
    hr = frame->SetPixelFormat(&pixels);
    if (FAILED(hr)) return failed("SetPixelFormat", hr);
    if (pixels != wanted) {
        error = encoder + " does not take " + std::to_string(r.bitsPerPixel) +
                "-bit pixels as they are";
        return false;
    }
    std::vector<uint8_t> rows = BlackAtZeroBgrRows(r);
    const UINT stride = r.RowBytes();
    hr = frame->WritePixels(r.height, stride, static_cast<UINT>(rows.size()), rows.data());
    if (FAILED(hr)) return failed("WritePixels", hr);
    hr = frame->Commit();
    if (FAILED(hr)) return failed("frame Commit", hr);
    hr = enc->Commit();
    if (FAILED(hr)) return failed("Commit", hr);

    STATSTG stat{};
    hr = stream->Stat(&stat, STATFLAG_NONAME);
    if (FAILED(hr)) return failed("reading the stream's size", hr);
    const LARGE_INTEGER start{};
    hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
    if (FAILED(hr)) return failed("rewinding the stream", hr);
    file.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG got = 0;
    hr = stream->Read(file.data(), static_cast<ULONG>(file.size()), &got);
    if (FAILED(hr) || got != file.size()) return failed("reading the stream", hr);
    return true;
}

}  // namespace twacquire
