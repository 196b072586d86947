// JPEG through libjpeg-turbo, PNG through libpng. Both report errors by a
// jump out of the library back into the function that called it; every
// object with a destructor lives before the setjmp there, so the jump skips
// none, and a guard frees the library's structures on every way out, an
// exception (std::bad_alloc) included.
#include <png.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "picture/picture_codecs.h"

namespace orvex {

namespace {

constexpr int kJpegEighths = 8;                  // libjpeg scales by n / 8
constexpr std::size_t kJpegBufferBytes = 65536;  // read from a file this much at a time

struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    const char* why = kBmpConversionError;
};

[[noreturn]] void jpeg_fail(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    // Over the memory budget (no backing store to go to) or out of memory.
    if (cinfo->err->msg_code == JERR_NO_BACKING_STORE || cinfo->err->msg_code == JERR_OUT_OF_MEMORY)
        errors->why = kBmpOutOfMemory;
    std::longjmp(errors->jump, 1);
}

// Warnings are let through (a photo with a flaw still shows), except a file
// that ends early: the rest of the picture would be grey.
void jpeg_message(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) jpeg_fail(cinfo);
}

// Called by libjpeg between rows of every pass, the long first pass of a
// progressive picture included.
struct JpegProgress {
    jpeg_progress_mgr mgr;
    const PictureLimits* limits;
};

void jpeg_progress(j_common_ptr cinfo) {
    if (!reinterpret_cast<JpegProgress*>(cinfo->progress)->limits->cancelled()) return;
    reinterpret_cast<JpegErrors*>(cinfo->err)->why = kPictureCancelled;
    jpeg_fail(cinfo);
}

// The compressed bytes, read from the input a buffer at a time.
struct JpegSource {
    jpeg_source_mgr mgr;
    PictureInput* input;
    uint8_t* buffer;
};

void jpeg_source_start(j_decompress_ptr) {}
void jpeg_source_end(j_decompress_ptr) {}

boolean jpeg_source_fill(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<JpegSource*>(cinfo->src);
    std::size_t got = src->input->read(src->buffer, kJpegBufferBytes);
    if (got == 0) {
        WARNMS(cinfo, JWRN_JPEG_EOF);  // fails: see jpeg_message
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->mgr.next_input_byte = src->buffer;
    src->mgr.bytes_in_buffer = got;
    return TRUE;
}

void jpeg_source_skip(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<JpegSource*>(cinfo->src);
    if (count <= 0) return;
    while (static_cast<std::size_t>(count) > src->mgr.bytes_in_buffer) {
        count -= static_cast<long>(src->mgr.bytes_in_buffer);
        jpeg_source_fill(cinfo);
    }
    src->mgr.next_input_byte += count;
    src->mgr.bytes_in_buffer -= static_cast<std::size_t>(count);
}

struct JpegGuard {
    jpeg_decompress_struct* cinfo;
    ~JpegGuard() { jpeg_destroy_decompress(cinfo); }
};

// CMYK as Adobe's programs write it (APP14 marker) is stored inverted: 255
// means no ink. Either way a channel is the light that its ink and black let through.
void cmyk_to_rgb(const uint8_t* cmyk, std::size_t width, bool inverted, uint8_t* rgb) {
    for (std::size_t x = 0; x < width; ++x) {
        const unsigned k = inverted ? cmyk[x * 4 + 3] : 255u - cmyk[x * 4 + 3];
        for (std::size_t c = 0; c < 3; ++c) {
            const unsigned ink = inverted ? cmyk[x * 4 + c] : 255u - cmyk[x * 4 + c];
            rgb[x * 3 + c] = static_cast<uint8_t>((ink * k + 127) / 255);
        }
    }
}

CodecResult decode_jpeg(PictureInput& input, const PictureLimits& limits) {
    CodecResult result;
    std::vector<uint8_t> row;
    std::vector<uint8_t> rgb;
    std::vector<uint8_t> buffer;
    std::optional<BoxReducer> reducer;
    volatile int orientation = 1;  // set after the setjmp
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    JpegProgress progress{};
    JpegSource source{};
    cinfo.err = jpeg_std_error(&errors.mgr);
    errors.mgr.error_exit = jpeg_fail;
    errors.mgr.emit_message = jpeg_message;
    if (!input.seek(0)) {
        result.failure = kBmpConversionError;
        return result;
    }
    if (!input.memory()) buffer.resize(kJpegBufferBytes);
    jpeg_create_decompress(&cinfo);
    JpegGuard guard{&cinfo};
    if (setjmp(errors.jump) != 0) {
        result.failure = errors.why;
        return result;
    }
    if (const uint8_t* bytes = input.memory()) {
        jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(input.size()));
    } else {
        source.mgr.init_source = jpeg_source_start;
        source.mgr.fill_input_buffer = jpeg_source_fill;
        source.mgr.skip_input_data = jpeg_source_skip;
        source.mgr.resync_to_restart = jpeg_resync_to_restart;
        source.mgr.term_source = jpeg_source_end;
        source.input = &input;
        source.buffer = buffer.data();
        cinfo.src = &source.mgr;
    }
    progress.mgr.progress_monitor = jpeg_progress;
    progress.limits = &limits;
    cinfo.progress = &progress.mgr;
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next)
        if (m->marker == JPEG_APP0 + 1 && orientation == 1) orientation = exif_orientation(m->data, m->data_length);
    if (over_pixel_limit(cinfo.image_width, cinfo.image_height, limits.max_source_pixels)) {
        result.failure = kBmpOutOfMemory;
        return result;
    }
    // libjpeg-turbo gives CMYK and YCCK pictures only as CMYK; they become RGB here.
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
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
    // A progressive picture keeps all its coefficients while it decodes; how
    // much that may be is bounded by the file's size, so a small file that
    // claims a huge picture is refused when libjpeg asks, not given it.
    // (libjpeg-turbo has no backing store to fall back on.)
    cinfo.mem->max_memory_to_use =
        static_cast<long>(std::min<uint64_t>(decoder_memory_budget(input.size()), static_cast<uint64_t>(LONG_MAX)));
    jpeg_start_decompress(&cinfo);
    const int w = static_cast<int>(cinfo.output_width), h = static_cast<int>(cinfo.output_height);
    reducer.emplace(w, h, reduced_side(w, limits.max_side), reduced_side(h, limits.max_side));
    row.resize(static_cast<std::size_t>(w) * (cmyk ? 4 : 3));
    if (cmyk) rgb.resize(static_cast<std::size_t>(w) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const int y = h - 1 - static_cast<int>(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) jpeg_fail(reinterpret_cast<j_common_ptr>(&cinfo));
        if (cmyk) cmyk_to_rgb(row.data(), static_cast<std::size_t>(w), cinfo.saw_Adobe_marker, rgb.data());
        reducer->add_row(y, cmyk ? rgb.data() : row.data());
    }
    jpeg_finish_decompress(&cinfo);
    result.image = apply_orientation(reducer->finish(), orientation);
    return result;
}

struct PngRead {
    PictureInput* input;
    const PictureLimits* limits;
    const char* why = kBmpConversionError;
};

void png_read_bytes(png_structp png, png_bytep out, png_size_t length) {
    auto* in = static_cast<PngRead*>(png_get_io_ptr(png));
    if (in->input->read(out, length) != length) png_error(png, "end of file");
}

void png_quiet(png_structp, png_const_charp) {}
[[noreturn]] void png_fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }

struct PngGuard {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngGuard() {
        if (png != nullptr) png_destroy_read_struct(&png, &info, nullptr);
    }
};

CodecResult decode_png(PictureInput& input, const PictureLimits& limits) {
    CodecResult result;
    result.failure = kBmpConversionError;
    PngRead read{&input, &limits};
    std::vector<uint8_t> pixels;  // one row, or one row of an interlace pass
    std::vector<uint8_t> rgb;
    std::optional<BoxReducer> reducer;
    if (!input.seek(0)) return result;
    PngGuard guard;
    guard.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_fail, png_quiet);
    if (guard.png == nullptr) return result;
    guard.info = png_create_info_struct(guard.png);
    png_structp png = guard.png;
    png_infop info = guard.info;
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        result.failure = read.why;
        return result;
    }
    png_set_read_fn(png, &read, png_read_bytes);
    png_read_info(png, info);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    if (over_pixel_limit(w, h, limits.max_source_pixels)) {
        result.failure = kBmpOutOfMemory;
        return result;
    }
    png_set_expand(png);  // palette to RGB, small grey depths to 8 bits, transparency to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    // An interlaced picture comes pass by pass, each pass's rows holding only
    // its own pixels; they go into the reduction where they lie.
    const bool interlaced = png_get_interlace_type(png, info) == PNG_INTERLACE_ADAM7;
    png_read_update_info(png, info);
    const std::size_t channels = png_get_channels(png, info);
    const std::size_t row_bytes = png_get_rowbytes(png, info);
    if ((channels != 3 && channels != 4) || row_bytes != w * channels) png_error(png, "unexpected layout");
    const int iw = static_cast<int>(w), ih = static_cast<int>(h);
    reducer.emplace(iw, ih, reduced_side(iw, limits.max_side), reduced_side(ih, limits.max_side));
    rgb.resize(std::size_t{w} * 3);
    pixels.resize(row_bytes);
    auto next_row = [&](uint8_t* into) {
        if (limits.cancelled()) {
            read.why = kPictureCancelled;
            png_error(png, "cancelled");
        }
        png_read_row(png, into, nullptr);
    };
    // count pixels of row y (from the top) at columns x0, x0 + step, ...
    auto add = [&](png_uint_32 y, png_uint_32 x0, png_uint_32 step, png_uint_32 count, const uint8_t* src) {
        for (std::size_t x = 0; x < count; ++x)
            for (std::size_t c = 0; c < 3; ++c) {
                const unsigned v = src[x * channels + c];
                // Alpha laid over black.
                rgb[x * 3 + c] = static_cast<uint8_t>(channels == 4 ? (v * src[x * 4 + 3] + 127) / 255 : v);
            }
        const int bottom_up = ih - 1 - static_cast<int>(y);
        if (interlaced)
            reducer->add_pixels(bottom_up, static_cast<int>(x0), static_cast<int>(step), static_cast<int>(count),
                                rgb.data());
        else
            reducer->add_row(bottom_up, rgb.data());
    };
    if (interlaced) {
        // libpng skips the passes that hold no pixels of a small picture.
        for (int pass = 0; pass < PNG_INTERLACE_ADAM7_PASSES; ++pass) {
            const png_uint_32 cols = PNG_PASS_COLS(w, pass), pass_rows = PNG_PASS_ROWS(h, pass);
            if (cols == 0 || pass_rows == 0) continue;
            for (png_uint_32 r = 0; r < pass_rows; ++r) {
                next_row(pixels.data());
                add(PNG_ROW_FROM_PASS_ROW(r, pass), PNG_PASS_START_COL(pass), PNG_PASS_COL_OFFSET(pass), cols,
                    pixels.data());
            }
        }
    } else {
        for (png_uint_32 y = 0; y < h; ++y) {
            next_row(pixels.data());
            add(y, 0, 1, w, pixels.data());
        }
    }
    // What follows the pixels (text, times) is not needed, nor read.
    result.image = reducer->finish();
    result.failure = nullptr;
    return result;
}

}  // namespace

CodecResult decode_with_platform(PictureInput& input, const uint8_t* head, std::size_t head_size,
                                 const PictureLimits& limits) {
    if (is_jpeg_signature(head, head_size)) return decode_jpeg(input, limits);
    if (is_png_signature(head, head_size)) return decode_png(input, limits);
    return {};
}

}  // namespace orvex
