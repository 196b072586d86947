// Every picture the saver can show, turned into 24-bit RGB pixels, reduced
// while it is decoded to no more than the texture needs.
//
// This file only chooses the decoder. The file's first bytes are read and
// decide: a BMP (any info header the BMP reader knows, and the larger ones,
// picture/bmp_stream.h) goes to the BMP reader, a band of rows at a time when it
// is uncompressed, else whole (run-length compressed: its compressed bytes,
// no more than its size can need); anything else that the BMP reader refuses
// goes on to the platform's decoders: JPEG (baseline and progressive, CMYK
// too, turned upright as its EXIF orientation says) and PNG (any depth,
// palette, alpha laid over black); on Linux libjpeg-turbo and libpng, on
// Windows the Windows Imaging Component (picture/picture_codecs.h). Every one
// of them reads the picture's header first and refuses a picture over the
// pixel limit before reading the rest, so a huge file that is no picture
// costs its header and no more.
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
#include "picture/bmp_reader.h"
#include "picture/picture_input.h"
#include "picture/picture_reduce.h"

namespace orvex {

// The bytes of a whole picture file; file_name is the name the message shows.
std::optional<RgbImage> decode_picture(const uint8_t* data, std::size_t size, const std::string& file_name,
                                       MessageSink& sink, const PictureLimits& limits = {});

// The same, read from an input as the decoder needs it.
std::optional<RgbImage> decode_picture(PictureInput& input, const std::string& file_name, MessageSink& sink,
                                       const PictureLimits& limits = {});

// A missing name or a file that can't be opened gives none without a message,
// as LoadBMP; otherwise the file is decoded as decode_picture decodes bytes,
// read as the decoder needs it, named by its file name in UTF-8, as every
// message is.
std::optional<RgbImage> LoadPicture(const std::filesystem::path& file_name, MessageSink& sink,
                                    const PictureLimits& limits = {});

}  // namespace orvex
