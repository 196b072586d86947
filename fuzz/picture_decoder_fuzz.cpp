// Every picture decoder on arbitrary bytes: the BMP reader, the larger BMP
// headers, JPEG and PNG. Either a picture within the limits and no message,
// or none and exactly one "Error" message that names the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/picture_decoder.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    PictureLimits limits;
    limits.max_side = 64;  // the reduction runs on nearly every input
    limits.max_source_pixels = 1 << 20;
    RecordingMessageSink sink;
    const auto image = decode_picture(data, size, "fuzz.pic", sink, limits);
    if (!image) {
        require(sink.messages.size() == 1 && sink.messages[0].caption == "Error");
        require(sink.messages[0].text.find("fuzz.pic") != std::string::npos);
        return 0;
    }
    require(sink.messages.empty());
    require(image->width > 0 && image->height > 0 && image->width <= 64 && image->height <= 64);
    require(image->pixels.size() == static_cast<size_t>(image->width) * image->height * 3);
    return 0;
}
