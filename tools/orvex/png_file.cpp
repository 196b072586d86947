#include "tools/orvex/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace orvex::tool {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Runs libpng's writing steps; libpng reports errors by longjmp, so nothing
// with a destructor lives in this frame.
bool write_rows(std::FILE* file, int width, int height, const std::uint8_t* rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(rgb + static_cast<std::size_t>(y) * width * 3));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool write_png(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
               std::string* error) {
    if (width < 1 || height < 1 || rgb.size() != static_cast<std::size_t>(width) * height * 3) {
        *error = "'" + path + "': no picture to write";
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    if (!write_rows(file.get(), width, height, rgb.data())) {
        *error = "could not encode '" + path + "' as PNG";
        return false;
    }
    if (std::fclose(file.release()) != 0) {
        *error = "could not finish writing '" + path + "'";
        return false;
    }
    return true;
}

}  // namespace orvex::tool
