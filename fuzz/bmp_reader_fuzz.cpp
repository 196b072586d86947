// The BMP reader on arbitrary bytes, with its own pixel limit: it either gives
// a well-formed picture and says nothing, or gives none and shows exactly one
// "Error" message. It gives whole pictures, so its memory bound is the largest
// picture it takes (the fuzzer's malloc limit).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "picture/bmp_reader.h"

namespace {

void require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex;
    RecordingMessageSink sink;
    const auto image = auxDIBImageLoadA(data, size, "fuzz.bmp", sink);
    if (!image) {
        require(sink.messages.size() == 1 && sink.messages[0].caption == "Error");
        return 0;
    }
    require(sink.messages.empty());
    require(image->width > 0 && image->height > 0);
    require(int64_t{image->width} * image->height <= kMaxPixels);
    require(image->pixels.size() == static_cast<size_t>(image->width) * image->height * 3);
    return 0;
}
