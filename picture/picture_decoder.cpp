#include "picture/picture_decoder.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "picture/bmp_stream.h"
#include "picture/picture_codecs.h"
#include "picture/picture_input.h"

namespace orvex {

namespace {

std::optional<RgbImage> decode_input(PictureInput& input, const std::string& file_name, MessageSink& sink,
                                     const PictureLimits& limits) {
    const std::vector<uint8_t> head = read_start(input, kBmpHeadBytes);
    if (head.empty()) {
        sink.show(kBmpErrorCaption, bmp_open_failure_message(file_name));
        return std::nullopt;
    }
    const std::optional<BmpHeader> bmp = read_bmp_header(head.data(), head.size(), input.size());
    std::string bmp_why;
    if (bmp && bmp_streams(*bmp)) {
        BmpStreamResult streamed = stream_bmp(input, *bmp, limits);
        if (streamed.image) return std::move(streamed.image);
        bmp_why = streamed.failure;
    } else {
        // Everything the reader converts streams; what is left is for its
        // verdict on the header, which needs no more than the first bytes.
        RecordingMessageSink said;
        std::optional<RgbImage> image =
            auxDIBImageLoadA(head.data(), head.size(), file_name, said, limits.max_source_pixels);
        if (image) return reduce_image(std::move(*image), limits.max_side);
        bmp_why = said.messages.empty() ? kBmpConversionError : said.messages[0].text;
    }
    CodecResult platform;
    if (png_header_pixels(head.data(), head.size()) > static_cast<uint64_t>(limits.max_source_pixels))
        platform.failure = kBmpOutOfMemory;
    else
        platform = decode_with_platform(input, head.data(), head.size(), limits);
    if (platform.image) return std::move(platform.image);
    sink.show(kBmpErrorCaption, file_name + ": " + (platform.failure ? platform.failure : bmp_why.c_str()));
    return std::nullopt;
}

}  // namespace

std::optional<RgbImage> decode_picture(PictureInput& input, const std::string& file_name, MessageSink& sink,
                                       const PictureLimits& limits) {
    try {
        return decode_input(input, file_name, sink, limits);
    } catch (const std::exception&) {
        // Out of memory, or a size the library can't hold (std::length_error):
        // either way the one message, and the run goes on without the picture.
        sink.show(kBmpErrorCaption, file_name + ": " + kBmpOutOfMemory);
    }
    return std::nullopt;
}

std::optional<RgbImage> decode_picture(const uint8_t* data, std::size_t size, const std::string& file_name,
                                       MessageSink& sink, const PictureLimits& limits) {
    MemoryInput input(data, data == nullptr ? 0 : size);
    return decode_picture(input, file_name, sink, limits);
}

std::optional<RgbImage> LoadPicture(const std::filesystem::path& file_name, MessageSink& sink,
                                    const PictureLimits& limits) {
    if (file_name.empty()) return std::nullopt;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file_name, ec)) return std::nullopt;
    // Messages are UTF-8 on every platform (the Windows host shows them through
    // the wide calls), so the name comes from the path, not in the held encoding.
    FileInput input(file_name);
    if (!input.ok()) return std::nullopt;
    return decode_picture(input, file_name.filename().u8string(), sink, limits);
}

}  // namespace orvex
