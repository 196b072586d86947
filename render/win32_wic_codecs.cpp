// JPEG, PNG and whatever else the Windows Imaging Component decodes. The
// component scales while it decodes (a JPEG at a fraction of its size), turns
// the pixels into premultiplied BGRA, which lays any alpha over black, and
// the EXIF orientation of a JPEG is applied here as on the other platforms.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// windows.h first
#include <objbase.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <algorithm>
#include <vector>

#include "render/picture_codecs.h"

namespace orvex {

namespace {

template <typename T>
struct Com {
    T* p = nullptr;
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

// COM for the calling thread, for the length of one decode.
struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ComScope() = default;
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

bool is_jpeg_or_png(const uint8_t* data, std::size_t size) {
    static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) ||
           (size >= 8 && std::equal(kPng, kPng + 8, data));
}

}  // namespace

CodecResult decode_with_platform(const uint8_t* data, std::size_t size, const PictureLimits& limits) {
    CodecResult result;
    result.failure = is_jpeg_or_png(data, size) ? kBmpConversionError : nullptr;
    if (size > UINT_MAX) return result;
    ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.out()))))
        return result;
    stream.p = SHCreateMemStream(data, static_cast<UINT>(size));
    if (!stream.p) return result;
    if (FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())))
        return result;  // no decoder knows these bytes
    result.failure = kBmpConversionError;
    if (FAILED(decoder->GetFrame(0, frame.out()))) return result;
    UINT w = 0, h = 0;
    if (FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0) return result;
    if (int64_t{w} * h > limits.max_source_pixels) {
        result.failure = kBmpOutOfMemory;
        return result;
    }
    const int orientation = jpeg_file_orientation(data, size);

    IWICBitmapSource* source = frame.p;
    const UINT dw = static_cast<UINT>(reduced_side(static_cast<int>(w), limits.max_side));
    const UINT dh = static_cast<UINT>(reduced_side(static_cast<int>(h), limits.max_side));
    Com<IWICBitmapScaler> scaler;
    if (dw != w || dh != h) {
        if (FAILED(factory->CreateBitmapScaler(scaler.out())) ||
            FAILED(scaler->Initialize(source, dw, dh, WICBitmapInterpolationModeFant)))
            return result;
        source = scaler.p;
    }
    Com<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.out())) ||
        FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return result;
    std::vector<uint8_t> bgra(std::size_t{dw} * dh * 4);
    if (FAILED(converter->CopyPixels(nullptr, dw * 4, static_cast<UINT>(bgra.size()), bgra.data()))) return result;

    RgbImage image;
    image.width = static_cast<int32_t>(dw);
    image.height = static_cast<int32_t>(dh);
    image.pixels.resize(std::size_t{dw} * dh * 3);
    for (std::size_t y = 0; y < dh; ++y) {
        const uint8_t* src = &bgra[(dh - 1 - y) * dw * 4];  // top row first there, bottom row first here
        uint8_t* dst = &image.pixels[y * dw * 3];
        for (std::size_t x = 0; x < dw; ++x) {
            dst[x * 3] = src[x * 4 + 2];
            dst[x * 3 + 1] = src[x * 4 + 1];
            dst[x * 3 + 2] = src[x * 4];
        }
    }
    result.image = apply_orientation(std::move(image), orientation);
    result.failure = nullptr;
    return result;
}

}  // namespace orvex
