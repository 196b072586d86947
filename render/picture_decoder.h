// Every picture the saver can show, turned into 24-bit RGB pixels, reduced
// while it is decoded to no more than the texture needs.
//
// A file first goes to the BMP reader (render/bmp_reader.h), whose result for
// every file it accepts is the picture, unchanged but for the reduction. A
// file it refuses goes on to the other decoders: BMPs with the larger info
// headers (52, 56, 108 and 124 bytes, and OS/2's 64), then the platform's
// decoders: JPEG (baseline and progressive, turned upright as its EXIF
// orientation says) and PNG (any depth, palette, alpha laid over black);
// on Linux libjpeg-turbo and libpng, on Windows the Windows Imaging Component.
// Only when all of them fail is there a message: one, with the caption
// "Error", naming the file: "<file name>: <why>", where why is the BMP
// reader's message, or "Image file conversion error." for a damaged JPEG or
// PNG. An empty file keeps the BMP reader's own message, which names it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/message_sink.h"
#include "render/bmp_reader.h"
#include "render/picture_reduce.h"

namespace orvex {

// The bytes of a whole picture file; file_name is the name the message shows.
std::optional<RgbImage> decode_picture(const uint8_t* data, std::size_t size, const std::string& file_name,
                                       MessageSink& sink, const PictureLimits& limits = {});

// A missing name or a file that can't be opened gives none without a message,
// as LoadBMP; otherwise the file's bytes go through decode_picture, named by
// their file name in UTF-8, as every message is.
std::optional<RgbImage> LoadPicture(const std::filesystem::path& file_name, MessageSink& sink,
                                    const PictureLimits& limits = {});

// A BMP with a 52-, 56-, 64-, 108- or 124-byte info header rewritten with the
// 40-byte header that the BMP reader knows (the colour masks of the larger
// headers placed after it); nothing for any other bytes.
std::optional<std::vector<uint8_t>> bmp_with_short_header(const uint8_t* data, std::size_t size);

}  // namespace orvex
