// JPEG and PNG through the Windows Imaging Component's own decoders, created by
// their class for the format the file's first bytes show. Nothing asks the
// component which installed codec knows a file: a third-party codec for some
// other format is never loaded for a file from the pictures folder, which
// every user may write. The component reads from a stream on the file itself (no copy of it in memory),
// scales while it decodes (a JPEG at a fraction of its size), turns the
// pixels into premultiplied BGRA, which lays any alpha over black, and hands
// them over in bands of rows, between which a cancelled decode stops. The
// EXIF orientation of a JPEG is applied here as on the other platforms.
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
#include <filesystem>
#include <vector>

#include "picture/picture_codecs.h"

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

constexpr UINT kBandRows = 64;
constexpr uint64_t kOrientationBytes = 256 * 1024;  // the EXIF segments come before the pixels

HRESULT open_stream(PictureInput& input, IStream** stream) {
    if (const std::filesystem::path* path = input.path())
        return SHCreateStreamOnFileEx(path->c_str(), STGM_READ | STGM_SHARE_DENY_NONE, FILE_ATTRIBUTE_NORMAL, FALSE,
                                      nullptr, stream);
    if (input.memory() == nullptr || input.size() > UINT_MAX) return E_FAIL;
    *stream = SHCreateMemStream(input.memory(), static_cast<UINT>(input.size()));
    return *stream ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

CodecResult decode_with_platform(PictureInput& input, const uint8_t* head, std::size_t head_size,
                                 const PictureLimits& limits) {
    CodecResult result;
    const bool jpeg = is_jpeg_signature(head, head_size);
    if (!jpeg && !is_png_signature(head, head_size)) return result;  // not ours: the BMP reader's message stands
    result.failure = kBmpConversionError;
    ComScope com;
    Com<IWICImagingFactory> factory;
    Com<IStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.out()))))
        return result;
    if (FAILED(open_stream(input, stream.out()))) return result;
    if (FAILED(CoCreateInstance(jpeg ? CLSID_WICJpegDecoder : CLSID_WICPngDecoder, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(decoder.out()))) ||
        FAILED(decoder->Initialize(stream.p, WICDecodeMetadataCacheOnDemand)))
        return result;
    if (FAILED(decoder->GetFrame(0, frame.out()))) return result;
    UINT w = 0, h = 0;
    if (FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0) return result;
    if (over_pixel_limit(w, h, limits.max_source_pixels)) {
        result.failure = kBmpOutOfMemory;
        return result;
    }
    int orientation = 1;
    if (jpeg) {
        const std::vector<uint8_t> start = read_start(input, kOrientationBytes);
        orientation = jpeg_file_orientation(start.data(), start.size());
    }

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
    RgbImage image;
    image.width = static_cast<int32_t>(dw);
    image.height = static_cast<int32_t>(dh);
    image.pixels.resize(std::size_t{dw} * dh * 3);
    std::vector<uint8_t> bgra(std::size_t{dw} * kBandRows * 4);
    for (UINT top = 0; top < dh; top += kBandRows) {
        if (limits.cancelled()) {
            result.failure = kPictureCancelled;
            return result;
        }
        const UINT rows = std::min(kBandRows, dh - top);
        const WICRect band{0, static_cast<INT>(top), static_cast<INT>(dw), static_cast<INT>(rows)};
        if (FAILED(converter->CopyPixels(&band, dw * 4, dw * 4 * rows, bgra.data()))) return result;
        for (std::size_t r = 0; r < rows; ++r) {
            const uint8_t* src = &bgra[r * dw * 4];  // top row first there, bottom row first here
            uint8_t* dst = &image.pixels[(dh - 1 - top - r) * std::size_t{dw} * 3];
            for (std::size_t x = 0; x < dw; ++x) {
                dst[x * 3] = src[x * 4 + 2];
                dst[x * 3 + 1] = src[x * 4 + 1];
                dst[x * 3 + 2] = src[x * 4];
            }
        }
    }
    result.image = apply_orientation(std::move(image), orientation);
    result.failure = nullptr;
    return result;
}

}  // namespace orvex
