// JPEG through libjpeg-turbo, PNG through libpng. Both report errors by a
// jump out of the library; every object with a destructor lives before the
// setjmp in the function that calls the library, so the jump skips none.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "render/picture_codecs.h"

namespace orvex {

namespace {

constexpr int kJpegEighths = 8;  // libjpeg scales by n / 8

struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void jpeg_fail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1); }

// Warnings are let through (a photo with a flaw still shows), except a file
// that ends early: the rest of the picture would be grey.
void jpeg_message(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) jpeg_fail(cinfo);
}

bool is_jpeg(const uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

CodecResult decode_jpeg(const uint8_t* data, std::size_t size, const PictureLimits& limits) {
    CodecResult result;
    result.failure = kBmpConversionError;
    std::vector<uint8_t> row;
    std::optional<BoxReducer> reducer;
    int orientation = 1;
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    cinfo.err = jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = jpeg_fail;
    errors.mgr.emit_message = jpeg_message;
    jpeg_create_decompress(&cinfo);
    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_decompress(&cinfo);
        return result;
    }
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && orientation == 1) orientation = exif_orientation(m->data, m->data_length);
    const int64_t pixels = int64_t{cinfo.image_width} * cinfo.image_height;
    if (pixels > limits.max_source_pixels) {
        jpeg_destroy_decompress(&cinfo);
        result.failure = kBmpOutOfMemory;
        return result;
    }
    cinfo.out_color_space = JCS_RGB;
    // The smallest eighth that still leaves both sides at least as large as
    // the result; the box filter does the rest.
    unsigned num = 1;
    for (unsigned side : {cinfo.image_width, cinfo.image_height}) {
        const unsigned wanted = static_cast<unsigned>(reduced_side(static_cast<int>(side), limits.max_side));
        num = std::max(num, (wanted * kJpegEighths + side - 1) / side);
    }
    if (num < kJpegEighths) {
        cinfo.scale_num = num;
        cinfo.scale_denom = kJpegEighths;
    }
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
    reducer.emplace(w, h, reduced_side(w, limits.max_side), reduced_side(h, limits.max_side));
    row.resize(static_cast<std::size_t>(w) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const int y = h - 1 - static_cast<int>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) jpeg_fail(reinterpret_cast<j_common_ptr>(&cinfo));
        reducer->add_row(y, row.data());
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    result.image = apply_orientation(reducer->finish(), orientation);
    result.failure = nullptr;
    return result;
}

struct PngInput {
    const uint8_t* data;
    std::size_t size;
    std::size_t at;
};

void png_read_bytes(png_structp png, png_bytep out, png_size_t length) {
    auto* in = static_cast<PngInput*>(png_get_io_ptr(png));
    if (length > in->size - in->at) png_error(png, "end of file");
    std::memcpy(out, in->data + in->at, length);
    in->at += length;
}

void png_quiet(png_structp, png_const_charp) {}
[[noreturn]] void png_fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }

bool is_png(const uint8_t* data, std::size_t size) { return size >= 8 && png_sig_cmp(data, 0, 8) == 0; }

CodecResult decode_png(const uint8_t* data, std::size_t size, const PictureLimits& limits) {
    CodecResult result;
    result.failure = kBmpConversionError;
    PngInput input{data, size, 0};
    std::vector<uint8_t> pixels;  // one row, or the whole picture when it is interlaced
    std::vector<uint8_t> rgb;
    std::optional<BoxReducer> reducer;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_fail, png_quiet);
    if (png == nullptr) return result;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_read_struct(&png, &info, nullptr);
        return result;
    }
    png_set_read_fn(png, &input, png_read_bytes);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    if (int64_t{w} * h > limits.max_source_pixels) {
        png_destroy_read_struct(&png, &info, nullptr);
        result.failure = kBmpOutOfMemory;
        return result;
    }
    png_set_expand(png);  // palette to RGB, small grey depths to 8 bits, transparency to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t channels = png_get_channels(png, info);
    const std::size_t row_bytes = png_get_rowbytes(png, info);
    if ((channels != 3 && channels != 4) || row_bytes != w * channels) png_error(png, "unexpected layout");
    const int iw = static_cast<int>(w), ih = static_cast<int>(h);
    reducer.emplace(iw, ih, reduced_side(iw, limits.max_side), reduced_side(ih, limits.max_side));
    rgb.resize(std::size_t{w} * 3);
    pixels.resize(row_bytes * (passes > 1 ? h : 1));
    auto add = [&](png_uint_32 y, const uint8_t* src) {
        for (std::size_t x = 0; x < w; ++x)
            for (std::size_t c = 0; c < 3; ++c) {
                const unsigned v = src[x * channels + c];
                // Alpha laid over black.
                rgb[x * 3 + c] = static_cast<uint8_t>(channels == 4 ? (v * src[x * 4 + 3] + 127) / 255 : v);
            }
        reducer->add_row(ih - 1 - static_cast<int>(y), rgb.data());
    };
    if (passes > 1) {
        for (int pass = 0; pass < passes; ++pass)
            for (png_uint_32 y = 0; y < h; ++y) png_read_row(png, &pixels[y * row_bytes], nullptr);
        for (png_uint_32 y = 0; y < h; ++y) add(y, &pixels[y * row_bytes]);
    } else {
        for (png_uint_32 y = 0; y < h; ++y) {
            png_read_row(png, pixels.data(), nullptr);
            add(y, pixels.data());
        }
    }
    // What follows the pixels (text, times) is not needed, nor read.
    png_destroy_read_struct(&png, &info, nullptr);
    result.image = reducer->finish();
    result.failure = nullptr;
    return result;
}

}  // namespace

CodecResult decode_with_platform(const uint8_t* data, std::size_t size, const PictureLimits& limits) {
    if (is_jpeg(data, size)) return decode_jpeg(data, size, limits);
    if (is_png(data, size)) return decode_png(data, size, limits);
    return {};
}

}  // namespace orvex
