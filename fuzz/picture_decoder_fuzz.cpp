// Every picture decoder on arbitrary bytes, with the product's limits: the BMP
// reader, the larger BMP headers, JPEG and PNG. Either a picture within the
// limits and no message, or none and exactly one "Error" message that names
// the file. The fuzzer's malloc limit is the memory a small file may cost.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "picture/picture_decoder.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    PictureLimits limits;
    limits.max_side = 1024;  // the texture of a window up to 1024 pixels wide
    RecordingMessageSink sink;
    const auto image = decode_picture(data, size, "fuzz.pic", sink, limits);
    if (!image) {
        require(sink.messages.size() == 1 && sink.messages[0].caption == "Error");
        require(sink.messages[0].text.find("fuzz.pic") != std::string::npos);
        return 0;
    }
    require(sink.messages.empty());
    require(image->width > 0 && image->height > 0 && image->width <= 1024 && image->height <= 1024);
    require(image->pixels.size() == static_cast<size_t>(image->width) * image->height * 3);
    return 0;
}
